"""The sizes the editor built from one 256 px picture against Pillow's LANCZOS
on premultiplied RGBA: mean absolute difference per channel, in levels of 255,
of the premultiplied values (what shows over any background). Straight colours
are compared too, but there a pixel of alpha 1 that one resampler leaves and
the other does not counts up to 255 levels while nothing of it shows.
The same filter in Pillow (BOX for a whole shrink by up to 4, BICUBIC, its Catmull-Rom,
otherwise) checks that the editor's filter is the one it claims.
Reads the raw RGBA files the benchmark wrote (256.rgba is the source)."""
import os
import sys

from PIL import Image

folder = sys.argv[1]


def load(size):
    with open(os.path.join(folder, "%d.rgba" % size), "rb") as f:
        return Image.frombytes("RGBA", (size, size), f.read())


def differences(ours, reference, size):
    totals = [0, 0, 0, 0]
    for i in range(0, len(ours), 4):
        for c in range(4):
            totals[c] += abs(ours[i + c] - reference[i + c])
    return [t / (size * size) for t in totals]


def text(means):
    return " ".join("%5.2f" % m for m in means)


source = load(256)
premultiplied = source.convert("RGBa")
sizes = sorted(int(name.split(".")[0]) for name in os.listdir(folder) if name.endswith(".rgba"))
print("built sizes against Pillow (mean |difference| per channel R G B A, levels of 255)")
print("  size   LANCZOS premultiplied    LANCZOS straight         same filter premultiplied")
worst = 0.0
for size in sizes:
    if size == 256:
        continue
    ours = load(size)
    lanczos = premultiplied.resize((size, size), Image.LANCZOS)
    same = premultiplied.resize((size, size), Image.BOX if 256 % size == 0 and 256 // size <= 4 else Image.BICUBIC)
    against = differences(ours.convert("RGBa").tobytes(), lanczos.tobytes(), size)
    straight = differences(ours.tobytes(), lanczos.convert("RGBA").tobytes(), size)
    check = differences(ours.convert("RGBa").tobytes(), same.tobytes(), size)
    worst = max(worst, max(against))
    print("  %3d px  %s  %s  %s" % (size, text(against), text(straight), text(check)))
print("largest mean difference from LANCZOS, premultiplied: %.2f levels (goal under 3)" % worst)
