#!/usr/bin/env python3
"""The kernel's line discipline as a model: for each line of standard input
(a JSON string of keys, as a terminal sends them), the lines that a program
reading a pty in canonical mode (ICANON IEXTEN ECHO ECHOE ICRNL IUTF8,
Linux's default editing keys) gets when those keys are typed into its
master, as a JSON array; "(end)" stands for the end of input that Ctrl+D
gives, after which nothing more is read. Exits 77 where no pty can be opened.
    pty_lines.py < keys.jsonl"""
import json
import os
import select
import sys
import termios

IUTF8 = 0o40000
# Typed after each case's keys: a kill, so that a line left unfinished is
# dropped, then a line that no case types, which tells that all is read.
END = "\x15\x1c\x1c\r"


def open_pty():
    master, slave = os.openpty()
    attributes = termios.tcgetattr(slave)
    attributes[0] = termios.ICRNL | IUTF8                                  # iflag
    # IEXTEN, on in every terminal, is what makes Ctrl+W erase a word.
    attributes[3] = termios.ICANON | termios.IEXTEN | termios.ECHO | termios.ECHOE  # lflag
    special = attributes[6]
    special[termios.VERASE] = b"\x7f"
    special[termios.VKILL] = b"\x15"
    special[termios.VWERASE] = b"\x17"
    special[termios.VEOF] = b"\x04"
    termios.tcsetattr(slave, termios.TCSANOW, attributes)
    os.set_blocking(master, False)
    return master, slave


def lines(keys):
    master, slave = open_pty()
    try:
        pending = (keys + END).encode()
        got, ended = [], False
        while True:
            if pending:
                try:
                    pending = pending[os.write(master, pending[:256]):]
                except BlockingIOError:
                    pass
            readable, _, _ = select.select([slave, master], [], [], 5)
            if not readable:
                raise TimeoutError(f"no line from {keys!r}")
            if master in readable:
                try:
                    os.read(master, 65536)  # the echo, drained
                except BlockingIOError:
                    pass
            if slave in readable:
                line = os.read(slave, 65536).decode("utf-8", "surrogateescape")
                if line == "\x1c\x1c\n":
                    return got
                if not ended:
                    if line == "":
                        got.append("(end)")
                        ended = True
                    else:
                        got.append(line.removesuffix("\n"))
    finally:
        os.close(master)
        os.close(slave)


try:
    os.close(os.openpty()[0])
except OSError as error:
    print(f"no pty: {error}", file=sys.stderr)
    sys.exit(77)
for request in sys.stdin:
    print(json.dumps(lines(json.loads(request))), flush=True)
