#!/usr/bin/env python3
"""Writes a UTF-8 text file as UTF-16 LE with a byte-order mark and CR LF line ends.

Windows reads an INI file as Unicode only in that form (GetPrivateProfileStringW
takes any other file as text in the ANSI code page), so the language files are
kept as UTF-8 in the repository and written this way beside the program.
Usage: write-utf16.py SOURCE TARGET
"""
import os
import sys


def main():
    source, target = sys.argv[1], sys.argv[2]
    with open(source, encoding="utf-8") as f:
        text = f.read()
    if text.startswith("\ufeff"):
        text = text[1:]
    text = text.replace("\r\n", "\n").replace("\n", "\r\n")
    os.makedirs(os.path.dirname(os.path.abspath(target)), exist_ok=True)
    temporary = target + ".tmp"
    with open(temporary, "wb") as f:
        f.write(b"\xff\xfe" + text.encode("utf-16-le"))
    os.replace(temporary, target)


if __name__ == "__main__":
    main()
