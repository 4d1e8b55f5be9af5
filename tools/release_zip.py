#!/usr/bin/env python3
"""Packs the release archive from a built tree, the same bytes every time.

    release_zip.py TREE STAMP OUT.zip FOLDER

TREE holds the sources and build/win32/countdown.exe; STAMP (seconds since
1970, the commit's time) dates every entry, so that nothing of the moment or
the machine gets in. The texts get Windows line ends, and the README (the user
guide, docs/guide.txt, with the archive's own name filled in) a byte order mark,
so that Notepad shows them as they are.
"""
import sys
import time
import zipfile
from pathlib import Path


def windows_text(path, bom=False, fill=None):
    text = path.read_text(encoding="utf-8").replace("\r\n", "\n").replace("\n", "\r\n")
    for key, value in (fill or {}).items():
        text = text.replace("{" + key + "}", value)
    return (b"\xef\xbb\xbf" if bom else b"") + text.encode("utf-8")


def main(tree, stamp, out, folder):
    tree = Path(tree)
    date = time.gmtime(max(int(stamp), 315532800))[:6]  # zip dates start in 1980
    entries = [
        ("countdown.exe", (tree / "build/win32/countdown.exe").read_bytes(), 0o755),
        ("README.txt", windows_text(tree / "docs/guide.txt", bom=True, fill={"archive": f"{folder}.zip"}), 0o644),
        ("LICENSE.txt", windows_text(tree / "LICENSE"), 0o644),
        ("CHANGELOG.md", windows_text(tree / "CHANGELOG.md"), 0o644),
    ]
    with zipfile.ZipFile(out, "w") as archive:
        for name, data, mode in entries:
            info = zipfile.ZipInfo(f"{folder}/{name}", date_time=date)
            info.create_system = 3  # Unix, so that the modes below are kept
            info.external_attr = (0o100000 | mode) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)


if __name__ == "__main__":
    main(*sys.argv[1:])
