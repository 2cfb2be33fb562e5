#!/usr/bin/python3
"""Reads the files with kept entries that shell_tests opened from FIXTURES, drew
on at (5, 7) of their 32-pixel image and saved into SAVED, with the programs
that made them: every kept record is there byte for byte with its entry, and
icotool, ImageMagick and Pillow decode every image as in the source but for
that one pixel, now opaque red.
    kept_entries.py FIXTURES SAVED
"""
import glob
import os
import struct
import subprocess
import sys
import tempfile

from PIL import Image

EDITABLE = (16, 32, 48, 64, 72, 128)
failures = []


def entries(data):
    count = struct.unpack_from("<H", data, 4)[0]
    for i in range(count):
        entry = data[6 + 16 * i:22 + 16 * i]
        size, offset = struct.unpack_from("<II", entry, 8)
        yield entry, data[offset:offset + size]


def kept(record):
    return record[:4] == b"\x89PNG" or struct.unpack_from("<i", record, 4)[0] not in EDITABLE


def frames(path, work):
    """RGBA frames in file order, by each program."""
    stem = os.path.join(work, os.path.basename(path))
    os.makedirs(stem + ".icotool")
    os.makedirs(stem + ".magick")
    subprocess.run(["icotool", "-x", "-o", stem + ".icotool", path], check=True, capture_output=True)
    subprocess.run(["/usr/bin/convert", path, os.path.join(stem + ".magick", "%03d.png")], check=True)
    with open(path, "rb") as f:
        offsets = [struct.unpack_from("<I", entry, 12)[0] for entry, _ in entries(f.read())]
    with Image.open(path) as im:
        if im.format == "ICO":
            by_offset = {e["offset"]: k for k, e in enumerate(im.ico.entry)}
            pillow = [im.ico.frame(by_offset[o]).convert("RGBA") for o in offsets]
        else:  # Pillow's cursor reader shows one image, without its mask
            pillow = [im.convert("RGB").convert("RGBA")]
    found = {"icotool": sorted(glob.glob(stem + ".icotool/*.png"), key=lambda p: int(p.split("_")[-2])),
             "ImageMagick": sorted(glob.glob(stem + ".magick/*.png"))}
    result = {tool: [Image.open(p).convert("RGBA") for p in paths] for tool, paths in found.items()}
    result["Pillow"] = pillow
    return result


def differing(a, b):
    pa, pb = a.load(), b.load()
    return [(x, y) for y in range(a.size[1]) for x in range(a.size[0])
            if pa[x, y] != pb[x, y] and (pa[x, y][3] or pb[x, y][3])]


def check(source, saved, work):
    name = os.path.basename(saved)
    with open(source, "rb") as f, open(saved, "rb") as g:
        before, after = list(entries(f.read())), list(entries(g.read()))
    if len(before) != len(after):
        failures.append("%s: %d entries, %d in the source" % (name, len(after), len(before)))
        return
    for k, ((entry, record), (entry2, record2)) in enumerate(zip(before, after)):
        if kept(record) and (record != record2 or entry[:12] != entry2[:12]):
            failures.append("%s #%d: the kept entry or record changed" % (name, k))
    old, new = frames(source, work + "/source"), frames(saved, work + "/saved")
    for tool in old:
        if not old[tool] or len(old[tool]) != len(new[tool]):
            failures.append("%s: %s decodes %d images, %d from the source" % (name, tool, len(new[tool]), len(old[tool])))
            continue
        for k, (a, b) in enumerate(zip(old[tool], new[tool])):
            expected = [(5, 7)] if a.size == (32, 32) else []
            if a.size != b.size or differing(a, b) != expected or (expected and b.getpixel((5, 7))[:3] != (255, 0, 0)):
                failures.append("%s #%d by %s: %s differ from the source" % (name, k, tool, differing(a, b)[:4]))


def main():
    fixtures, saved = sys.argv[1:3]
    names = sorted(os.listdir(saved))
    with tempfile.TemporaryDirectory() as work:
        for name in names:
            os.makedirs(os.path.join(work, name, "source"))
            os.makedirs(os.path.join(work, name, "saved"))
            check(os.path.join(fixtures, name), os.path.join(saved, name), os.path.join(work, name))
    for failure in failures:
        print("FAIL " + failure)
    print("kept_entries: %d saved files, %d failures" % (len(names), len(failures)))
    return 1 if failures or len(names) < 3 else 0


if __name__ == "__main__":
    sys.exit(main())
