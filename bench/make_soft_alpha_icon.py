#!/usr/bin/python3
"""Writes the benchmark's icon: images of 16, 20, 24, 32, 40, 48, 64 and 96 px as
32-bit BMP records and one of 256 px as a PNG record, each a disc whose edge
fades through soft alpha over a gradient. The same Pillow gives the same bytes.
    make_soft_alpha_icon.py OUTPUT"""
import io
import struct
import sys

from PIL import Image

BMP_SIZES = (16, 20, 24, 32, 40, 48, 64, 96)


def picture(size):
    image = Image.new("RGBA", (size, size))
    centre, radius = (size - 1) / 2, size * 0.45
    for y in range(size):
        for x in range(size):
            distance = ((x - centre) ** 2 + (y - centre) ** 2) ** 0.5
            alpha = max(0, min(255, round((radius - distance) * 255 / max(2, size / 8))))
            image.putpixel((x, y), (x * 255 // size, y * 255 // size, 160, alpha))
    return image


def bmp_record(image):
    """The record Pillow writes for one 32-bit BMP image of an icon."""
    out = io.BytesIO()
    image.save(out, format="ICO", sizes=[image.size], bitmap_format="bmp")
    data = out.getvalue()
    size, offset = struct.unpack_from("<II", data, 6 + 8)
    return data[offset:offset + size]


def png_record(image):
    out = io.BytesIO()
    image.save(out, format="PNG", optimize=False)
    return out.getvalue()


def main():
    records = [(s, bmp_record(picture(s))) for s in BMP_SIZES] + [(256, png_record(picture(256)))]
    offset = 6 + 16 * len(records)
    head = struct.pack("<HHH", 0, 1, len(records))
    for size, record in records:
        head += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(record), offset)
        offset += len(record)
    with open(sys.argv[1], "wb") as f:
        f.write(head + b"".join(r for _, r in records))


if __name__ == "__main__":
    main()
