#!/usr/bin/python3
"""Turns an assembled board firmware into the record lines of its HEX template.

    pack.py VARIANT IMAGE.ihx OUTPUT     pack an image from the linker
    pack.py --check VARIANT TEMPLATE     check a template file as committed

Every variant has fixed ranges of code memory, cut into data records of 16
bytes from the start of each range, the last record of a range taking what is
left.  Several records are fixed byte for byte, among them the reset record.
A byte missing inside a range is filled with 0x00 (NOP).  An image or a
template that does not fit its variant is refused with a message and exit
status 1; nothing is written then.
"""

import os
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import firmwareimage  # noqa: E402

# Per variant: the reset record, the number of records, the ranges (first and
# last address, inclusive) and the records that must appear exactly so.
LAYOUTS = {
    0: {
        "reset": ":0200000080047A",
        "count": 10,
        "ranges": [(0x0000, 0x0001), (0x0003, 0x0077), (0x0200, 0x020F)],
        "fixed": [
            ":10000300C200329002F4C200EA93F41155FC1AEADA",
            ":0500730092F0E5F0220F",
            ":100200000440026C0000000000000000000000003C",
        ],
    },
    1: {
        "reset": ":0200000080047A",
        "count": 16,
        "ranges": [(0x0000, 0x0001), (0x0003, 0x00D8), (0x0200, 0x0203)],
        "fixed": [
            ":10000300C20032D2AFD2A8D2889003008582518534",
            ":0600D300503552F58322B6",
            ":040200000440026C48",
        ],
    },
    2: {
        "reset": ":02000000801F5F",
        "count": 38,
        "ranges": [(0x0000, 0x0001), (0x000B, 0x000D), (0x001B, 0x0174), (0x0175, 0x0249)],
        "fixed": [
            ":03000B00D2A0324E",
            ":0A016B00201008040201EF90016962",
            ":0502450040027B0022D5",
        ],
    },
    3: {
        "reset": ":02000000801F5F",
        "count": 38,
        "ranges": [(0x0000, 0x0001), (0x000B, 0x000D), (0x001B, 0x0174), (0x0175, 0x0247)],
        "fixed": [
            ":03000B00D2A0324E",
            ":0A016B00201008040201EF90016962",
            ":030245007B002219",
        ],
    },
    22: {
        "reset": ":02000000800C72",
        "count": 39,
        "ranges": [(0x0000, 0x0001), (0x000B, 0x015D), (0x015E, 0x024E)],
        "fixed": [
            ":10000B00D2A03278307401F60804B410FA7A007575",
            ":10001B008E00754001754101754201753D007538C3",
            ":03015B0008D9F9C7",
            ":01024E00228D",
        ],
    },
    33: {
        "reset": ":02000000800C72",
        "count": 38,
        "ranges": [(0x0000, 0x0001), (0x000B, 0x015D), (0x015E, 0x024C)],
        "fixed": [
            ":10000B00D2A03278307401F60804B410FA7A007575",
            ":10001B008E00754001754108754201753D007538BC",
            ":03015B0008D9F9C7",
            ":0F023E007B01B40205E582B4600040027B002220",
        ],
    },
}

RECORD_SIZE = firmwareimage.RECORD_SIZE

if sorted(LAYOUTS) != sorted(firmwareimage.NUMBERS):
    raise SystemExit(f"pack.py: its layouts are for variants {sorted(LAYOUTS)}, the image description names {firmwareimage.NUMBERS}")


class Refused(Exception):
    pass


def checksum(data):
    return (-sum(data)) & 0xFF


def record_line(address, data):
    body = bytes([len(data), address >> 8, address & 0xFF, 0]) + bytes(data)
    return ":" + (body + bytes([checksum(body)])).hex().upper()


def parse_record(line, where):
    """Returns (type, address, data) of one record line, checksum verified."""
    if not line.startswith(":") or len(line) < 11 or len(line) % 2 == 0:
        raise Refused(f"{where}: not a HEX record: {line!r}")
    try:
        raw = bytes.fromhex(line[1:])
    except ValueError:
        raise Refused(f"{where}: not a HEX record: {line!r}") from None
    count, address, kind = raw[0], (raw[1] << 8) | raw[2], raw[3]
    if len(raw) != count + 5:
        raise Refused(f"{where}: byte count {count} does not match the record length")
    if sum(raw) & 0xFF:
        raise Refused(f"{where}: wrong checksum in {line}")
    return kind, address, raw[4:-1]


def read_image(path):
    """Reads the linker's Intel HEX file into {address: byte}."""
    image = {}
    with open(path, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line:
                continue
            kind, address, data = parse_record(line, f"{path}:{number}")
            if kind == 1:
                break
            if kind != 0:
                raise Refused(f"{path}:{number}: record type {kind} is not used by the board")
            for offset, value in enumerate(data):
                at = address + offset
                if at in image:
                    raise Refused(f"{path}: address 0x{at:04X} is assembled twice")
                image[at] = value
    return image


def pack(variant, image):
    """Cuts the image into the variant's records; returns the record lines."""
    layout = LAYOUTS[variant]
    ranges = layout["ranges"]
    outside = sorted(a for a in image if not any(first <= a <= last for first, last in ranges))
    if outside:
        shown = ", ".join(f"0x{a:04X}" for a in outside[:8])
        raise Refused(f"variant {variant}: code outside the template's ranges at {shown}")
    lines = []
    for first, last in ranges:
        if not any(first <= a <= last for a in image):
            raise Refused(f"variant {variant}: nothing assembled in 0x{first:04X}-0x{last:04X}")
        for start in range(first, last + 1, RECORD_SIZE):
            end = min(start + RECORD_SIZE - 1, last)
            lines.append(record_line(start, [image.get(a, 0x00) for a in range(start, end + 1)]))
    validate(variant, lines)
    return lines


def validate(variant, lines):
    """Refuses record lines that break the variant's layout or fixed records."""
    layout = LAYOUTS[variant]
    if len(lines) != layout["count"]:
        raise Refused(f"variant {variant}: {len(lines)} records, the template needs {layout['count']}")
    if lines[0] != layout["reset"]:
        raise Refused(f"variant {variant}: reset record is {lines[0]}, the board needs {layout['reset']}")
    expected = []
    for first, last in layout["ranges"]:
        expected += [(start, min(RECORD_SIZE, last + 1 - start)) for start in range(first, last + 1, RECORD_SIZE)]
    by_address = {}
    for number, (line, (start, size)) in enumerate(zip(lines, expected), 1):
        if line != line.upper():
            raise Refused(f"variant {variant}: record {number} is not upper-case: {line}")
        kind, address, data = parse_record(line, f"variant {variant} record {number}")
        if kind != 0:
            raise Refused(f"variant {variant}: record {number} is not a data record: {line}")
        if (address, len(data)) != (start, size):
            raise Refused(
                f"variant {variant}: record {number} covers 0x{address:04X}+{len(data)}, "
                f"the template needs 0x{start:04X}+{size}"
            )
        by_address[address] = line
    for fixed in layout["fixed"]:
        address = int(fixed[3:7], 16)
        if by_address.get(address) != fixed:
            found = by_address.get(address, "no record")
            raise Refused(f"variant {variant}: record at 0x{address:04X} is {found}, the board needs {fixed}")


def read_template(path):
    with open(path, "rb") as f:
        text = f.read()
    if b"\r" in text:
        raise Refused(f"{path}: line ends must be LF only")
    if not text.endswith(b"\n"):
        raise Refused(f"{path}: the last line has no line end")
    try:
        return text.decode("ascii").split("\n")[:-1]
    except UnicodeDecodeError:
        raise Refused(f"{path}: not ASCII text") from None


def main(argv):
    try:
        if len(argv) == 4 and argv[1] == "--check":
            variant = variant_number(argv[2])
            validate(variant, read_template(argv[3]))
            return 0
        if len(argv) == 4:
            variant = variant_number(argv[1])
            lines = pack(variant, read_image(argv[2]))
            with open(argv[3], "w", encoding="ascii", newline="\n") as f:
                f.write("".join(line + "\n" for line in lines))
            return 0
    except Refused as refusal:
        print(f"pack.py: {refusal}", file=sys.stderr)
        return 1
    except OSError as error:
        print(f"pack.py: {error}", file=sys.stderr)
        return 1
    print("usage: pack.py VARIANT IMAGE.ihx OUTPUT | pack.py --check VARIANT TEMPLATE", file=sys.stderr)
    return 2


def variant_number(text):
    try:
        variant = int(text)
    except ValueError:
        variant = None
    if variant not in LAYOUTS:
        raise Refused(f"unknown variant {text!r}; the boards are {', '.join(map(str, LAYOUTS))}")
    return variant


if __name__ == "__main__":
    sys.exit(main(sys.argv))
