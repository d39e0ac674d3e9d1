#!/usr/bin/env python3
"""Writes the editor's plug-in list entries for one architecture, in the shape of its pl.<arch>.json:

    pluginList.py ARCH DIST_FOLDER SOURCE_FOLDER DOWNLOAD_URL HOMEPAGE

one entry per plug-in whose zip DIST_FOLDER holds (<Plugin>_<version>_<arch>.zip), into
DIST_FOLDER/pl.<arch>.json. Each names the plug-in's folder (the library's name), its display name,
version, description and author as the library's version resource gives them, the zip's SHA-256, its
download address (DOWNLOAD_URL followed by the zip's name) and the project's HOMEPAGE.

No entry names npp-compatible-versions: the plug-ins ask the editor's version before they use
anything newer than the plug-in interface every editor with a plug-in list (7.6 and later) has.
"""
import glob
import hashlib
import json
import os
import re
import sys

PLUGINS = ["Wordlamp", "Pickpath"]


def version_values(resource_file):
    """The version resource's file version and strings."""
    with open(resource_file, encoding="utf-8") as source:
        text = source.read()
    values = dict(re.findall(r'VALUE "(\w+)", "([^"]*)"', text))
    # The four parts the editor compares with the installed library's own file version.
    numbers = re.search(r"^FILEVERSION\s+([\d ,]+)$", text, re.M).group(1)
    values["version"] = ".".join(part.strip() for part in numbers.split(","))
    return values


def entry(plugin, zip_path, source_folder, download_url, homepage):
    values = version_values(os.path.join(source_folder, plugin.lower(), "version.rc"))
    with open(zip_path, "rb") as packed:
        digest = hashlib.sha256(packed.read()).hexdigest()
    return {
        # The editor installs the zip into plugins\<folder-name>, which must be the library's name.
        "folder-name": plugin,
        "display-name": values["InternalName"],
        "version": values["version"],
        "id": digest,
        "repository": download_url.rstrip("/") + "/" + os.path.basename(zip_path),
        "description": values["FileDescription"],
        "author": values["LegalCopyright"],
        "homepage": homepage,
    }


def main():
    arch, dist, source_folder, download_url, homepage = sys.argv[1:6]
    entries = []
    for plugin in PLUGINS:
        zips = sorted(glob.glob(os.path.join(dist, "%s_*_%s.zip" % (plugin, arch))))
        if zips:
            entries.append(entry(plugin, zips[-1], source_folder, download_url, homepage))
    listing = {"name": "npp plugin list", "version": "1.0", "npp-plugins": entries}
    with open(os.path.join(dist, "pl.%s.json" % arch), "w", encoding="utf-8", newline="\n") as out:
        json.dump(listing, out, indent=4, ensure_ascii=False)
        out.write("\n")


if __name__ == "__main__":
    main()
