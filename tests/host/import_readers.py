#!/usr/bin/python3
"""Reads the icon files that document_tests made from imported bitmaps with
programs other than the editor, and compares their pixels with the dump the
test left beside each file (NAME.ico.rgba: rows top-down, RGBA).

Readers: Pillow, and icotool (icoutils), which lists the file and extracts
it to PNG with its own decoder. A missing reader or a missing file fails.
    import_readers.py FOLDER
"""
import glob
import os
import re
import subprocess
import sys
import tempfile

from PIL import Image


def fail(message):
    print("import_readers: " + message)
    return 1


def compare(what, got, expected, size):
    if got == expected:
        return None
    for i in range(0, len(expected), 4):
        if got[i:i + 4] != expected[i:i + 4]:
            p = i // 4
            return "%s: pixel (%d, %d) is %s, expected %s" % (
                what, p % size, p // size, tuple(got[i:i + 4]), tuple(expected[i:i + 4]))
    return "%s: %d bytes, expected %d" % (what, len(got), len(expected))


def check(path):
    expected = open(path + ".rgba", "rb").read()
    size = int(round((len(expected) // 4) ** 0.5))
    if size * size * 4 != len(expected):
        return "%s: the dump is not a square picture" % path

    with Image.open(path) as im:
        if im.size != (size, size):
            return "%s: Pillow sees %s, expected %dx%d" % (path, im.size, size, size)
        problem = compare(path + " (Pillow)", im.convert("RGBA").tobytes(), expected, size)
        if problem:
            return problem

    listing = subprocess.run(["icotool", "-l", path], capture_output=True, text=True)
    if listing.returncode != 0:
        return "%s: icotool -l failed: %s" % (path, listing.stderr.strip())
    lines = listing.stdout.strip().splitlines()
    if len(lines) != 1 or not re.search(r"--icon .*--width=%d --height=%d" % (size, size), lines[0]):
        return "%s: icotool -l lists %r" % (path, listing.stdout)

    with tempfile.TemporaryDirectory() as out:
        extract = subprocess.run(["icotool", "-x", "-o", out, path], capture_output=True, text=True)
        pngs = glob.glob(os.path.join(out, "*.png"))
        if extract.returncode != 0 or len(pngs) != 1:
            return "%s: icotool -x failed: %s" % (path, extract.stderr.strip())
        with Image.open(pngs[0]) as png:
            problem = compare(path + " (icotool)", png.convert("RGBA").tobytes(), expected, size)
            if problem:
                return problem
    return None


def main():
    if len(sys.argv) != 2:
        return fail("usage: import_readers.py FOLDER")
    folder = sys.argv[1]
    files = sorted(glob.glob(os.path.join(folder, "*.ico")))
    files = [f for f in files if os.path.exists(f + ".rgba")]
    if not files:
        return fail("no imported icon files in %s: did document_tests run?" % folder)
    problems = [p for p in (check(f) for f in files) if p]
    for p in problems:
        print("import_readers: " + p)
    print("import_readers: %d files read, %d problems" % (len(files), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
