#!/usr/bin/env python3
"""Compiles the help sources into Vemiro.chm with chmcmd.

The sources are UTF-8. The help viewer reads a French help file in code page
1252 (the project's Language), and chmcmd copies bytes as they are, so every
text file is converted to cp1252 in a staging folder first: the pages, the
contents, the index and the project file itself (its Title goes into the
compiled file). A character that cp1252 cannot hold stops the build.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys

TEXT_SUFFIXES = {".html", ".htm", ".css", ".hhp", ".hhc", ".hhk"}
UTF8_META = re.compile(r'(<meta\s+http-equiv="Content-Type"\s+content="text/html;\s*charset=)utf-8(")',
                       re.IGNORECASE)


def fail(message):
    sys.exit("make_chm: " + message)


def project_files(hhp_path):
    """Returns (options, files) of an .hhp project: the [OPTIONS] keys and the [FILES] list."""
    options, files, section = {}, [], None
    with open(hhp_path, encoding="utf-8") as f:
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
                files.append(line.replace("\\", "/"))
    return options, files


def to_cp1252(text, name):
    for number, line in enumerate(text.splitlines(), 1):
        try:
            line.encode("cp1252")
        except UnicodeEncodeError as e:
            fail(f"{name}:{number}: {line[e.start]!r} has no code page 1252 form")
    return text.encode("cp1252")


def stage(source_dir, relative, work_dir):
    source = os.path.join(source_dir, relative)
    target = os.path.join(work_dir, relative)
    if not os.path.isfile(source):
        fail(f"{relative}: listed in the project but missing")
    os.makedirs(os.path.dirname(target), exist_ok=True)
    if os.path.splitext(relative)[1].lower() not in TEXT_SUFFIXES:
        shutil.copyfile(source, target)
        return
    with open(source, encoding="utf-8") as f:
        text = f.read()
    if relative.lower().endswith((".html", ".htm")):
        text, count = UTF8_META.subn(r"\1windows-1252\2", text)
        if count != 1:
            fail(f"{relative}: needs exactly one Content-Type meta with charset=utf-8")
    with open(target, "wb") as f:
        f.write(to_cp1252(text, relative))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--chmcmd", required=True)
    parser.add_argument("--source", required=True, help="folder of vemiro.hhp")
    parser.add_argument("--work", required=True, help="staging folder (emptied)")
    parser.add_argument("--output", required=True, help="path of the compiled help file")
    args = parser.parse_args()

    hhp = os.path.join(args.source, "vemiro.hhp")
    options, files = project_files(hhp)
    compiled = options.get("compiled file")
    if not compiled:
        fail("vemiro.hhp names no Compiled file")
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    for relative in ["vemiro.hhp", options.get("contents file"), options.get("index file")] + files:
        if relative:
            stage(args.source, relative, args.work)

    # chmcmd reports broken links and missing files on its output but still
    # answers 0, so its messages decide.
    run = subprocess.run([args.chmcmd, "--html-scan", "vemiro.hhp"], cwd=args.work,
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                         encoding="cp1252", errors="replace")
    problems = [line for line in run.stdout.splitlines()
                if line.startswith(("Error", "Warning")) or "couldn't find" in line]
    if run.returncode != 0 or problems:
        sys.stderr.write(run.stdout)
        fail(f"chmcmd failed (exit {run.returncode}, {len(problems)} problems, listed above)")
    built = os.path.join(args.work, compiled)
    if not os.path.isfile(built):
        sys.stderr.write(run.stdout)
        fail(f"chmcmd wrote no {compiled}")
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    partial = args.output + ".part"
    shutil.copyfile(built, partial)
    os.replace(partial, args.output)


if __name__ == "__main__":
    main()
