#!/usr/bin/env python3
"""Prints what a Windows shortcut (.lnk) opens, as Explorer reads it: the
target's local path, the description, the working folder, the arguments and
the icon, one "name: value" a line.
    shortcut.py FILE.lnk"""
import struct
import sys

HAS_ID_LIST, HAS_LINK_INFO, IS_UNICODE = 0x1, 0x2, 0x80
STRINGS = [(0x4, "description"), (0x8, "relative path"), (0x10, "working folder"),
           (0x20, "arguments"), (0x40, "icon")]

data = open(sys.argv[1], "rb").read()
header_size, = struct.unpack_from("<I", data, 0)
if header_size != 0x4C:
    sys.exit("not a shortcut")
flags, = struct.unpack_from("<I", data, 0x14)
offset = header_size
if flags & HAS_ID_LIST:
    offset += 2 + struct.unpack_from("<H", data, offset)[0]
if flags & HAS_LINK_INFO:
    info_size, _, _, _, base_path = struct.unpack_from("<5I", data, offset)
    end = data.index(b"\0", offset + base_path)
    print("target:", data[offset + base_path:end].decode("latin-1"))
    offset += info_size
for flag, name in STRINGS:
    if flags & flag:
        count, = struct.unpack_from("<H", data, offset)
        offset += 2
        size = count * 2 if flags & IS_UNICODE else count
        text = data[offset:offset + size]
        print(f"{name}:", text.decode("utf-16-le" if flags & IS_UNICODE else "latin-1").rstrip("\0"))
        offset += size
icon_index, = struct.unpack_from("<i", data, 0x38)
if flags & 0x40:
    print("icon index:", icon_index)
