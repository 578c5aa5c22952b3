"""Small SVG toolkit for the skin theme: colours, shapes, icons and the renderers
(rsvg-convert for pictures, ImageMagick for strips, animations and icons)."""
import math
import os
import subprocess

# The theme's colours. The library's defaults: text 0xFF333333 on light surfaces,
# normal 0xFF3A4E60, hover 0xFF3D4753, accent (pressed, selected) 0xFF4977E5.
ACCENT = "#4977E5"
ACCENT_HOVER = "#6A90EE"
ACCENT_DARK = "#355FC7"
ACCENT_SOFT = "#E4ECFC"
TEXT = "#333333"
TEXT_2 = "#2D3347"
SLATE = "#3A4E60"
SLATE_HOVER = "#3D4753"
MUTED = "#6B7385"
FAINT = "#A7AFBD"
LINE = "#D5DBE5"
LINE_SOFT = "#E4E8EF"
SURFACE = "#FFFFFF"
SURFACE_2 = "#F4F6FA"
SURFACE_3 = "#EBEEF4"
DISABLED_FILL = "#EEF0F4"
DISABLED_LINE = "#E1E5EB"
DISABLED_INK = "#B9C0CC"
CHROME = "#151922"
CHROME_2 = "#1C212C"
CHROME_3 = "#262C39"
CHROME_LINE = "#2F3646"
CHROME_INK = "#AEB6C4"
DANGER = "#E5484D"
OK = "#2FB67C"
WARN = "#F0A53A"
FONT = "Roboto"


def esc(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def rect(x, y, w, h, r=0, fill="none", stroke=None, sw=1, opacity=None, extra=""):
    """A rounded rectangle; a stroke of odd width sits on pixel centres, so a
    1-pixel outline stays crisp."""
    if stroke and sw % 2 == 1:
        x, y, w, h = x + sw / 2, y + sw / 2, w - sw, h - sw
    a = f'<rect x="{x:g}" y="{y:g}" width="{w:g}" height="{h:g}" rx="{r:g}" fill="{fill}"'
    if stroke:
        a += f' stroke="{stroke}" stroke-width="{sw:g}"'
    if opacity is not None:
        a += f' opacity="{opacity:g}"'
    return a + f" {extra}/>"


def circle(cx, cy, r, fill="none", stroke=None, sw=1, extra=""):
    a = f'<circle cx="{cx:g}" cy="{cy:g}" r="{r:g}" fill="{fill}"'
    if stroke:
        a += f' stroke="{stroke}" stroke-width="{sw:g}"'
    return a + f" {extra}/>"


def path(d, fill="none", stroke=None, sw=1.6, extra=""):
    a = f'<path d="{d}" fill="{fill}"'
    if stroke:
        a += (f' stroke="{stroke}" stroke-width="{sw:g}" stroke-linecap="round"'
              ' stroke-linejoin="round"')
    return a + f" {extra}/>"


def text(x, y, s, size=14, fill=TEXT, weight=400, anchor="middle", family=FONT, extra=""):
    return (f'<text x="{x:g}" y="{y:g}" font-family="{family}" font-size="{size:g}" '
            f'font-weight="{weight}" fill="{fill}" text-anchor="{anchor}" {extra}>{esc(s)}</text>')


def group(content, dx=0, dy=0, scale=None, extra=""):
    t = f"translate({dx:g} {dy:g})"
    if scale is not None:
        t += f" scale({scale:g})"
    return f'<g transform="{t}" {extra}>{content}</g>'


def shadow_filter(fid, dy=1, blur=1.5, opacity=0.25, color="#0B1020"):
    return (f'<filter id="{fid}" x="-50%" y="-50%" width="200%" height="200%">'
            f'<feGaussianBlur in="SourceAlpha" stdDeviation="{blur:g}"/>'
            f'<feOffset dy="{dy:g}" result="b"/>'
            f'<feFlood flood-color="{color}" flood-opacity="{opacity:g}"/>'
            '<feComposite in2="b" operator="in"/>'
            '<feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge></filter>')


def linear(gid, stops, x1=0, y1=0, x2=0, y2=1):
    s = "".join(f'<stop offset="{o:g}" stop-color="{c}"' +
                (f' stop-opacity="{a:g}"' if a is not None else "") + "/>"
                for o, c, a in [(st + (None,))[:3] for st in stops])
    return (f'<linearGradient id="{gid}" x1="{x1:g}" y1="{y1:g}" x2="{x2:g}" y2="{y2:g}">'
            f"{s}</linearGradient>")


def radial(gid, stops, cx=0.5, cy=0.5, r=0.5):
    s = "".join(f'<stop offset="{o:g}" stop-color="{c}"' +
                (f' stop-opacity="{a:g}"' if a is not None else "") + "/>"
                for o, c, a in [(st + (None,))[:3] for st in stops])
    return f'<radialGradient id="{gid}" cx="{cx:g}" cy="{cy:g}" r="{r:g}">{s}</radialGradient>'


def hsl_to_hex(h, s, l):
    c = (1 - abs(2 * l - 1)) * s
    hp = (h % 360) / 60
    x = c * (1 - abs(hp % 2 - 1))
    r, g, b = [(c, x, 0), (x, c, 0), (0, c, x), (0, x, c), (x, 0, c), (c, 0, x)][int(hp) % 6]
    m = l - c / 2
    return "#%02X%02X%02X" % tuple(round((v + m) * 255) for v in (r, g, b))


def svg_doc(width, height, body, defs=""):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="0 0 {width} {height}">'
            f"<defs>{defs}</defs>{body}</svg>\n")


def strip(fw, fh, frames, draw):
    """One SVG with the frames side by side; each frame is clipped to its own cell,
    so nothing of one state bleeds into the next."""
    parts = []
    defs = []
    for i in range(frames):
        body = draw(i)
        if isinstance(body, tuple):
            body, d = body
            defs.append(d)
        parts.append(f'<svg x="{i * fw}" y="0" width="{fw}" height="{fh}" '
                     f'viewBox="0 0 {fw} {fh}" overflow="hidden">{body}</svg>')
    return svg_doc(fw * frames, fh, "".join(parts), "".join(defs))


def render_svg(rsvg, svg_text, svg_path, png_path):
    os.makedirs(os.path.dirname(svg_path), exist_ok=True)
    os.makedirs(os.path.dirname(png_path), exist_ok=True)
    with open(svg_path, "w", encoding="utf-8") as f:
        f.write(svg_text)
    subprocess.run([rsvg, "-f", "png", "-o", png_path, svg_path], check=True)


def make_gif(convert, tall_png, w, h, delay_cs, out_path, palette=None):
    """An endlessly looping GIF from a picture of frames stacked top to bottom;
    the delay in hundredths of a second. palette: a list of up to 256 "#RRGGBB"
    colours that every frame is mapped to (smooth light needs the palette to follow
    its gradient), else ImageMagick picks 256 colours."""
    os.makedirs(os.path.dirname(out_path), exist_ok=True)
    args = [convert, tall_png, "-crop", f"{w}x{h}", "+repage", "+dither"]
    if palette:
        ppm = out_path + ".palette.ppm"
        with open(ppm, "w") as f:
            f.write(f"P3 {len(palette)} 1 255\n")
            f.write(" ".join(f"{int(c[1:3], 16)} {int(c[3:5], 16)} {int(c[5:7], 16)}"
                             for c in palette) + "\n")
        args += ["-remap", ppm]
    else:
        args += ["-colors", "256"]
    args += ["-set", "delay", str(delay_cs), "-loop", "0", "-layers", "Optimize", out_path]
    subprocess.run(args, check=True)
    if palette:
        os.remove(ppm)


def mix(c0, c1, t):
    a = [int(c0[i:i + 2], 16) for i in (1, 3, 5)]
    b = [int(c1[i:i + 2], 16) for i in (1, 3, 5)]
    return "#%02X%02X%02X" % tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def make_ico(convert, pngs, out_path):
    os.makedirs(os.path.dirname(out_path), exist_ok=True)
    subprocess.run([convert] + pngs + [out_path], check=True)


# ---- Line icons on a 24 x 24 grid (stroke icons, round caps) ----
ICONS = {
    "close": "M7 7 L17 17 M17 7 L7 17",
    "minimize": "M6 12 H18",
    "settings": ("M12 8.8 A3.2 3.2 0 1 0 12 15.2 A3.2 3.2 0 1 0 12 8.8 Z "
                 "M12 3 L13.6 5.3 L16.4 4.6 L16.9 7.4 L19.4 8.6 L18.3 11.2 L19.4 13.8 "
                 "L16.9 15 L16.4 17.8 L13.6 17.1 L12 19.4 L10.4 17.1 L7.6 17.8 L7.1 15 "
                 "L4.6 13.8 L5.7 11.2 L4.6 8.6 L7.1 7.4 L7.6 4.6 L10.4 5.3 Z"),
    "globe": ("M12 4 A8 8 0 1 0 12 20 A8 8 0 1 0 12 4 Z M4 12 H20 "
              "M12 4 C9 7 9 17 12 20 M12 4 C15 7 15 17 12 20"),
    "palette": ("M12 4 C7.6 4 4 7.4 4 11.6 C4 15.8 7.4 20 11.6 20 C13 20 13.4 19 12.8 18 "
                "C12.2 17 12.7 15.6 14.2 15.6 H16.5 C18.4 15.6 20 14.1 20 12 C20 7.6 16.4 4 12 4 Z "
                "M8.2 11.2 V11.3 M10.8 7.9 V8 M14.9 8.4 V8.5"),
    "plus": "M12 5 V19 M5 12 H19",
    "import": "M12 4 V14 M8 10 L12 14 L16 10 M5 16 V19 H19 V16",
    "export": "M12 15 V4 M8 8 L12 4 L16 8 M5 16 V19 H19 V16",
    "more": "",
    "trash": "M5 7 H19 M10 7 V5 H14 V7 M7 7 L8 19 H16 L17 7 M10.5 10.5 V15.5 M13.5 10.5 V15.5",
    "home": "M4 11 L12 4.5 L20 11 M6.5 9.5 V19 H10 V14 H14 V19 H17.5 V9.5",
    "light": ("M9 17 H15 M10 20 H14 M12 3.5 C8.7 3.5 6.5 6 6.5 9 C6.5 11.3 7.9 12.6 9 13.8 "
              "V15 H15 V13.8 C16.1 12.6 17.5 11.3 17.5 9 C17.5 6 15.3 3.5 12 3.5 Z"),
    "effect": ("M12 3.5 L14 9 L19.5 9.5 L15.2 13 L16.6 18.6 L12 15.6 L7.4 18.6 L8.8 13 "
               "L4.5 9.5 L10 9 Z"),
    "keys": ("M3.5 7 H20.5 V17 H3.5 Z M6.5 10 H7.5 M9.5 10 H10.5 M12.5 10 H13.5 M15.5 10 H16.5 "
             "M8 14 H16"),
    "macro": "M6 4.5 V19.5 M6 5 H17 L14.5 8.5 L17 12 H6 M10 16 H19 M10 19.5 H16",
    "perf": ("M4 16 A8 8 0 1 1 20 16 M12 16 L16 10 M12 16 A1 1 0 1 0 12.01 16 "
             "M7 11 L8 11.6 M12 7.5 V8.5 M17 11 L16 11.6"),
    "config": "M5 7 H19 M5 12 H19 M5 17 H19 M9 5 V9 M15 10 V14 M8 15 V19",
    # a small screen showing a picture (hills under a sun), on its foot
    "lcd": ("M3.5 5 H20.5 V16.5 H3.5 Z M3.5 14 L8.5 9.5 L12 12.5 L14.5 10.5 L20.5 15 "
            "M16.2 7.6 A1.2 1.2 0 1 0 16.2 10 A1.2 1.2 0 1 0 16.2 7.6 Z M12 16.5 V19.5 M8.5 19.5 H15.5"),
    "usb": ("M12 3.5 V16 M12 3.5 L10.3 6 H13.7 Z M12 12.5 L16.5 10 V8 M12 14.5 L7.5 12 V10 "
            "M12 16 A1.8 1.8 0 1 0 12 19.6 A1.8 1.8 0 1 0 12 16 Z"),
    "file": "M7 3.5 H14 L18 7.5 V20.5 H7 Z M14 3.5 V7.5 H18 M9.5 12 H15.5 M9.5 15.5 H15.5",
    "profile": ("M12 4 A3.6 3.6 0 1 0 12 11.2 A3.6 3.6 0 1 0 12 4 Z "
                "M5 20 C5.5 16 8.4 13.8 12 13.8 C15.6 13.8 18.5 16 19 20"),
    "return": "M10 6 L4 12 L10 18 M4 12 H20",
    "arrow_up": "M12 18 V6 M6.5 11.5 L12 6 L17.5 11.5",
    "arrow_down": "M12 6 V18 M6.5 12.5 L12 18 L17.5 12.5",
    "arrow_left": "M18 12 H6 M11.5 6.5 L6 12 L11.5 17.5",
    "arrow_right": "M6 12 H18 M12.5 6.5 L18 12 L12.5 17.5",
    "chev_up": "M7 14.5 L12 9.5 L17 14.5",
    "chev_down": "M7 9.5 L12 14.5 L17 9.5",
    "check": "M6 12.5 L10.2 16.5 L18 8",
    "info": "M12 10.8 V16.8 M12 7.4 V7.5",
    "pen": "M5 19 L6 15 L15.5 5.5 L18.5 8.5 L9 18 Z M13.5 7.5 L16.5 10.5",
    "eraser": "M4.5 15.5 L13 7 L18.5 12.5 L11 20 H8 Z M8.5 11 L14 16.5 M11 20 H19.5",
    "copy": "M8.5 8.5 H19 V19 H8.5 Z M15.5 8.5 V5 H5 V15.5 H8.5",
    "undo": "M8.5 5.5 L5 9 L8.5 12.5 M5 9 H14 C17 9 19.5 11.4 19.5 14.5 C19.5 17.6 17 20 14 20 H9",
    "text": "M5 6.5 V5 H19 V6.5 M12 5 V19 M9.5 19 H14.5",
    "picture": ("M4 5.5 H20 V18.5 H4 Z M4 15.5 L9 11 L13 14.5 L15.5 12.5 L20 16.5 "
                "M15.5 8 A1.3 1.3 0 1 0 15.5 10.6 A1.3 1.3 0 1 0 15.5 8 Z"),
    "pc": "M3.5 5 H20.5 V16 H3.5 Z M9 20 H15 M12 16 V20",
    "calc": ("M6 3.5 H18 V20.5 H6 Z M8.5 6.5 H15.5 V9.5 H8.5 Z M9 13 H9.1 M12 13 H12.1 "
             "M15 13 H15.1 M9 17 H9.1 M12 17 H12.1 M15 17 H15.1"),
    "email": "M3.5 6 H20.5 V18 H3.5 Z M4 6.5 L12 13 L20 6.5",
    "multimedia": ("M9 17.5 V6 L19 4 V15.5 M9 17.5 A2.5 2.2 0 1 1 4 17.5 A2.5 2.2 0 1 1 9 17.5 Z "
                   "M19 15.5 A2.5 2.2 0 1 1 14 15.5 A2.5 2.2 0 1 1 19 15.5 Z"),
    "playpause": "M4.5 5.5 L12 12 L4.5 18.5 Z M15 6 V18 M19 6 V18",
    "stop": "M6.5 6.5 H17.5 V17.5 H6.5 Z",
    "prev": "M6 5.5 V18.5 M18 5.5 L9 12 L18 18.5 Z",
    "next": "M18 5.5 V18.5 M6 5.5 L15 12 L6 18.5 Z",
    "vol": "M4 9.5 H7.5 L12 5.5 V18.5 L7.5 14.5 H4 Z",
    "vol_up": "M15.5 9.5 C16.6 10.6 16.6 13.4 15.5 14.5 M18 7 C20.4 9.4 20.4 14.6 18 17",
    "vol_down": "M15.5 9.5 C16.6 10.6 16.6 13.4 15.5 14.5",
    "vol_mute": "M15 9.5 L20 14.5 M20 9.5 L15 14.5",
    "refresh": "M19 12 A7 7 0 1 1 16.9 7 M19.5 4.5 V8.5 H15.5",
    "back": "M15 5.5 L8.5 12 L15 18.5",
    "forward": "M9 5.5 L15.5 12 L9 18.5",
    "star": ("M12 4 L14.3 9 L19.6 9.5 L15.6 13 L16.8 18.3 L12 15.5 L7.2 18.3 L8.4 13 "
             "L4.4 9.5 L9.7 9 Z"),
    "search": "M10.5 4.5 A6 6 0 1 0 10.5 16.5 A6 6 0 1 0 10.5 4.5 Z M15 15 L19.5 19.5",
    "keyboard_down": "M4 8 H20 V16 H4 Z M7 11 H8 M11 11 H13 M16 11 H17 M8 13.5 H16",
    "keyboard_up": "M4 8 H20 V16 H4 Z M8 12 H16",
    "mouse": "M8 9 A4 4 0 0 1 16 9 V15 A4 4 0 0 1 8 15 Z M12 5 V10",
    "clock": "M12 4 A8 8 0 1 0 12 20 A8 8 0 1 0 12 4 Z M12 7.5 V12 L15 14",
    "move": "M12 4 V20 M4 12 H20 M9.5 6.5 L12 4 L14.5 6.5 M9.5 17.5 L12 20 L14.5 17.5 "
            "M6.5 9.5 L4 12 L6.5 14.5 M17.5 9.5 L20 12 L17.5 14.5",
    "wheel": "M8 9 A4 4 0 0 1 16 9 V15 A4 4 0 0 1 8 15 Z M12 7 V10.5 M10.5 8.5 L12 7 L13.5 8.5",
    "plug": "M9 3.5 V8 M15 3.5 V8 M7 8 H17 V12 C17 14.8 14.8 17 12 17 C9.2 17 7 14.8 7 12 Z "
            "M12 17 V20.5",
}


def icon(name, color, size=24, sw=1.7, x=0, y=0):
    """A line icon from ICONS, scaled from the 24-pixel grid to size at (x, y)."""
    d = ICONS[name]
    s = size / 24
    return group(path(d, stroke=color, sw=sw / s), x, y, s)


def dots(color, size=24, x=0, y=0, r=1.6):
    s = size / 24
    return group(circle(6, 12, r, color) + circle(12, 12, r, color) + circle(18, 12, r, color),
                 x, y, s)


def ease(t):
    return 0.5 - 0.5 * math.cos(math.pi * t)
