#!/usr/bin/env python3
"""Writes a plug-in's user guide: the README's sections a user of that plug-in reads, in order.

    userGuide.py README.md Wordlamp > Wordlamp.md

The guide goes into the plug-in's zip as doc/<Plugin>.md, which the editor's plug-in manager installs
beside the library; the README stays the one place the text is written.
"""
import sys

# The sections each guide takes, by their headings; a section runs to the next heading of its level
# or above.
SECTIONS = {
    "Wordlamp": ["## Wordlamp: help for the word at the caret", "## Template variables", "### Where the settings live"],
    "Pickpath": ["## Pickpath: open the file named by the selection", "## Template variables",
                 "### Where the settings live"],
}


def section(lines, heading):
    level = len(heading) - len(heading.lstrip("#"))
    start = lines.index(heading)
    end = start + 1
    while end < len(lines):
        text = lines[end]
        hashes = len(text) - len(text.lstrip("#"))
        if hashes and hashes <= level and text[hashes:hashes + 1] == " ":
            break
        end += 1
    body = lines[start:end]
    # Each section stands one level below the guide's own title.
    body[0] = "##" + heading.lstrip("#") if level == 3 else heading
    while body and not body[-1].strip():
        body.pop()
    return body


def main():
    readme, plugin = sys.argv[1], sys.argv[2]
    with open(readme, encoding="utf-8") as source:
        lines = source.read().splitlines()
    out = ["# " + plugin, ""]
    for heading in SECTIONS[plugin]:
        out += section(lines, heading) + [""]
    sys.stdout.write("\n".join(out))


if __name__ == "__main__":
    main()
