#!/usr/bin/python3
"""Makes the icon and cursor files of tests/fixtures that other programs wrote.

Source pictures are drawn here with Pillow, handed to icotool (icoutils) and to
ImageMagick's convert, and their pixels are kept beside each file as plain RGBA
(rows top-down, every image of the file in order, transparent pixels 0,0,0,0),
which is what the editor must read back. Run from anywhere:
    /usr/bin/python3 tests/host/make_foreign_fixtures.py
"""
import os
import subprocess
import sys
import tempfile

from PIL import Image

FIXTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures")


def picture(size, colours, seed):
    """A square of `colours` distinct opaque colours with a lattice of transparent pixels."""
    im = Image.new("RGBA", (size, size))
    px = im.load()
    table = []
    for k in range(colours):
        v = (k * 2654435761 + seed * 40503) & 0xFFFFFF
        table.append(((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF, 255))
    if colours == 2:
        table = [(0, 0, 0, 255), (255, 255, 255, 255)]
    for y in range(size):
        for x in range(size):
            if (x + 2 * y + seed) % 7 == 0:
                px[x, y] = (0, 0, 0, 0)
            else:
                px[x, y] = table[(x * 3 + y * 5 + x * y) % colours]
    return im


def expected_bytes(images):
    out = bytearray()
    for im in images:
        for r, g, b, a in im.getdata():
            out += bytes((r, g, b, a) if a == 255 else (0, 0, 0, 0))
    return bytes(out)


def make(name, images, command):
    with tempfile.TemporaryDirectory() as work:
        sources = []
        for i, im in enumerate(images):
            path = os.path.join(work, "source%d.png" % i)
            im.save(path)
            sources.append(path)
        target = os.path.join(FIXTURES, name)
        subprocess.run(command(sources, target), check=True)
    with open(os.path.join(FIXTURES, name + ".rgba"), "wb") as f:
        f.write(expected_bytes(images))
    print("made", name)


def main():
    depths = [(16, 1, 2), (32, 4, 15), (48, 8, 200), (64, 24, 3000), (128, 32, 5000)]
    images = [picture(size, colours, bits) for size, bits, colours in depths]

    def icotool_icon(sources, target):
        command = ["icotool", "-c", "-o", target]
        for (size, bits, _), source in zip(depths, sources):
            command += ["-b", str(bits), source]
        return command
    make("icotool_depths.ico", images, icotool_icon)

    cursor = [picture(72, 180, 3), picture(16, 12, 4)]
    make("icotool_cursor.cur", cursor,
         lambda s, t: ["icotool", "-c", "--cursor", "-X", "3", "-Y", "4", "-o", t,
                       "-b", "8", s[0], "-b", "4", s[1]])

    make("magick_rgba.ico", [picture(48, 4000, 5)], lambda s, t: ["convert", s[0], t])
    make("magick_palette.ico", [picture(32, 9, 6)],
         lambda s, t: ["convert", s[0], "-type", "PaletteAlpha", t])


if __name__ == "__main__":
    sys.exit(main())
