"""The firmware image as src/hex/firmware-image.txt describes it: its layout and variants.

The packer and the firmware tests read the same description as the program does.
"""

import os
from dataclasses import dataclass

PATH = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "src", "hex", "firmware-image.txt")


@dataclass(frozen=True)
class Variant:
    number: int
    chip: str
    leds: int
    code_memory: int
    length_word: bool


def _read(path):
    layout = {}
    variants = []
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            words = raw.split("#", 1)[0].split()
            if not words:
                continue
            if words[0] == "variant" and len(words) == 6 and words[5] in ("yes", "no"):
                variants.append(Variant(int(words[1]), words[2], int(words[3]), int(words[4]), words[5] == "yes"))
            elif words[0] in ("content-start", "record-size", "length-word", "length-word-extra") and len(words) == 2:
                layout[words[0]] = int(words[1], 0)
            else:
                raise ValueError(f"{path}:{number}: cannot read {raw.strip()!r}")
    return layout, tuple(variants)


_LAYOUT, VARIANTS = _read(PATH)
CONTENT_START = _LAYOUT["content-start"]
RECORD_SIZE = _LAYOUT["record-size"]
LENGTH_WORD = _LAYOUT["length-word"]
LENGTH_WORD_EXTRA = _LAYOUT["length-word-extra"]
NUMBERS = tuple(v.number for v in VARIANTS)
WITH_LENGTH_WORD = tuple(v.number for v in VARIANTS if v.length_word)

if __name__ == "__main__":
    # firmware/build takes the variant numbers from here.
    print(" ".join(str(n) for n in NUMBERS))
