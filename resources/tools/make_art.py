#!/usr/bin/env python3
"""Builds the program's pictures (bitmaps, icons, cursors) from text pixel maps.

Every picture lives in resources/art/*.txt as one character per pixel with a
legend of colours. This script checks the maps and writes the binary files that
the resource script includes. It uses the standard library only and is
deterministic: the same maps always give the same bytes.

    make_art.py --art resources/art --out BUILD/art [--preview DIR]

--preview also writes enlarged PNG sheets of every output to DIR, for review.
"""

import argparse
import os
import struct
import sys
import zlib

TRANSPARENT = None  # legend value of a pixel that the picture leaves see-through

# The 16 colours of the standard 4-bit palette. The image lists that take the
# 4-bit glyphs map them onto this palette, so 4-bit maps may use nothing else.
VGA_PALETTE = [
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
]

WHITE = 0xFFFFFF

# What the build makes. Glyph strips list their cells left to right.
OUTPUTS = [
    {"file": "tools.bmp", "kind": "strip", "art": "tools.txt", "bits": 4, "cell": 22,
     "pictures": ["pencil", "fill", "picker", "eraser", "line", "rectangle", "ellipse",
                  "hotspot", "selection"]},
    {"file": "effects.bmp", "kind": "strip", "art": "effects.txt", "bits": 4, "cell": 22,
     "pictures": ["shift-left", "shift-up", "shift-right", "mirror-top-bottom", "shift-down",
                  "mirror-left-right"]},
    {"file": "toolbar.bmp", "kind": "strip", "art": "toolbar.txt", "bits": 24, "cell": 18,
     "pictures": ["new", "open", "save", "undo", "redo", "cut", "copy", "paste"]},
    # Not a glyph: a brush pattern, whose white is meant to be seen.
    {"file": "transparent.bmp", "kind": "strip", "art": "transparent.txt", "bits": 4, "cell": 18,
     "pictures": ["pattern"], "white_shows": True},
    {"file": "vemiro.ico", "kind": "icon", "art": "icon.txt", "bits": 4,
     "pictures": ["icon-32", "icon-16"]},
    {"file": "pencil.cur", "kind": "cursor", "art": "cursors.txt", "bits": 8, "pictures": ["pencil"],
     "image_id": 400},
    {"file": "fill.cur", "kind": "cursor", "art": "cursors.txt", "bits": 8, "pictures": ["fill"],
     "image_id": 401},
    {"file": "picker.cur", "kind": "cursor", "art": "cursors.txt", "bits": 8, "pictures": ["picker"],
     "image_id": 402},
    {"file": "eraser.cur", "kind": "cursor", "art": "cursors.txt", "bits": 8, "pictures": ["eraser"],
     "image_id": 403},
]


class ArtError(Exception):
    pass


class Picture:
    def __init__(self, name, where):
        self.name = name
        self.where = where
        self.rows = []
        self.hotspot = None

    @property
    def width(self):
        return len(self.rows[0]) if self.rows else 0

    @property
    def height(self):
        return len(self.rows)


class ArtFile:
    """One map file: a legend and named pictures.

    colour C RRGGBB [words]      legend entry; C is one character
    colour C transparent [words] see-through pixels
    picture NAME [hotspot X Y]   then one line per pixel row
    Lines starting with # are comments; a blank line ends a picture.
    """

    def __init__(self, path):
        self.path = path
        self.legend = {}
        self.pictures = {}
        self._parse()

    def _parse(self):
        current = None
        with open(self.path, encoding="ascii") as f:
            for number, raw in enumerate(f, 1):
                line = raw.rstrip("\n").rstrip()
                where = "%s:%d" % (self.path, number)
                if current is not None and line and not line.startswith(("#", "picture ", "colour ")):
                    current.rows.append(line.strip())
                    continue
                current = None
                if not line or line.startswith("#"):
                    continue
                words = line.split()
                if words[0] == "colour" and len(words) >= 3 and len(words[1]) == 1:
                    self._add_colour(words[1], words[2], where)
                elif words[0] == "picture" and len(words) in (2, 5):
                    current = Picture(words[1], where)
                    if len(words) == 5:
                        if words[2] != "hotspot":
                            raise ArtError("%s: expected 'hotspot X Y'" % where)
                        current.hotspot = (int(words[3]), int(words[4]))
                    if current.name in self.pictures:
                        raise ArtError("%s: picture %s defined twice" % (where, current.name))
                    self.pictures[current.name] = current
                else:
                    raise ArtError("%s: cannot read '%s'" % (where, line))
        for picture in self.pictures.values():
            self._check(picture)

    def _add_colour(self, char, value, where):
        if char in self.legend:
            raise ArtError("%s: colour '%s' defined twice" % (where, char))
        if value == "transparent":
            self.legend[char] = TRANSPARENT
        else:
            try:
                self.legend[char] = int(value, 16)
            except ValueError:
                raise ArtError("%s: bad colour '%s'" % (where, value))

    def _check(self, picture):
        if not picture.rows:
            raise ArtError("%s: picture %s has no rows" % (picture.where, picture.name))
        for y, row in enumerate(picture.rows):
            if len(row) != picture.width:
                raise ArtError("%s: picture %s row %d is %d wide, not %d"
                               % (picture.where, picture.name, y, len(row), picture.width))
            for char in row:
                if char not in self.legend:
                    raise ArtError("%s: picture %s uses '%s', which the legend lacks"
                                   % (picture.where, picture.name, char))

    def pixels(self, name):
        """Rows of colour values, TRANSPARENT for see-through pixels."""
        if name not in self.pictures:
            raise ArtError("%s: no picture named %s" % (self.path, name))
        return [[self.legend[c] for c in row] for row in self.pictures[name].rows]


def palette_index(colour, palette, where):
    if colour not in palette:
        raise ArtError("%s: colour %06X is not in the %d-colour palette" % (where, colour, len(palette)))
    return palette.index(colour)


def pack_rows(rows, bits):
    """Bottom-up DIB rows, each padded to four bytes. rows hold palette indexes
    (1, 4, 8 bits) or colour values (24 bits)."""
    out = bytearray()
    for row in reversed(rows):
        line = bytearray()
        if bits == 24:
            for colour in row:
                line += bytes((colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF))
        else:
            per_byte = 8 // bits
            for start in range(0, len(row), per_byte):
                value = 0
                for i in range(per_byte):
                    value <<= bits
                    if start + i < len(row):
                        value |= row[start + i]
                line.append(value)
        while len(line) % 4:
            line.append(0)
        out += line
    return bytes(out)


def info_header(width, height, bits, image_size, colours_used):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0,
                       colours_used, 0)


def palette_bytes(palette):
    return b"".join(struct.pack("<BBBB", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, 0)
                    for c in palette)


def make_bitmap(art, output):
    """A glyph strip: the cells side by side; white is the transparent colour."""
    cell = output["cell"]
    rows = [[] for _ in range(cell)]
    for name in output["pictures"]:
        pixels = art.pixels(name)
        picture = art.pictures[name]
        if picture.width != cell or picture.height != cell:
            raise ArtError("%s: %s is %dx%d, not %dx%d"
                           % (picture.where, name, picture.width, picture.height, cell, cell))
        if not output.get("white_shows"):
            for y, row in enumerate(pixels):
                if WHITE in row:
                    # The image lists drop white: paint that must show needs a near-white.
                    raise ArtError("%s: %s paints white at row %d; white is transparent here"
                                   % (picture.where, name, y))
        for y in range(cell):
            rows[y] += [WHITE if c is TRANSPARENT else c for c in pixels[y]]
    bits = output["bits"]
    if bits == 4:
        where = "%s (%s)" % (art.path, output["file"])
        data = pack_rows([[palette_index(c, VGA_PALETTE, where) for c in row] for row in rows], 4)
        colours = palette_bytes(VGA_PALETTE)
        used = 16
    else:
        data = pack_rows(rows, 24)
        colours = b""
        used = 0
    width = len(rows[0])
    header = info_header(width, cell, bits, len(data), used)
    offset = 14 + len(header) + len(colours)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return file_header + header + colours + data, rows


def icon_image(pixels, bits, palette, where):
    """The DIB of one icon or cursor image: colour part, then the AND mask."""
    size = len(pixels)
    indexes = [[0 if c is TRANSPARENT else palette_index(c, palette, where) for c in row]
               for row in pixels]
    mask = [[1 if c is TRANSPARENT else 0 for c in row] for row in pixels]
    xor = pack_rows(indexes, bits)
    andmask = pack_rows(mask, 1)
    header = info_header(size, size * 2, bits, len(xor) + len(andmask), 0)
    return header + palette_bytes(palette) + xor + andmask


def cursor_palette(art, name):
    """Black first (it sits under the transparent pixels), then the picture's
    colours in legend order, padded to 256 entries."""
    palette = [0x000000]
    for colour in art.legend.values():
        if colour is not TRANSPARENT and colour not in palette:
            palette.append(colour)
    if len(palette) > 256:
        raise ArtError("%s: more than 256 colours" % art.path)
    return palette + [0x000000] * (256 - len(palette))


def make_icon(art, output):
    images = []
    for name in output["pictures"]:
        picture = art.pictures.get(name)
        if picture is None:
            raise ArtError("%s: no picture named %s" % (art.path, name))
        if picture.width != picture.height:
            raise ArtError("%s: %s is not square" % (picture.where, name))
        images.append((picture, icon_image(art.pixels(name), 4, VGA_PALETTE, picture.where)))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for picture, data in images:
        entries += struct.pack("<BBBBHHII", picture.width, picture.height, 16, 0, 1, 4,
                               len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, data in images)


def make_cursor(art, output):
    name = output["pictures"][0]
    picture = art.pictures.get(name)
    if picture is None:
        raise ArtError("%s: no picture named %s" % (art.path, name))
    if picture.width != 32 or picture.height != 32:
        raise ArtError("%s: cursor %s must be 32x32" % (picture.where, name))
    if picture.hotspot is None:
        raise ArtError("%s: cursor %s has no hotspot" % (picture.where, name))
    x, y = picture.hotspot
    if not (0 <= x < 32 and 0 <= y < 32) or art.pixels(name)[y][x] is TRANSPARENT:
        # A hotspot on a see-through pixel would point at nothing the user can see.
        raise ArtError("%s: hotspot of %s is not on a painted pixel" % (picture.where, name))
    data = icon_image(art.pixels(name), 8, cursor_palette(art, name), picture.where)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, x, y, len(data), 6 + 16)
    cur_file = directory + entry + data
    # The resource script takes the cursor as its two resources, written here, rather
    # than the .cur file: windres would record the image as 1 bit in the directory.
    image = struct.pack("<HH", x, y) + data
    group = directory + struct.pack("<HHHHIH", 32, 64, 1, 8, len(image), output["image_id"])
    return cur_file, image, group


# ---- Preview -------------------------------------------------------------------------------

def write_png(path, width, height, rgb_rows):
    raw = b"".join(b"\x00" + bytes(row) for row in rgb_rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def preview(path, pictures, zoom, face=0xD4D0C8):
    """One sheet: each picture enlarged over a check pattern (see-through pixels
    show as checks), and under it at real size and twice that over the button face."""
    gap = 8
    lefts, x0 = [], gap
    for pixels in pictures:
        lefts.append(x0)
        x0 += max(len(pixels[0]) * zoom, 3 * len(pixels[0]) + gap) + gap
    side = max(len(p) for p in pictures)
    big_h = side * zoom + 2 * gap
    width, height = x0, big_h + 2 * side + gap
    canvas = [[face] * width for _ in range(height)]
    for left, pixels in zip(lefts, pictures):
        w = len(pixels[0])
        for y, row in enumerate(pixels):
            for x, c in enumerate(row):
                for dy in range(zoom):
                    for dx in range(zoom):
                        colour = c
                        if c is TRANSPARENT:
                            colour = 0xFFFFFF if ((dx * 2 // zoom) + (dy * 2 // zoom)) % 2 else 0xE0E0E0
                        elif zoom >= 6 and (dx == zoom - 1 or dy == zoom - 1):
                            colour = blend(c, 0x808080)
                        canvas[gap + y * zoom + dy][left + x * zoom + dx] = colour
                for scale, at in ((1, left), (2, left + w + gap)):
                    if c is TRANSPARENT:
                        continue
                    for dy in range(scale):
                        for dx in range(scale):
                            canvas[big_h + y * scale + dy][at + x * scale + dx] = c
    rows = []
    for row in canvas:
        rows.append([v for c in row for v in ((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF)])
    write_png(path, width, height, rows)


def blend(a, b):
    return ((((a >> 16) & 0xFF) * 3 + ((b >> 16) & 0xFF)) // 4 << 16
            | (((a >> 8) & 0xFF) * 3 + ((b >> 8) & 0xFF)) // 4 << 8
            | ((a & 0xFF) * 3 + (b & 0xFF)) // 4)


# ---- Main ----------------------------------------------------------------------------------

def write_file(path, data):
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--art", required=True, help="folder of the text pixel maps")
    parser.add_argument("--out", required=True, help="folder for the binary files")
    parser.add_argument("--preview", help="folder for enlarged PNG sheets")
    args = parser.parse_args(argv)

    os.makedirs(args.out, exist_ok=True)
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
    files = {}
    try:
        for output in OUTPUTS:
            art = files.get(output["art"])
            if art is None:
                art = files[output["art"]] = ArtFile(os.path.join(args.art, output["art"]))
            if output["kind"] == "strip":
                data, _ = make_bitmap(art, output)
            elif output["kind"] == "icon":
                data = make_icon(art, output)
            else:
                data, image, group = make_cursor(art, output)
                stem = os.path.join(args.out, os.path.splitext(output["file"])[0])
                write_file(stem + ".cursor", image)
                write_file(stem + ".cursorgroup", group)
            write_file(os.path.join(args.out, output["file"]), data)
            if args.preview:
                pictures = [art.pixels(n) for n in output["pictures"]]
                stem = os.path.splitext(output["file"])[0]
                zoom = 16 if output["kind"] == "cursor" else 12
                preview(os.path.join(args.preview, stem + ".png"), pictures, zoom)
    except (ArtError, OSError) as error:
        print("make_art: %s" % error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
