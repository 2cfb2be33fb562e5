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


def keep(name, images):
    with open(os.path.join(FIXTURES, name + ".rgba"), "wb") as f:
        f.write(expected_bytes([im.convert("RGBA") for im in images]))
    print("made", name)


def make(name, images, command):
    with tempfile.TemporaryDirectory() as work:
        sources = []
        for i, im in enumerate(images):
            path = os.path.join(work, "source%d.png" % i)
            im.save(path)
            sources.append(path)
        target = os.path.join(FIXTURES, name)
        subprocess.run(command(sources, target), check=True)
    keep(name, images)


def pillow_icon(images, target):
    """Pillow's own icon writer with BMP records, one image of each size."""
    images[-1].save(target, "ICO", sizes=[im.size for im in images], append_images=images[:-1],
                    bitmap_format="bmp")


def rewrite_record(source, target, change):
    """A one-image icon whose record is change(record), its byte count updated."""
    with open(os.path.join(FIXTURES, source), "rb") as f:
        data = bytearray(f.read())
    record = change(bytearray(data[22:]))
    data[14:18] = len(record).to_bytes(4, "little")
    with open(os.path.join(FIXTURES, target), "wb") as f:
        f.write(data[:22] + record)


def palette_picture(size, seed):
    """A palette image with a table of 16 entries."""
    im = Image.new("P", (size, size))
    im.putpalette([(k * 53 + seed * 31 + c * 97) & 0xFF for k in range(16) for c in range(3)])
    im.putdata([(x * 3 + y * 5 + x * y + seed) % 16 for y in range(size) for x in range(size)])
    return im


def flat_picture(size, seed):
    """Squares of colour crossed by transparent diagonals: it compresses well, so
    that a 256-pixel PNG stays small."""
    im = Image.new("RGBA", (size, size))
    px = im.load()
    for y in range(size):
        for x in range(size):
            if x == y or x + y == size - 1:
                px[x, y] = (0, 0, 0, 0)
            else:
                px[x, y] = ((x * 4 // size) * 60 + seed, (y * 4 // size) * 60, 200 - seed, 255)
    return im


def make_mixed():
    """Bitmap records of 16 to 48 pixels beside a 256-pixel PNG image; and a
    file of PNG images only."""
    small = [picture(16, 12, 8), picture(24, 300, 9), picture(32, 300, 10), picture(48, 300, 11)]
    big = flat_picture(256, 12)
    out = lambda name: os.path.join(FIXTURES, name)
    with tempfile.TemporaryDirectory() as work:
        s16, s24, s32, s48, s256 = paths = [os.path.join(work, "s%d.png" % im.size[0]) for im in small + [big]]
        for im, path in zip(small + [big], paths):
            im.save(path)
        for command in (["/usr/bin/convert", s16, s32, s48, s256, out("magick_png256.ico")],
                        ["icotool", "-c", "-o", out("icotool_png256.ico"), "-b", "32", s32, "-b", "8", s16,
                         "-b", "32", s24, "-r", s256],
                        ["icotool", "-c", "--cursor", "-X", "3", "-Y", "4", "-o", out("icotool_png256.cur"),
                         "-b", "32", s32, "-r", s256]):
            subprocess.run(command, check=True)
    big.save(out("pillow_png.ico"), "ICO", sizes=[(16, 16), (32, 32)])


def soft_picture(size, seed):
    """Squares of colour with soft edges (alpha 96 and 192) on a clear ground."""
    im = Image.new("RGBA", (size, size))
    px = im.load()
    cell = max(4, size // 4)
    for y in range(size):
        for x in range(size):
            cx, cy = x % cell, y % cell
            edge = min(cx, cy, cell - 1 - cx, cell - 1 - cy)
            v = ((x // cell) * 2654435761 + (y // cell) * 40503 + seed * 97) & 0xFFFFFF
            alpha = (0, 96, 192, 255)[min(edge, 3)]
            px[x, y] = ((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF, alpha) if alpha else (0, 0, 0, 0)
    return im


def make_soft_png():
    """Pillow's own icon writer, PNG records of every size, soft alpha."""
    sizes = (16, 20, 24, 32, 40, 48, 64, 96, 128, 256)
    images = [soft_picture(size, size) for size in sizes]
    images[-1].save(os.path.join(FIXTURES, "pillow_png_soft.ico"), "ICO", sizes=[(n, n) for n in sizes],
                    append_images=images[:-1])
    print("made pillow_png_soft.ico")


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

    # Pillow's BMP records: 32 bits without a mask, other depths with mask rows
    # not padded to 4 bytes, a palette image with a short colour table.
    rgba = [picture(size, 300, size) for size in (16, 32, 48)]
    for name, images in (("pillow_rgba.ico", rgba), ("pillow_rgb.ico", [im.convert("RGB") for im in rgba]),
                         ("pillow_palette.ico", [palette_picture(size, size) for size in (16, 32, 48)])):
        pillow_icon(images, os.path.join(FIXTURES, name))
        keep(name, images)

    # Records laid out by hand from Pillow's: a clear mask under transparency kept
    # in the fourth byte alone, with colours left under the transparent pixels.
    veiled = picture(32, 300, 7)
    veiled.putdata([(r, g, b, a) if a else (r ^ 0x5A, 0x77, b | 1, 0) for r, g, b, a in veiled.getdata()])
    pillow_icon([veiled], os.path.join(FIXTURES, "built_alpha_clear_mask.ico"))
    rewrite_record("built_alpha_clear_mask.ico", "built_alpha_clear_mask.ico", lambda r: r + bytes(4 * 32))
    # The usual bit-field masks after the header.
    rewrite_record("built_alpha_clear_mask.ico", "built_bitfields.ico",
                   lambda r: r[:16] + (3).to_bytes(4, "little") + r[20:40]
                   + bytes.fromhex("0000ff0000ff0000ff000000") + r[40:])
    # A short colour table (16 entries of 256) followed by a padded mask.
    pillow_icon([palette_picture(16, 9)], os.path.join(FIXTURES, "built_short_table.ico"))
    rewrite_record("built_short_table.ico", "built_short_table.ico",
                   lambda r: r[:-32] + b"".join(r[-32 + 2 * y:-30 + 2 * y or None] + bytes(2) for y in range(16)))
    for name, images in (("built_alpha_clear_mask.ico", [veiled]), ("built_bitfields.ico", [veiled]),
                         ("built_short_table.ico", [palette_picture(16, 9)])):
        keep(name, images)
    make_mixed()
    make_soft_png()
    make_v5()


def make_v5():
    """Pillow's 32-bit record behind a 124-byte header with bit fields and an
    alpha mask: its pixels start after the whole header."""
    image = picture(32, 300, 13)
    pillow_icon([image], os.path.join(FIXTURES, "built_v5_alpha.ico"))
    masks = bytes.fromhex("0000ff0000ff0000ff000000000000ff")
    rewrite_record("built_v5_alpha.ico", "built_v5_alpha.ico",
                   lambda r: (124).to_bytes(4, "little") + r[4:16] + (3).to_bytes(4, "little") + r[20:40]
                   + masks + bytes(124 - 56) + r[40:])
    keep("built_v5_alpha.ico", [image])


if __name__ == "__main__":
    sys.exit(main())
