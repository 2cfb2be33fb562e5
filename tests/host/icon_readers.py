#!/usr/bin/python3
"""Reads what the editor wrote with programs other than the editor.

document_tests leaves in FOLDER the .ico and .cur files of every format, the
pixels each image must show (NAME.rgba: RGBA, rows top-down, transparent
pixels 0,0,0,0) and manifest.txt (a line "NAME TYPE COUNT" per file, then a
line "SIZE BITS HOTSPOTX HOTSPOTY" per image). Every file is listed by
icotool, extracted to PNG by icotool, and decoded by Pillow (icons frame by
frame; cursors by its cursor reader, which shows the largest image without its
mask). The committed fixtures that icotool and ImageMagick made are also
decoded by Pillow and icotool and compared with the pixels they were made from.
REOPENED holds the other fixtures as the editor saved them again, with a
manifest of its own, checked like FOLDER. A missing reader fails.
    icon_readers.py FOLDER FIXTURES [REOPENED]
"""
import glob
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

try:
    from PIL import Image
except ImportError as error:
    print("icon_readers: Pillow is missing (%s); scripts/install-deps.sh installs python3-pil" % error)
    sys.exit(1)

failures = []


def fail(message):
    failures.append(message)
    print("FAIL " + message)


def differences(got, expected, opaque_only_colour=True, alpha=True):
    """Pixels that differ; transparent pixels compare by alpha alone."""
    wrong = []
    for p in range(len(expected) // 4):
        e = expected[4 * p:4 * p + 4]
        g = got[4 * p:4 * p + 4]
        if e[3] == 0:
            if alpha and g[3] != 0:
                wrong.append(p)
        elif g[:3] != e[:3] or (alpha and g[3] != 255):
            wrong.append(p)
    return wrong


def compare(what, image, expected, size, alpha=True):
    image = image.convert("RGBA")
    if image.size != (size, size):
        fail("%s: %s read as %dx%d" % (what, size, image.size[0], image.size[1]))
        return
    wrong = differences(image.tobytes(), expected, alpha=alpha)
    if wrong:
        p = wrong[0]
        fail("%s: %d pixels differ, first at (%d, %d): read %s, expected %s" % (
            what, len(wrong), p % size, p // size,
            tuple(image.tobytes()[4 * p:4 * p + 4]), tuple(expected[4 * p:4 * p + 4])))


def read_manifest(folder):
    files = []
    with open(os.path.join(folder, "manifest.txt")) as f:
        lines = [line.split() for line in f if line.strip()]
    i = 0
    while i < len(lines):
        name, kind, count = lines[i][0], int(lines[i][1]), int(lines[i][2])
        images = [tuple(int(v) for v in lines[i + 1 + k]) for k in range(count)]
        files.append((name, kind, images))
        i += 1 + count
    return files


def icotool_list(path):
    out = subprocess.run(["icotool", "-l", path], capture_output=True, text=True)
    if out.returncode != 0:
        fail("%s: icotool -l refused it: %s" % (path, out.stderr.strip()))
        return []
    entries = []
    for line in out.stdout.splitlines():
        fields = dict(re.findall(r"--([a-z-]+)=(\d+)", line))
        fields["kind"] = "cursor" if line.startswith("--cursor") else "icon"
        entries.append(fields)
    return entries


def icotool_extract(path, count, work):
    """The images icotool decodes, in file order."""
    out = subprocess.run(["icotool", "-x", "-o", work, path], capture_output=True, text=True)
    if out.returncode != 0:
        fail("%s: icotool -x refused it: %s" % (path, out.stderr.strip()))
        return None
    stem = os.path.splitext(os.path.basename(path))[0]
    images = []
    for index in range(1, count + 1):
        found = glob.glob(os.path.join(work, "%s_%d_*.png" % (stem, index)))
        if len(found) != 1:
            fail("%s: icotool extracted no image %d" % (path, index))
            return None
        with Image.open(found[0]) as im:
            images.append(im.convert("RGBA"))
    return images


def pillow_icon_frames(path, count, depths=None):
    """Pillow's frames in file order (Pillow sorts its entries by size); with
    depths, also checks the depth by which Pillow chooses among entries."""
    with open(path, "rb") as f:
        data = f.read()
    offsets = [struct.unpack_from("<I", data, 6 + 16 * i + 12)[0] for i in range(count)]
    with Image.open(path) as im:
        if im.format != "ICO":
            fail("%s: Pillow reads it as %s" % (path, im.format))
            return None
        by_offset = {entry["offset"]: k for k, entry in enumerate(im.ico.entry)}
        seen = [im.ico.entry[by_offset[o]]["color_depth"] for o in offsets]
        if depths and seen != depths:
            fail("%s: Pillow takes the entries for depths %s, written %s" % (path, seen, depths))
        return [im.ico.frame(by_offset[o]).convert("RGBA") for o in offsets]


def split(expected, images):
    parts, at = [], 0
    for size in images:
        parts.append(expected[at:at + 4 * size * size])
        at += 4 * size * size
    if at != len(expected):
        fail("expected pixels hold %d bytes, the images %d" % (len(expected), at))
    return parts


def check_written(folder, whole=True):
    files = read_manifest(folder)
    if whole and len(files) != 62:
        fail("manifest lists %d files, not 30 formats twice and two documents of 30" % len(files))
    formats = set()
    for name, kind, images in files:
        path = os.path.join(folder, name)
        with open(path + ".rgba", "rb") as f:
            expected = split(f.read(), [i[0] for i in images])
        for size, bits, _, _ in images:
            formats.add((size, bits, kind))

        listed = icotool_list(path)
        if len(listed) != len(images):
            fail("%s: icotool lists %d images, written %d" % (name, len(listed), len(images)))
            continue
        for k, ((size, bits, hx, hy), entry) in enumerate(zip(images, listed)):
            want = {"width": size, "height": size, "bit-depth": bits,
                    "palette-size": 2 ** bits if bits <= 8 else 0}
            if kind == 2:
                want.update({"hotspot-x": hx, "hotspot-y": hy})
            got = {key: int(entry.get(key, -1)) for key in want}
            if got != want or entry["kind"] != ("cursor" if kind == 2 else "icon"):
                fail("%s #%d: icotool lists %s %s, expected %s" % (name, k, entry["kind"], got, want))

        with tempfile.TemporaryDirectory() as work:
            extracted = icotool_extract(path, len(images), work)
            for k, image in enumerate(extracted or []):
                compare("%s #%d by icotool" % (name, k), image, expected[k], images[k][0])

        if kind == 1:
            frames = pillow_icon_frames(path, len(images), [i[1] for i in images])
            for k, image in enumerate(frames or []):
                compare("%s #%d by Pillow" % (name, k), image, expected[k], images[k][0])
        elif len(images) == 1:
            with Image.open(path) as im:
                if im.format != "CUR":
                    fail("%s: Pillow reads it as %s" % (name, im.format))
                else:
                    # Pillow's cursor reader leaves the mask out: colours of opaque pixels only.
                    compare("%s by Pillow" % name, im, expected[0], images[0][0], alpha=False)
    if whole and len(formats) != 60:
        fail("%d of the 30 formats written as icon and cursor" % (len(formats) // 2))
    return len(files)


def check_fixtures(fixtures):
    # Pillow's own BMP records and the hand-laid ones are what these readers
    # disagree on: they are checked once the editor has saved them again.
    names = sorted(glob.glob(os.path.join(fixtures, "icotool_*")) + glob.glob(os.path.join(fixtures, "magick_*")))
    names = [n for n in names if not n.endswith(".rgba")]
    for path in names:
        if not os.path.exists(path + ".rgba"):
            continue
        listed = icotool_list(path)
        sizes = [int(e["width"]) for e in listed]
        with open(path + ".rgba", "rb") as f:
            expected = split(f.read(), sizes)
        name = os.path.basename(path)
        with tempfile.TemporaryDirectory() as work:
            for k, image in enumerate(icotool_extract(path, len(sizes), work) or []):
                compare("fixture %s #%d by icotool" % (name, k), image, expected[k], sizes[k])
        if path.endswith(".ico"):
            for k, image in enumerate(pillow_icon_frames(path, len(sizes)) or []):
                compare("fixture %s #%d by Pillow" % (name, k), image, expected[k], sizes[k])
    return len(names)


def main():
    if len(sys.argv) not in (3, 4):
        print(__doc__)
        return 2
    if not shutil.which("icotool"):
        print("icon_readers: icotool is missing; scripts/install-deps.sh installs icoutils")
        return 1
    folder, fixtures = sys.argv[1], sys.argv[2]
    if not os.path.exists(os.path.join(folder, "manifest.txt")):
        print("icon_readers: %s holds no manifest; document_tests did not write the files" % folder)
        return 1
    written = check_written(folder)
    foreign = check_fixtures(fixtures)
    reopened = check_written(sys.argv[3], whole=False) if len(sys.argv) == 4 else 0
    if failures:
        print("icon_readers: %d failures" % len(failures))
        return 1
    print("icon_readers: %d written files, %d fixtures and %d fixtures saved again read alike by icotool and Pillow"
          % (written, foreign, reopened))
    return 0


if __name__ == "__main__":
    sys.exit(main())
