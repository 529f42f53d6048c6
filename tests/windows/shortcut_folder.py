#!/usr/bin/python3
# Prints the working folder a Windows shortcut (.lnk) starts its program in, from the shell link
# format: a header, the target's item list and link info when flagged, then counted strings in a
# fixed order (name, relative path, working folder ...).
import struct
import sys

data = open(sys.argv[1], "rb").read()
flags = struct.unpack_from("<I", data, 0x14)[0]
at = 0x4C
if flags & 0x1:
    at += 2 + struct.unpack_from("<H", data, at)[0]
if flags & 0x2:
    at += struct.unpack_from("<I", data, at)[0]
unicode = bool(flags & 0x80)
for bit in (0x4, 0x8, 0x10):
    if flags & bit:
        count = struct.unpack_from("<H", data, at)[0]
        size = count * (2 if unicode else 1)
        text = data[at + 2 : at + 2 + size].decode("utf-16-le" if unicode else "latin-1")
        at += 2 + size
        if bit == 0x10:
            print(text.rstrip("\0"))
