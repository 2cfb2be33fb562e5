#!/usr/bin/python3
"""Files that shell_tests opened from FIXTURES, drew on at (5, 7) of their
32-pixel image and saved into SAVED: every kept record and its entry are there
unchanged, and icotool, ImageMagick and Pillow decode every image as in the
source but for that pixel, now red.    kept_entries.py FIXTURES SAVED"""
import glob
import os
import struct
import subprocess
import sys
import tempfile

from PIL import Image


def entries(path):
    data = open(path, "rb").read()
    for i in range(struct.unpack_from("<H", data, 4)[0]):
        size, offset = struct.unpack_from("<II", data, 14 + 16 * i)
        yield data[6 + 16 * i:18 + 16 * i], data[offset:offset + size], offset


def frames(path, work):
    """Each program's RGBA images, in file order."""
    os.makedirs(work + "/icotool")
    os.makedirs(work + "/magick")
    subprocess.run(["icotool", "-x", "-o", work + "/icotool", path], check=True, capture_output=True)
    subprocess.run(["/usr/bin/convert", path, work + "/magick/%03d.png"], check=True)
    with Image.open(path) as im:
        if im.format == "ICO":
            index = {e["offset"]: k for k, e in enumerate(im.ico.entry)}
            pillow = [im.ico.frame(index[offset]).convert("RGBA") for _, _, offset in entries(path)]
        else:  # Pillow's cursor reader shows one image, without its mask
            pillow = [im.convert("RGB").convert("RGBA")]
    icotool = sorted(glob.glob(work + "/icotool/*.png"), key=lambda p: int(p.split("_")[-2]))
    return {"icotool": [Image.open(p).convert("RGBA") for p in icotool], "Pillow": pillow,
            "ImageMagick": [Image.open(p).convert("RGBA") for p in sorted(glob.glob(work + "/magick/*.png"))]}


def differing(a, b):
    pa, pb = a.load(), b.load()
    return [(x, y) for y in range(a.size[1]) for x in range(a.size[0]) if pa[x, y] != pb[x, y] and pa[x, y][3] + pb[x, y][3]]


def check(name, source, saved, work):
    wrong = []
    old, new = list(entries(source)), list(entries(saved))
    for k, (entry, record, _) in enumerate(old):
        is_kept = record[:4] == b"\x89PNG" or not 1 <= struct.unpack_from("<i", record, 4)[0] <= 256
        if len(new) != len(old) or (is_kept and new[k][:2] != (entry, record)):
            wrong.append("#%d: entry or record not kept as it was" % k)
    before, after = frames(source, work + "/source"), frames(saved, work + "/saved")
    for tool in before:
        if not before[tool] or len(before[tool]) != len(after[tool]):
            wrong.append("%s decodes %d images, %d in the source" % (tool, len(after[tool]), len(before[tool])))
        for k, (a, b) in enumerate(zip(before[tool], after[tool])):
            edit = [(5, 7)] if a.size == (32, 32) else []
            if a.size != b.size or differing(a, b) != edit or (edit and b.getpixel((5, 7))[:3] != (255, 0, 0)):
                wrong.append("#%d by %s: pixels %s differ" % (k, tool, differing(a, b)[:4]))
    return ["%s %s" % (name, w) for w in wrong]


def main():
    fixtures, saved = sys.argv[1:3]
    names, failures = sorted(os.listdir(saved)), []
    with tempfile.TemporaryDirectory() as work:
        for name in names:
            failures += check(name, os.path.join(fixtures, name), os.path.join(saved, name), os.path.join(work, name))
    print("".join("FAIL %s\n" % f for f in failures) + "kept_entries: %d files, %d failures" % (len(names), len(failures)))
    return 1 if failures or len(names) < 3 else 0


if __name__ == "__main__":
    sys.exit(main())
