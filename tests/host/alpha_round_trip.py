#!/usr/bin/python3
"""Icons with soft alpha (every alpha from 0 to 255) of sizes 16 to 256, made by
Pillow (BMP records, bitmap_format="bmp") and by ImageMagick (BMP records up to
128 pixels, the 256-pixel one as PNG), are opened and saved by document_tests
(AlphaFiles.DISABLED_ResaveFolder) and read back by Pillow and icotool: every
image keeps its size and every pixel that shows in the source has the same RGBA.
In the copy whose 256-pixel image was edited, pixel (5, 7) is opaque red.
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
    px = im.load()
    for y in range(size):
        for x in range(size):
            px[x, y] = ((x * 37) & 255, (y * 53) & 255, ((x + y) * 11) & 255, (x * 7 + y * 13) % 256)
    return im


def windows(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def by_pillow(path):
    with Image.open(path) as im:
        frames = [im.ico.frame(k).convert("RGBA") for k in range(len(im.ico.entry))]
    return {f.size[0]: f for f in frames}


def by_icotool(path, out):
    os.makedirs(out)
    subprocess.run(["icotool", "-x", "-o", out, path], capture_output=True)
    images = {}
    for png in glob.glob(os.path.join(out, "*.png")):
        size = int(re.search(r"_(\d+)x\d+x\d+\.png$", png).group(1))
        with Image.open(png) as im:
            images[size] = im.convert("RGBA")
    return images


def compare(what, before, after, edited):
    wrong = []
    if sorted(before) != sorted(after):
        return ["%s: sizes %s, saved %s" % (what, sorted(before), sorted(after))]
    for size, a in before.items():
        pa, pb = a.load(), after[size].load()
        for y in range(size):
            for x in range(size):
                want = (255, 0, 0, 255) if edited and size == 256 and (x, y) == (5, 7) else pa[x, y]
                if want[3] and pb[x, y] != want:
                    wrong.append("%s %d px: (%d, %d) is %s, expected %s" % (what, size, x, y, pb[x, y], want))
                    break
            if wrong and wrong[-1].startswith("%s %d" % (what, size)):
                break
    return wrong


def main():
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    wine, program, work = sys.argv[1:4]
    shutil.rmtree(work, ignore_errors=True)
    source, saved = os.path.join(work, "source"), os.path.join(work, "saved")
    os.makedirs(source)
    os.makedirs(saved)
    pictures = [picture(s) for s in SIZES]
    pictures[-1].save(os.path.join(source, "pillow.ico"), format="ICO", sizes=[(s, s) for s in SIZES],
                      append_images=pictures[:-1], bitmap_format="bmp")
    pngs = []
    for size, im in zip(SIZES, pictures):
        pngs.append(os.path.join(work, "%d.png" % size))
        im.save(pngs[-1])
    subprocess.run(["/usr/bin/convert"] + pngs + [os.path.join(source, "magick.ico")], check=True)

    env = dict(os.environ, VEMIRO_RESAVE_FROM=windows(source), VEMIRO_RESAVE_TO=windows(saved))
    run = subprocess.run([wine, program, "--gtest_color=no", "--gtest_also_run_disabled_tests",
                          "--gtest_filter=AlphaFiles.DISABLED_ResaveFolder"],
                         env=env, stdin=subprocess.DEVNULL, capture_output=True, text=True)
    if run.returncode != 0 or "[  PASSED  ] 1 test" not in run.stdout:
        print(run.stdout[-3000:] + run.stderr[-2000:])
        print("alpha_round_trip: the editor did not open and save every file")
        return 1

    failures, checked = [], 0
    # ImageMagick's 256-pixel image is a PNG: edited only where PNG images are decoded.
    for name in ("pillow.ico", "magick.ico"):
        for out in (name, "edited_" + name):
            path = os.path.join(saved, out)
            if not os.path.exists(path):
                if out != "edited_magick.ico":
                    failures.append("%s was not saved" % out)
                continue
            checked += 1
            # icotool refuses Pillow's own records (their size field is short): the
            # source is what Pillow reads of it.
            edited, before = out.startswith("edited_"), by_pillow(os.path.join(source, name))
            failures += compare(out + " by Pillow", before, by_pillow(path), edited)
            failures += compare(out + " by icotool", before, by_icotool(path, os.path.join(work, out)), edited)
    for f in failures:
        print("FAIL " + f)
    print("alpha_round_trip: %d saved files read by Pillow and icotool, %d failures" % (checked, len(failures)))
    return 1 if failures or checked < 3 else 0


if __name__ == "__main__":
    sys.exit(main())
