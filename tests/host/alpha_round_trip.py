#!/usr/bin/python3
"""Icons with soft alpha (every value 0 to 255) of sizes 16 to 256, made by
Pillow (BMP records) and ImageMagick (BMP records, the 256-pixel one PNG), are
opened and saved by document_tests (AlphaFiles.DISABLED_ResaveFolder), then
read by Pillow and icotool: same sizes, and every pixel that shows in the source
(as Pillow reads it: icotool refuses Pillow's records) has the same RGBA, but
pixel (5, 7) of the edited 256-pixel image, now opaque red.
    alpha_round_trip.py WINE DOCUMENT_TESTS WORK"""
import glob
import os
import re
import shutil
import subprocess
import sys

from PIL import Image

SIZES = [16, 20, 24, 32, 40, 48, 64, 96, 128, 256]


def picture(size):
    im = Image.new("RGBA", (size, size))
    im.putdata([((x * 37) & 255, (y * 53) & 255, ((x + y) * 11) & 255, (x * 7 + y * 13) % 256)
                for y in range(size) for x in range(size)])
    return im


def by_pillow(path):
    with Image.open(path) as im:
        return {f.size[0]: f for f in (im.ico.frame(k).convert("RGBA") for k in range(len(im.ico.entry)))}


def by_icotool(path, out):
    os.makedirs(out)
    subprocess.run(["icotool", "-x", "-o", out, path], capture_output=True)
    return {int(re.search(r"_(\d+)x\d+x\d+\.png$", p).group(1)): Image.open(p).convert("RGBA")
            for p in glob.glob(os.path.join(out, "*.png"))}


def compare(what, before, after, edited):
    if sorted(before) != sorted(after):
        return ["%s: sizes %s, saved %s" % (what, sorted(before), sorted(after))]
    wrong = []
    for size, image in before.items():
        a, b = image.load(), after[size].load()
        for p in range(size * size):
            x, y = p % size, p // size
            want = (255, 0, 0, 255) if edited and size == 256 and (x, y) == (5, 7) else a[x, y]
            if want[3] and b[x, y] != want:
                wrong.append("%s %d px: (%d, %d) is %s, expected %s" % (what, size, x, y, b[x, y], want))
                break
    return wrong


def main():
    wine, program, work = sys.argv[1:4]
    shutil.rmtree(work, ignore_errors=True)
    source, saved = os.path.join(work, "source"), os.path.join(work, "saved")
    os.makedirs(source)
    os.makedirs(saved)
    pictures = [picture(s) for s in SIZES]
    pictures[-1].save(os.path.join(source, "pillow.ico"), sizes=[(s, s) for s in SIZES],
                      append_images=pictures[:-1], bitmap_format="bmp")
    pngs = [os.path.join(work, "%d.png" % s) for s in SIZES]
    for path, im in zip(pngs, pictures):
        im.save(path)
    subprocess.run(["/usr/bin/convert"] + pngs + [os.path.join(source, "magick.ico")], check=True)

    windows = lambda path: "Z:" + os.path.abspath(path).replace("/", "\\")
    env = dict(os.environ, VEMIRO_RESAVE_FROM=windows(source), VEMIRO_RESAVE_TO=windows(saved))
    run = subprocess.run([wine, program, "--gtest_also_run_disabled_tests",
                          "--gtest_filter=AlphaFiles.DISABLED_ResaveFolder"],
                         env=env, stdin=subprocess.DEVNULL, capture_output=True, text=True)
    if run.returncode != 0 or "[  PASSED  ] 1 test" not in run.stdout:
        print(run.stdout[-3000:] + "\nalpha_round_trip: the files were not all opened and saved")
        return 1
    failures, checked = [], 0
    # ImageMagick's 256-pixel image is a PNG: edited only where PNG images are.
    for out in ("pillow.ico", "edited_pillow.ico", "magick.ico", "edited_magick.ico"):
        path = os.path.join(saved, out)
        if not os.path.exists(path):
            failures += [] if out == "edited_magick.ico" else [out + " was not saved"]
            continue
        checked += 1
        before = by_pillow(os.path.join(source, out.replace("edited_", "")))
        failures += compare(out + " by Pillow", before, by_pillow(path), "edited" in out)
        failures += compare(out + " by icotool", before, by_icotool(path, os.path.join(work, out)), "edited" in out)
    print("".join("FAIL %s\n" % f for f in failures) + "alpha_round_trip: %d files, %d failures" % (checked, len(failures)))
    return 1 if failures or checked < 3 else 0


if __name__ == "__main__":
    sys.exit(main())
