#!/usr/bin/env python3
"""Checks the editor's plug-in list entries the main command's packaging writes, against the zips:

    pluginListCheck.py SOURCE_FOLDER

runs scripts/package.sh on a copy of dist/x86 and dist/x64 (the built libraries), then checks what it
wrote there, and what the main command last wrote in dist/ itself when it holds a list.
"""
import hashlib
import io
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

MACHINES = {"x86": 0x14C, "x64": 0x8664}
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
    return condition


def file_version(library):
    """The file version of a library's version resource: its fixed part, found by its signature."""
    at = library.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return None
    most, least = struct.unpack_from("<II", library, at + 8)
    return "%d.%d.%d.%d" % (most >> 16, most & 0xFFFF, least >> 16, least & 0xFFFF)


def machine(library):
    header = struct.unpack_from("<I", library, 0x3C)[0]
    return struct.unpack_from("<H", library, header + 4)[0]


def check_entry(dist, arch, entry):
    name = entry.get("folder-name", "?")
    where = "%s %s: " % (arch, name)
    for key in ("folder-name", "display-name", "version", "id", "repository", "description", "author", "homepage"):
        check(isinstance(entry.get(key), str) and entry[key].strip(), where + key + " is missing")
    zip_name = os.path.basename(entry.get("repository", ""))
    check(entry.get("repository", "").startswith("https://"), where + "the repository is no https address")
    check(entry.get("homepage", "").startswith("https://"), where + "the homepage is no https address")
    check(zip_name.endswith("_%s.zip" % arch), where + "the repository names no zip of " + arch)
    zip_path = os.path.join(dist, zip_name)
    if not check(os.path.isfile(zip_path), where + zip_name + " is not beside the list"):
        return
    with open(zip_path, "rb") as packed:
        data = packed.read()
    check(entry.get("id") == hashlib.sha256(data).hexdigest(), where + "the id is not the zip's SHA-256")
    check(re.fullmatch(r"\d+(\.\d+){0,3}", entry.get("version", "")), where + "the version has more than four parts")
    compatible = entry.get("npp-compatible-versions")
    if compatible is not None:
        check(re.fullmatch(r"\[\d+(\.\d+)*,\s*(\d+(\.\d+)*)?\]", compatible), where + "npp-compatible-versions: " + compatible)
    with zipfile.ZipFile(io.BytesIO(data)) as archive:
        names = archive.namelist()
        library_name = name + ".dll"
        # The editor installs the zip into plugins\<folder-name>, and loads <folder-name>.dll from there.
        if not check(library_name in names, where + "no %s at the zip's root: %s" % (library_name, names)):
            return
        library = archive.read(library_name)
        guides = [n for n in names if n.startswith("doc/") and n.endswith(".md")]
        check(set(names) == {library_name} | set(guides), where + "the zip holds more than the library and doc/: %s" % names)
        check(len(guides) == 1, where + "no user guide in doc/: %s" % names)
        for guide in guides:
            text = archive.read(guide).decode("utf-8")
            check(text.startswith("# " + entry.get("display-name", "?")), where + guide + " is not its guide")
            check("## Template variables" in text, where + guide + " lacks the template variables")
    check(machine(library) == MACHINES[arch], where + "the library is not an %s library" % arch)
    check(entry.get("version") == file_version(library),
          where + "version %s is not the library's file version %s" % (entry.get("version"), file_version(library)))


def check_dist(dist, expect_both):
    for arch in MACHINES:
        listing_path = os.path.join(dist, "pl.%s.json" % arch)
        if not check(os.path.isfile(listing_path), "%s is missing" % listing_path):
            continue
        with open(listing_path, encoding="utf-8") as listing_file:
            listing = json.load(listing_file)
        entries = listing.get("npp-plugins", [])
        names = sorted(entry.get("folder-name") for entry in entries)
        if expect_both:
            check(names == ["Pickpath", "Wordlamp"], "%s lists %s" % (listing_path, names))
        for entry in entries:
            check_entry(dist, arch, entry)


def main():
    top = sys.argv[1]
    built = os.path.join(top, "dist")
    work = tempfile.mkdtemp(prefix="pluginList")
    try:
        for arch in MACHINES:
            shutil.copytree(os.path.join(built, arch), os.path.join(work, arch))
        environment = dict(os.environ, DIST_DIR=work)
        subprocess.run(["bash", os.path.join(top, "scripts", "package.sh")], env=environment, check=True,
                       stdout=subprocess.DEVNULL)
        check_dist(work, True)
        checked = ["the packaging of dist/x86 and dist/x64"]
        if os.path.isfile(os.path.join(built, "pl.x64.json")):
            check_dist(built, True)
            checked.append("what the main command last wrote in dist/")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print("FAIL: " + failure)
    print("checked " + " and ".join(checked) + ": %d failures" % len(failures))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
