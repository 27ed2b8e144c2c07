#!/usr/bin/env python3
"""Checks that every text of the window's sources has its translation in the .ts file: lupdate
reads the sources into a copy of the file, and every entry it leaves unfinished (a new text, or
one whose translation was never written) is listed, and fails the test.

Usage: translations_complete.py LUPDATE TS_FILE INCLUDE_DIR SOURCE...
       translations_complete.py TS_FILE        (a file no sources of ours feed: Qt's own texts)
"""
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path


def main():
    if len(sys.argv) == 2:
        root = ET.parse(sys.argv[1]).getroot()
    else:
        lupdate, ts, include, *sources = sys.argv[1:]
        with tempfile.TemporaryDirectory() as tmp:
            copy = Path(tmp) / Path(ts).name
            shutil.copy(ts, copy)
            subprocess.run([lupdate, "-silent", "-I", include, "-locations", "none", "-no-obsolete", *sources,
                            "-ts", str(copy)], check=True)
            root = ET.parse(copy).getroot()
    problems, count = [], 0
    for context in root.iter("context"):
        for message in context.iter("message"):
            count += 1
            translation = message.find("translation")
            if translation is None or translation.get("type") == "unfinished" or not (translation.text or "").strip():
                problems.append(f"{context.findtext('name')}: \"{message.findtext('source')}\" has no translation")
    for p in problems:
        print(p)
    print(f"{count} texts, {len(problems)} without a translation")
    return 1 if problems or count == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
