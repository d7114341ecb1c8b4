#!/usr/bin/env python3
"""Prints what Windows' Properties -> Details reads from a program's version
resource (the raw VS_VERSIONINFO, as `wrestool -x --raw -t 16` gives it):
the fixed file and product versions, each string of each string table as
"table key: value", and the translations.
    version_info.py < version.bin"""
import struct
import sys


def nodes(data, offset, end):
    """The version nodes from offset to end: (key, value bytes, is text,
    children's start, node's end)."""
    while offset + 6 <= end:
        length, value_length, is_text = struct.unpack_from("<HHH", data, offset)
        if length == 0:
            break
        key_end = offset + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[offset + 6:key_end].decode("utf-16-le")
        value_start = (key_end + 2 + 3) & ~3
        value_size = value_length * 2 if is_text else value_length
        value = data[value_start:value_start + value_size]
        children = (value_start + value_size + 3) & ~3
        yield key, value, is_text, children, offset + length
        offset = (offset + length + 3) & ~3


def version(words):
    high, low = words
    return f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}"


data = sys.stdin.buffer.read()
for key, value, _, children, end in nodes(data, 0, len(data)):
    if key != "VS_VERSION_INFO":
        sys.exit("not a version resource")
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", value)
    if signature != 0xFEEF04BD:
        sys.exit("no fixed file information")
    print("file version:", version((file_ms, file_ls)))
    print("product version:", version((product_ms, product_ls)))
    for block, _, _, block_children, block_end in nodes(data, children, end):
        for table, value, _, table_children, table_end in nodes(data, block_children, block_end):
            if block == "StringFileInfo":
                for name, text, _, _, _ in nodes(data, table_children, table_end):
                    print(f"{table} {name}: {text.decode('utf-16-le').rstrip(chr(0))}")
            elif block == "VarFileInfo" and table == "Translation":
                words = struct.unpack(f"<{len(value) // 2}H", value)
                for language, codepage in zip(words[::2], words[1::2]):
                    print(f"translation: {language:04X} {codepage}")
