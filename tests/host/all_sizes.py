#!/usr/bin/python3
"""Reads the icon document_tests built from a 1024 px PNG logo beside a 32 px
image painted by hand: Pillow and icotool must find the nine Windows sizes, the
256 px one stored as PNG, the built ones soft-edged on transparency, and the
hand-made one as the editor dumped it (PATH.32.rgba).
    all_sizes.py PATH
"""
import glob
import os
import struct
import subprocess
import sys
import tempfile

from PIL import Image

SIZES = [16, 20, 24, 32, 40, 48, 64, 96, 256]


def problems_of(path):
    data = open(path, "rb").read()
    entries = []
    for i in range(struct.unpack_from("<H", data, 4)[0]):
        width, offset = data[6 + 16 * i] or 256, struct.unpack_from("<I", data, 6 + 16 * i + 12)[0]
        entries.append((width, data[offset:offset + 4] == b"\x89PNG"))
    if sorted(entries) != [(size, size == 256) for size in SIZES]:
        yield "the directory holds (side, PNG) %r" % entries
    with Image.open(path) as icon:
        for size in SIZES:
            picture = icon.ico.getimage((size, size)).convert("RGBA")
            alphas = picture.getchannel("A").tobytes()
            if size == 32 and picture.tobytes() != open(path + ".32.rgba", "rb").read():
                yield "the 32 px image made by hand changed"
            elif size != 32 and (alphas[0] != 0 or not any(0 < a < 255 for a in alphas)):
                yield "the %d px image is not a soft shape on transparency" % size
    listing = subprocess.run(["icotool", "-l", path], capture_output=True, text=True).stdout
    listed = sorted(int(w.split("=")[1]) for w in listing.split() if w.startswith("--width="))
    if listed != SIZES:
        yield "icotool -l lists %r" % listed
    with tempfile.TemporaryDirectory() as out:
        subprocess.run(["icotool", "-x", "-o", out, path], capture_output=True)
        if len(glob.glob(os.path.join(out, "*.png"))) != len(SIZES):
            yield "icotool -x does not extract the nine images"


if __name__ == "__main__":
    if len(sys.argv) != 2 or not os.path.exists(sys.argv[1]):
        sys.exit("all_sizes: no icon to read: did document_tests run?")
    problems = list(problems_of(sys.argv[1]))
    for p in problems:
        print("all_sizes: " + p)
    print("all_sizes: %d problems" % len(problems))
    sys.exit(1 if problems else 0)
