#!/usr/bin/python3
"""The committed HEX templates come from firmware/ byte for byte, read back as valid
Intel HEX with other tools, and the packer refuses images that do not fit a board.

    test_templates.py [unittest arguments, e.g. TemplateTests or PackerTests]
"""

import os
import subprocess
import sys
import tempfile
import unittest

from intelhex import IntelHex

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import povsim  # noqa: E402

FIRMWARE = os.path.join(povsim.ROOT, "firmware")
PACK = os.path.join(FIRMWARE, "pack.py")

sys.path.insert(0, FIRMWARE)
import firmwareimage  # noqa: E402
import pack  # noqa: E402

VARIANTS = firmwareimage.NUMBERS


def template_path(variant):
    return os.path.join(povsim.TEMPLATES, f"variant-{variant}.hex")


def template_image(variant):
    """The template's bytes as {address: byte}."""
    image = {}
    with open(template_path(variant), encoding="ascii") as f:
        for line in f.read().splitlines():
            _, address, data = pack.parse_record(line, "template")
            image.update((address + i, b) for i, b in enumerate(data))
    return image


def write_ihx(path, image, size=32):
    """Writes an image as the linker would: records of up to size bytes per run."""
    lines = []
    addresses = sorted(image)
    run = []
    for address in addresses + [None]:
        if run and (address is None or address != run[-1] + 1 or len(run) == size):
            lines.append(pack.record_line(run[0], [image[a] for a in run]))
            run = []
        if address is not None:
            run.append(address)
    with open(path, "w", encoding="ascii") as f:
        f.write("\n".join(lines + [":00000001FF"]) + "\n")


class TemplateTests(unittest.TestCase):
    def test_rebuild_from_sources_matches_committed_templates(self):
        with tempfile.TemporaryDirectory() as tmp:
            result = subprocess.run([os.path.join(FIRMWARE, "build"), tmp], capture_output=True, text=True)
            self.assertEqual(result.returncode, 0, result.stderr)
            for variant in VARIANTS:
                with self.subTest(variant=variant):
                    with open(os.path.join(tmp, f"variant-{variant}.hex"), "rb") as built:
                        with open(template_path(variant), "rb") as committed:
                            self.assertEqual(built.read(), committed.read())

    def test_committed_templates_fit_their_boards(self):
        for variant in VARIANTS:
            with self.subTest(variant=variant):
                result = subprocess.run([PACK, "--check", str(variant), template_path(variant)], capture_output=True)
                self.assertEqual(result.returncode, 0, result.stderr)

    def test_templates_read_back_with_intelhex_and_srecord(self):
        for variant in VARIANTS:
            with self.subTest(variant=variant), tempfile.TemporaryDirectory() as tmp:
                path = os.path.join(tmp, "t.hex")
                with open(template_path(variant), encoding="ascii") as f:
                    text = f.read()
                with open(path, "w", encoding="ascii") as f:
                    f.write(text + ":00000001FF\n")
                ours = template_image(variant)
                theirs = IntelHex(path)
                self.assertEqual(theirs.todict(), ours)
                info = subprocess.run(["srec_info", path, "-intel"], capture_output=True, text=True)
                self.assertEqual(info.returncode, 0, info.stderr)
                ranges = [(first, last) for first, last in pack.LAYOUTS[variant]["ranges"]]
                merged = []
                for first, last in ranges:
                    if merged and merged[-1][1] + 1 == first:
                        merged[-1] = (merged[-1][0], last)
                    else:
                        merged.append((first, last))
                for first, last in merged:
                    self.assertIn(f"{first:04X} - {last:04X}", info.stdout)

    def test_export_image_matches_known_export_files(self):
        # The simulator must run exactly what the export writes: the image builder
        # used here against known export files.
        cases = [
            (2, "", 41, ":02024E0000109E", ":10028000000000000000000000000000000000006E"),
            (3, "ab" * 32, 38 + 1 + 3 + 1, ":02024E0000307E", None),
            (0, "", 12, None, ":10028000000000000000000000000000000000006E"),
            (1, "", 18, None, None),
            (22, "", 41, None, None),
            (33, "", 40, None, None),
        ]
        for variant, code, count, length_record, content_record in cases:
            with self.subTest(variant=variant, code=len(code)):
                text = povsim.export_image(variant, code)
                self.assertTrue(text.endswith(":00000001FF\r\n"))
                lines = text.split("\r\n")[:-1]
                self.assertEqual(len(lines), count)
                if length_record:
                    self.assertIn(length_record, lines)
                if content_record:
                    self.assertIn(content_record, lines)
        mixed = povsim.export_image(3, "0f0f0f0f")
        self.assertIn(":100280000f0f0f0f" + "0" * 24 + "32", mixed.split("\r\n"))
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "image.hex")
            with open(path, "w", encoding="ascii", newline="") as f:
                f.write(povsim.export_image(2, povsim.content_code(40)))
            image = IntelHex(path)
            self.assertEqual(image[0x024E], 0x00)
            self.assertEqual(image[0x024F], 80 + 16)
            self.assertEqual([image[0x0280 + 2 * 39], image[0x0281 + 2 * 39]], list(povsim.column_bytes(39)))


class PackerTests(unittest.TestCase):
    def pack_image(self, variant, image):
        with tempfile.TemporaryDirectory() as tmp:
            source = os.path.join(tmp, "image.ihx")
            output = os.path.join(tmp, "out.hex")
            write_ihx(source, image)
            result = subprocess.run([PACK, str(variant), source, output], capture_output=True, text=True)
            written = os.path.exists(output)
            text = open(output, encoding="ascii").read() if written else None
        return result, text

    def test_packs_a_linker_image_into_the_template_records(self):
        for variant in VARIANTS:
            with self.subTest(variant=variant):
                result, text = self.pack_image(variant, template_image(variant))
                self.assertEqual(result.returncode, 0, result.stderr)
                with open(template_path(variant), encoding="ascii") as f:
                    self.assertEqual(text, f.read())

    def test_fills_gaps_inside_a_range_with_nop(self):
        image = template_image(2)
        for address in range(0x0100, 0x0110):
            image.pop(address, None)
        image[0x0100] = 0xA5
        result, text = self.pack_image(2, image)
        self.assertEqual(result.returncode, 0, result.stderr)
        record = "".join(f"{image.get(a, 0):02X}" for a in range(0x00FB, 0x0100)) + "A5" + "00" * 10
        self.assertIn(":1000FB00" + record, text)

    def test_refuses_images_that_do_not_fit_the_board(self):
        def changed(variant, **bytes_at):
            image = template_image(variant)
            for address, value in bytes_at.items():
                address = int(address[1:], 16)
                if value is None:
                    image.pop(address, None)
                else:
                    image[address] = value
            return image

        def without(variant, first, last):
            image = template_image(variant)
            for address in range(first, last + 1):
                image.pop(address, None)
            return image

        cases = [
            ("a fixed byte of the sensor handler", 0, changed(0, a0005=0x22), "0x0003"),
            ("the settings block", 1, changed(1, a0203=0x6D), "0x0200"),
            ("the mask table", 2, changed(2, a016B=0x21), "0x016B"),
            ("the end-of-content routine", 3, changed(3, a0247=0x00), "0x0245"),
            ("the start values of board 33", 33, changed(33, a0022=0x01), "0x001B"),
            ("the copy loop", 22, changed(22, a015D=0xF8), "0x015B"),
            ("the reset jump", 2, changed(2, a0001=0x1E), "reset record"),
            ("code between the reset jump and the sensor handler", 0, changed(0, a0002=0x00), "0x0002"),
            ("code past the end of the template", 22, changed(22, a024F=0x00), "0x024F"),
            ("code where the length word goes", 2, changed(2, a024E=0x00), "0x024E"),
            ("code beside the content", 0, changed(0, a0280=0x00), "0x0280"),
            ("a missing settings block", 1, without(1, 0x0200, 0x0203), "0x0200-0x0203"),
            ("a missing timer handler", 2, without(2, 0x000B, 0x000D), "0x000B-0x000D"),
        ]
        for name, variant, image, mention in cases:
            with self.subTest(name):
                result, text = self.pack_image(variant, image)
                self.assertEqual(result.returncode, 1)
                self.assertIsNone(text, "nothing may be written for a refused image")
                self.assertIn(mention, result.stderr)

    def test_check_refuses_templates_that_break_the_format(self):
        with open(template_path(22), encoding="ascii") as f:
            lines = f.read().splitlines()
        second = lines[1]
        cases = [
            ("lower-case digits", lines[:1] + [second.lower()] + lines[2:], "\n", "upper-case"),
            ("CR LF line ends", lines, "\r\n", "LF only"),
            ("a wrong checksum", lines[:1] + [second[:-2] + "00"] + lines[2:], "\n", "checksum"),
            ("a record too few", lines[:-1], "\n", "39"),
            ("an end-of-file record", lines + [":00000001FF"], "\n", "records"),
            ("records out of order", [lines[0], lines[2], lines[1]] + lines[3:], "\n", "0x000B"),
        ]
        for name, text_lines, end, mention in cases:
            with self.subTest(name), tempfile.TemporaryDirectory() as tmp:
                path = os.path.join(tmp, "variant-22.hex")
                with open(path, "w", encoding="ascii", newline="") as f:
                    f.write("".join(line + end for line in text_lines))
                result = subprocess.run([PACK, "--check", "22", path], capture_output=True, text=True)
                self.assertEqual(result.returncode, 1)
                self.assertIn(mention, result.stderr)

    def test_refuses_an_unknown_variant(self):
        result = subprocess.run([PACK, "--check", "5", template_path(2)], capture_output=True, text=True)
        self.assertEqual(result.returncode, 1)
        self.assertIn("unknown variant", result.stderr)


if __name__ == "__main__":
    unittest.main()
