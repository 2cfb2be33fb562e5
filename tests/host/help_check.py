#!/usr/bin/env python3
"""Checks the help file: its HTML sources, and the compiled Vemiro.chm.

Sources: every file of the project exists and has a code page 1252 form, every
page is well nested and has its title and charset, and every link of the pages,
the contents and the index reaches an existing page and anchor. Compiled file:
the ITSF container, its directory (names are stored there in plain bytes) lists
every file of the project, and its uncompressed #SYSTEM file carries the French
language, the cp1252 title, the default topic, the contents and the index.

    help_check.py --source DIR --chm FILE     check
    help_check.py --source DIR --self-test    prove that broken inputs are caught
"""
import argparse
import html.parser
import os
import re
import shutil
import struct
import sys
import tempfile

VOID_TAGS = {"meta", "link", "br", "hr", "img", "input", "param", "col", "area", "base"}
LANGUAGE_FRENCH = 0x040C


# ---------------------------------------------------------------- sources

def read_project(source):
    options, files, section = {}, [], None
    with open(os.path.join(source, "vemiro.hhp"), encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith(";"):
                continue
            if line.startswith("[") and line.endswith("]"):
                section = line[1:-1].upper()
            elif section == "OPTIONS" and "=" in line:
                key, value = line.split("=", 1)
                options[key.strip().lower()] = value.strip()
            elif section == "FILES":
                files.append(line)
    return options, files


class PageParser(html.parser.HTMLParser):
    """Collects what the checks need and every nesting fault of one page."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.open_tags, self.faults = [], []
        self.anchors, self.links, self.params = set(), [], []
        self.title, self.in_title, self.charsets = "", False, []

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        for key in ("id", "name"):
            if key in attrs and tag != "param" and tag != "meta":
                if attrs[key] in self.anchors:
                    self.faults.append(f"anchor {attrs[key]!r} defined twice")
                self.anchors.add(attrs[key])
        for key in ("href", "src"):
            if key in attrs:
                self.links.append(attrs[key])
        if tag == "param":
            self.params.append((attrs.get("name", ""), attrs.get("value", "")))
        if tag == "meta" and attrs.get("http-equiv", "").lower() == "content-type":
            self.charsets.append(attrs.get("content", ""))
        if tag == "title":
            self.in_title = True
        if tag not in VOID_TAGS:
            self.open_tags.append((tag, self.getpos()[0]))

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        if tag not in VOID_TAGS:
            self.open_tags.pop()

    def handle_endtag(self, tag):
        if tag == "title":
            self.in_title = False
        if tag in VOID_TAGS:
            return
        if not self.open_tags or self.open_tags[-1][0] != tag:
            expected = self.open_tags[-1] if self.open_tags else ("nothing", 0)
            self.faults.append(f"line {self.getpos()[0]}: </{tag}> closes <{expected[0]}> "
                               f"of line {expected[1]}")
            return
        self.open_tags.pop()

    def handle_data(self, data):
        if self.in_title:
            self.title += data


def parse_page(path, strict_nesting):
    parser = PageParser()
    with open(path, encoding="utf-8") as f:
        parser.feed(f.read())
    parser.close()
    if strict_nesting:
        parser.faults += [f"<{tag}> of line {line} is never closed" for tag, line in parser.open_tags]
    else:
        parser.faults = [fault for fault in parser.faults if "defined twice" in fault]
    return parser


def check_sources(source):
    problems = []
    options, files = read_project(source)
    for key in ("compiled file", "contents file", "index file", "default topic", "title", "language"):
        if not options.get(key):
            problems.append(f"vemiro.hhp: no {key}")
    if options.get("compiled file", "").lower() != "vemiro.chm":
        problems.append("vemiro.hhp: the compiled file must be Vemiro.chm")
    if not options.get("language", "").lower().startswith("0x40c"):
        problems.append("vemiro.hhp: the language must be French, 0x40c")

    listed = set(files)
    for name in sorted(os.listdir(source)):
        if name.endswith((".html", ".css")) and name not in listed:
            problems.append(f"{name}: not listed in vemiro.hhp, so left out of the help file")
    pages = {}
    for name in ["vemiro.hhp", options.get("contents file"), options.get("index file")] + files:
        if not name:
            continue
        path = os.path.join(source, name)
        if not os.path.isfile(path):
            problems.append(f"{name}: listed but missing")
            continue
        try:
            with open(path, encoding="utf-8") as f:
                f.read().encode("cp1252")
        except (UnicodeDecodeError, UnicodeEncodeError) as e:
            problems.append(f"{name}: not UTF-8 text with a code page 1252 form ({e.reason})")
            continue
        if name.endswith(".html"):
            page = parse_page(path, strict_nesting=True)
            pages[name] = page
            problems += [f"{name}: {fault}" for fault in page.faults]
            if not page.title.strip():
                problems.append(f"{name}: no title")
            if len(page.charsets) != 1 or "charset=utf-8" not in page.charsets[0].lower():
                problems.append(f"{name}: needs one Content-Type meta with charset=utf-8")

    def reaches(where, target):
        if re.match(r"^[a-z]+:", target):
            problems.append(f"{where}: external link {target!r} (the help must stand alone)")
            return
        name, _, anchor = target.partition("#")
        name = name or where
        if name not in listed:
            problems.append(f"{where}: link to {target!r}, which is not a file of the project")
        elif anchor and name in pages and anchor not in pages[name].anchors:
            problems.append(f"{where}: link to {target!r}, which has no anchor {anchor!r}")

    for name, page in pages.items():
        for target in page.links:
            reaches(name, target)
    if options.get("default topic"):
        reaches("vemiro.hhp", options["default topic"])

    for key in ("contents file", "index file"):
        sitemap = options.get(key)
        if not sitemap or not os.path.isfile(os.path.join(source, sitemap)):
            continue
        parsed = parse_page(os.path.join(source, sitemap), strict_nesting=False)
        problems += [f"{sitemap}: {fault}" for fault in parsed.faults]
        names = [value for param, value in parsed.params if param.lower() == "name"]
        locals_ = [value for param, value in parsed.params if param.lower() == "local"]
        if not locals_ or len(names) != len(locals_) or not all(n.strip() for n in names):
            problems.append(f"{sitemap}: every entry needs a name and a page")
        for target in locals_:
            reaches(sitemap, target)
        if key == "contents file":
            reached = {target.partition("#")[0] for target in locals_}
            for name in pages:
                if name not in reached:
                    problems.append(f"{name}: not in the contents {sitemap}")
    return problems


# ---------------------------------------------------------------- compiled file

def encint(data, at):
    value = 0
    while True:
        if at >= len(data):
            raise ValueError("directory entry runs past its chunk")
        byte = data[at]
        at += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, at


def read_directory(chm):
    """Returns {name: (section, offset, length)} from the PMGL chunks of an ITSF file."""
    if len(chm) < 0x60 or chm[:4] != b"ITSF":
        raise ValueError("no ITSF signature")
    version, header_length = struct.unpack_from("<II", chm, 4)
    if version != 3 or header_length != 0x60:
        raise ValueError(f"ITSF version {version}, header length {header_length}: expected 3, 96")
    directory, directory_length = struct.unpack_from("<QQ", chm, 0x48)
    if directory + 0x54 > len(chm) or chm[directory:directory + 4] != b"ITSP":
        raise ValueError("no ITSP directory header where the ITSF header says")
    chunk_size = struct.unpack_from("<I", chm, directory + 0x10)[0]
    first_chunk = struct.unpack_from("<i", chm, directory + 0x20)[0]
    chunk_count = struct.unpack_from("<I", chm, directory + 0x2C)[0]
    if chunk_size < 0x20 or 0x54 + chunk_size * chunk_count > directory_length:
        raise ValueError("directory chunks do not fit the directory")
    entries, chunk, visited = {}, first_chunk, set()
    while chunk != -1:
        if chunk in visited or not 0 <= chunk < chunk_count:
            raise ValueError(f"directory chunk chain broken at {chunk}")
        visited.add(chunk)
        base = directory + 0x54 + chunk * chunk_size
        data = chm[base:base + chunk_size]
        if data[:4] != b"PMGL":
            raise ValueError(f"directory chunk {chunk} is not a PMGL listing chunk")
        free = struct.unpack_from("<I", data, 4)[0]
        next_chunk = struct.unpack_from("<i", data, 16)[0]
        at = 20
        while at < chunk_size - free:
            length, at = encint(data, at)
            name = data[at:at + length].decode("utf-8")
            at += length
            section, at = encint(data, at)
            offset, at = encint(data, at)
            size, at = encint(data, at)
            entries[name] = (section, offset, size)
        chunk = next_chunk
    return entries


def read_system(chm, entries):
    """Returns the records of #SYSTEM ({code: bytes}), stored uncompressed in section 0."""
    if "/#SYSTEM" not in entries:
        raise ValueError("no /#SYSTEM file")
    section, offset, size = entries["/#SYSTEM"]
    if section != 0:
        raise ValueError("/#SYSTEM is not in the uncompressed section")
    start = struct.unpack_from("<Q", chm, 0x58)[0] + offset
    data = chm[start:start + size]
    if len(data) != size or size < 4:
        raise ValueError("/#SYSTEM runs past the end of the file")
    records, at = {}, 4
    while at + 4 <= size:
        code, length = struct.unpack_from("<HH", data, at)
        records[code] = data[at + 4:at + 4 + length]
        at += 4 + length
    return records


def check_compiled(source, chm_path):
    if not os.path.isfile(chm_path):
        return [f"{chm_path}: missing (build the vemiro_help target)"]
    with open(chm_path, "rb") as f:
        chm = f.read()
    try:
        entries = read_directory(chm)
        system = read_system(chm, entries)
    except (ValueError, struct.error, UnicodeDecodeError) as e:
        return [f"{chm_path}: {e}"]

    problems = []
    options, files = read_project(source)
    # The compressed pages live in one section-0 stream: a cut file loses its end.
    content_start = struct.unpack_from("<Q", chm, 0x58)[0]
    for name, (section, offset, size) in entries.items():
        if section == 0 and content_start + offset + size > len(chm):
            problems.append(f"{name}: runs past the end of {os.path.basename(chm_path)}")
    if struct.unpack_from("<I", chm, 0x14)[0] != LANGUAGE_FRENCH:
        problems.append("ITSF header: the language is not French (0x040C)")
    for name in [options.get("contents file"), options.get("index file")] + files:
        if name and "/" + name not in entries:
            problems.append(f"{name}: not inside {os.path.basename(chm_path)}")

    def text(code):
        return system.get(code, b"").rstrip(b"\0")

    expected = {0: options.get("contents file", ""), 1: options.get("index file", ""),
                2: options.get("default topic", ""), 3: options.get("title", "")}
    labels = {0: "contents file", 1: "index file", 2: "default topic", 3: "title"}
    for code, value in expected.items():
        if text(code) != value.encode("cp1252"):
            problems.append(f"#SYSTEM: {labels[code]} is {text(code)!r}, expected {value!r} in cp1252")
    if len(system.get(4, b"")) < 4 or struct.unpack_from("<I", system[4])[0] != LANGUAGE_FRENCH:
        problems.append("#SYSTEM: the language is not French (0x040C)")
    return problems


# ---------------------------------------------------------------- self test

def self_test(source):
    """Breaks copies of the sources and of a compiled file, one fault at a time,
    and fails unless the checks report each fault."""
    def edit(folder, name, old, new):
        path = os.path.join(folder, name)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        if old not in text:
            raise SystemExit(f"self-test: {name} no longer holds {old!r}; update the self-test")
        with open(path, "w", encoding="utf-8") as f:
            f.write(text.replace(old, new, 1))

    source_faults = [
        ("page removed", lambda d: os.remove(os.path.join(d, "outils.html"))),
        ("page not listed", lambda d: edit(d, "vemiro.hhp", "importer.html\n", "")),
        ("broken link", lambda d: edit(d, "menus.html", 'href="annuler.html"', 'href="annule.html"')),
        ("broken anchor", lambda d: edit(d, "menus.html", 'href="selection.html#coller"',
                                         'href="selection.html#colle"')),
        ("contents to a missing page", lambda d: edit(d, "vemiro.hhc", 'value="menus.html"',
                                                      'value="menu.html"')),
        ("index to a missing anchor", lambda d: edit(d, "vemiro.hhk", 'value="outils.html#gomme"',
                                                     'value="outils.html#gom"')),
        ("page left out of the contents", lambda d: edit(d, "vemiro.hhc", 'value="menus.html"',
                                                         'value="accueil.html"')),
        ("bad nesting", lambda d: edit(d, "effets.html", "</ul>", "</ol>")),
        ("character without cp1252 form", lambda d: edit(d, "annuler.html", "Répéter", "Répéter \u2192")),
        ("no charset", lambda d: edit(d, "couleurs.html", "charset=utf-8", "charset=iso-8859-1")),
    ]
    failures = []
    for label, damage in source_faults:
        with tempfile.TemporaryDirectory() as folder:
            copy = os.path.join(folder, "help")
            shutil.copytree(source, copy)
            damage(copy)
            if not check_sources(copy):
                failures.append(f"sources: {label} was not reported")
    return failures


def self_test_compiled(source, chm_path):
    with open(chm_path, "rb") as f:
        good = f.read()
    at = good.find(b"/outils.html")
    title = read_project(source)[0]["title"].encode("cp1252")
    system_at = good.find(title)
    damaged = [
        ("not an ITSF file", b"ITSX" + good[4:]),
        ("truncated file", good[:len(good) // 3]),
        ("page missing from the directory", good[:at] + b"/outilz.html" + good[at + 12:]),
        ("title in another encoding", good[:system_at] + title.replace(b"\x96", b"-") + good[system_at + len(title):]),
    ]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        for label, data in damaged:
            path = os.path.join(folder, "Vemiro.chm")
            with open(path, "wb") as f:
                f.write(data)
            if not check_compiled(source, path):
                failures.append(f"compiled file: {label} was not reported")
        if not check_compiled(source, os.path.join(folder, "absent.chm")):
            failures.append("compiled file: a missing file was not reported")
    return failures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True, help="the help folder (vemiro.hhp)")
    parser.add_argument("--chm", required=True, help="the compiled Vemiro.chm")
    parser.add_argument("--self-test", action="store_true")
    args = parser.parse_args()
    if args.self_test:
        failures = self_test(args.source) + self_test_compiled(args.source, args.chm)
        for failure in failures:
            print("FAULT NOT CAUGHT: " + failure)
        print(f"help_check self-test: {'failed' if failures else 'every fault caught'}")
        return 1 if failures else 0
    problems = check_sources(args.source) + check_compiled(args.source, args.chm)
    for problem in problems:
        print("PROBLEM: " + problem)
    print(f"help_check: {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
