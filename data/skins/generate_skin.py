#!/usr/bin/env python3
"""Draws the skin theme "theme1", the device pictures, the stock LCD animations,
the tray icon and the program icon, at build time.

  generate_skin.py --outputs        lists the files it writes (relative to the
                                    executable's folder), one a line
  generate_skin.py --out DIR --work DIR [--rsvg P] [--convert P]
                                    writes them

What is drawn, and at which size, comes from three lists beside this script:
theme1_images.txt (every skin picture: file, frame size, frame count),
DEVICE_PICTURES.txt (the device card pictures) and lcd_models.txt (the stock
LCD animations per keyboard model). Pictures are SVG drawings rendered with
rsvg-convert; animations and icons are put together with ImageMagick.
"""
import argparse
import os
import sys
from concurrent.futures import ThreadPoolExecutor

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import skin_art  # noqa: E402
import skinlib  # noqa: E402


def read_table(name, columns):
    rows = []
    with open(os.path.join(HERE, name), encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            cells = line.split()
            if len(cells) != columns:
                sys.exit(f"{name}: expected {columns} columns: {line}")
            rows.append(cells)
    return rows


def images():
    return [(c[0], int(c[1]), int(c[2]), int(c[3])) for c in read_table("theme1_images.txt", 4)]


def devices():
    return [(c[0], c[1], c[2]) for c in read_table("DEVICE_PICTURES.txt", 3)]


def lcd_models():
    return [(c[0], int(c[1]), int(c[2]), int(c[3])) for c in read_table("lcd_models.txt", 4)]


PROGRAM_ICON = "res/Kestrova.ico"
# Pictures built into Kestrova.exe as "PNG" resources (app/Kestrova.rc):
# file, width, height.
PROGRAM_PICTURES = [("res/menu_record.png", 150, 120)]


def outputs():
    out = [name for name, _, _, _ in images()]
    out += ["device/" + name for name, _, _ in devices()]
    for model, slots, _, _ in lcd_models():
        out += [f"gif/{model}/{n}.gif" for n in range(slots)]
    out.append(PROGRAM_ICON)
    out += [name for name, _, _ in PROGRAM_PICTURES]
    return out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--outputs", action="store_true")
    ap.add_argument("--out")
    ap.add_argument("--work")
    ap.add_argument("--rsvg", default="rsvg-convert")
    ap.add_argument("--convert", default="convert")
    a = ap.parse_args()
    if a.outputs:
        print("\n".join(outputs()))
        return
    if not a.out or not a.work:
        ap.error("--out and --work are needed")
    tools = skin_art.Tools(a.rsvg, a.convert, a.work)

    jobs = []
    for name, fw, fh, frames in images():
        jobs.append((skin_art.make_image, (tools, name, fw, fh, frames, os.path.join(a.out, name))))
    for name, kind, state in devices():
        jobs.append((skin_art.make_device, (tools, name, kind, state,
                                            os.path.join(a.out, "device", name))))
    for model, slots, w, h in lcd_models():
        for n in range(slots):
            jobs.append((skin_art.make_lcd_animation,
                         (tools, model, n, w, h, os.path.join(a.out, "gif", model, f"{n}.gif"))))
    jobs.append((skin_art.make_program_icon, (tools, os.path.join(a.out, PROGRAM_ICON))))
    for name, w, h in PROGRAM_PICTURES:
        jobs.append((skin_art.make_image, (tools, name, w, h, 1, os.path.join(a.out, name))))

    with ThreadPoolExecutor(max_workers=os.cpu_count() or 4) as pool:
        for f in [pool.submit(fn, *args) for fn, args in jobs]:
            f.result()


if __name__ == "__main__":
    main()
