#!/usr/bin/env python3
"""Writes the help and credits documents of assets/help/ from text/*.txt.

The RTF files are what the program reads and what users may edit; this script
only saves typing RTF by hand. Run it from anywhere: python3 make_help.py
"""
import pathlib

from rtfwriter import to_rtf

HERE = pathlib.Path(__file__).resolve().parent
OUT = HERE.parent.parent / "assets" / "help"


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    for source in sorted((HERE / "text").glob("*.txt")):
        target = OUT / (source.stem + ".rtf")
        target.write_bytes(to_rtf(source.read_text(encoding="utf-8")).encode("ascii"))
        print("wrote", target.relative_to(HERE.parent.parent))


if __name__ == "__main__":
    main()
