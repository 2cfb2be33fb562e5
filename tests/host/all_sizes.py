#!/usr/bin/python3
"""Reads the icon that document_tests built from a 1024 px PNG logo and a 32 px
image painted by hand, with programs other than the editor: it must hold the
nine Windows sizes, the 256 px one as PNG and the others as bitmaps, every
built size soft-edged on transparency, and the hand-made 32 px image exactly
as the editor dumped it beside the file (logo.ico.32.rgba).
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
    count = struct.unpack_from("<H", data, 4)[0]
    entries = []
    for i in range(count):
        width, _, _, _, _, _, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        entries.append((width or 256, data[offset:offset + 8] == b"\x89PNG\r\n\x1a\n"))
    if sorted(size for size, _ in entries) != SIZES:
        yield "the directory lists %r" % entries
    for size, png in entries:
        if png != (size == 256):
            yield "the %d px image is stored as %s" % (size, "PNG" if png else "a bitmap")

    with Image.open(path) as icon:
        for size in SIZES:
            picture = icon.ico.getimage((size, size)).convert("RGBA")
            if picture.size != (size, size):
                yield "Pillow reads the %d px image as %s" % (size, picture.size)
                continue
            alphas = picture.getchannel("A").tobytes()
            if size == 32:
                if picture.tobytes() != open(path + ".32.rgba", "rb").read():
                    yield "the 32 px image made by hand changed"
                continue
            if alphas[0] != 0 or max(alphas) == 0 or not any(0 < a < 255 for a in alphas):
                yield "the %d px image is not a soft shape on transparency" % size

    listing = subprocess.run(["icotool", "-l", path], capture_output=True, text=True)
    listed = sorted(int(word.split("=")[1]) for line in listing.stdout.splitlines()
                    for word in line.split() if word.startswith("--width="))
    if listing.returncode != 0 or listed != SIZES:
        yield "icotool -l lists %r (%s)" % (listed, listing.stderr.strip())
    with tempfile.TemporaryDirectory() as out:
        extract = subprocess.run(["icotool", "-x", "-o", out, path], capture_output=True, text=True)
        if extract.returncode != 0 or len(glob.glob(os.path.join(out, "*.png"))) != len(SIZES):
            yield "icotool -x failed: %s" % extract.stderr.strip()


def main():
    if len(sys.argv) != 2 or not os.path.exists(sys.argv[1]):
        print("all_sizes: no icon to read: did document_tests run?")
        return 1
    problems = list(problems_of(sys.argv[1]))
    for p in problems:
        print("all_sizes: " + p)
    print("all_sizes: %d problems" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
