#!/usr/bin/env python3
"""Checks, on the build host, that the data the program reads agrees with its sources:
the layout files, keyboard pictures and simulated keys are what
scripts/generate-keyboards writes, every skin picture the program names literally is
drawn by the theme, and every language text it looks up by a literal id is in each
language file."""
import glob
import os
import re
import subprocess
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
failures = []

if subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "generate-keyboards"), "--check"],
                  cwd=ROOT).returncode != 0:
    failures.append("scripts/generate-keyboards --check: written files are out of date")

sources = [f for pattern in ("app/**/*.cpp", "app/**/*.h")
           for f in glob.glob(os.path.join(ROOT, pattern), recursive=True)]
texts = {f: open(f, encoding="utf-8").read() for f in sources}

drawn = set()
for line in open(os.path.join(ROOT, "data", "skins", "theme1_images.txt"), encoding="utf-8"):
    parts = line.split()
    if parts and parts[0].startswith("skins/theme1/"):
        drawn.add(parts[0][len("skins/theme1/"):])
for path, text in texts.items():
    for m in re.finditer(r'L"([A-Za-z0-9_\\]+\.(?:png|gif))"', text):
        name = m.group(1).replace("\\\\", "/")
        if name not in drawn:
            failures.append(f"{os.path.relpath(path, ROOT)}: picture {name} is not drawn by the theme")


def sections(lan):
    found, section = {}, None
    for line in open(lan, encoding="utf-8-sig"):
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            section = line[1:-1]
        elif "=" in line and section:
            key = line.split("=", 1)[0].strip()
            if key.isdigit():
                found.setdefault(section, set()).add(int(key))
    return found


languages = {os.path.basename(p): sections(p)
             for p in glob.glob(os.path.join(ROOT, "data", "language", "*.lan.txt"))}
for path, text in texts.items():
    for m in re.finditer(r'\b(?:LangText|GetLanguageText)\((\d+)(?:,\s*L"([A-Z.]+)")?\)', text):
        section, ident = m.group(2) or "KB.DIALOG", int(m.group(1))
        for name, found in languages.items():
            if ident not in found.get(section, set()):
                failures.append(f"{os.path.relpath(path, ROOT)}: text {section} {ident} missing in {name}")

for f in failures:
    print(f)
print("data and sources disagree" if failures else "data and sources agree")
sys.exit(1 if failures else 0)
