"""The drawings of the skin theme. Each picture of theme1_images.txt has a drawing
function here, found by the file's name; strips are drawn one frame at a time."""
import math
import os
import subprocess

from skinlib import *  # noqa: F401,F403
import skinlib as L


class Tools:
    def __init__(self, rsvg, convert, work):
        self.rsvg = rsvg
        self.convert = convert
        self.work = work

    def svg_to_png(self, svg_text, key, png_path):
        svg_path = os.path.join(self.work, key.replace("/", "_").replace("\\", "_") + ".svg")
        L.render_svg(self.rsvg, svg_text, svg_path, png_path)

    def frames_to_gif(self, key, svgs, delays, out, colors=256):
        pngs = []
        for i, s in enumerate(svgs):
            p = os.path.join(self.work, key, f"{i:03d}.png")
            self.svg_to_png(s, f"{key}/{i:03d}", p)
            pngs.append(p)
        L.make_gif(self.convert, pngs, delays, out, colors)

    def icon(self, key, draw, sizes, out):
        pngs = []
        for s in sizes:
            p = os.path.join(self.work, key, f"{s}.png")
            self.svg_to_png(draw(s), f"{key}/{s}", p)
            pngs.append(p)
        L.make_ico(self.convert, pngs, out)


DRAW = {}


def draws(*names):
    def deco(fn):
        for n in names:
            DRAW[n] = fn
        return fn
    return deco


def make_image(tools, name, fw, fh, frames, out):
    base = name.split("skins/theme1/", 1)[-1]
    fn = DRAW.get(base)
    if fn is None:
        raise SystemExit(f"no drawing for {base}")
    result = fn(tools, base, fw, fh, frames, out)
    if isinstance(result, str):
        tools.svg_to_png(result, base, out)


# ---------------------------------------------------------------- state looks
# Frames of a four-state strip: 0 normal, 1 hover, 2 pressed, 3 disabled.
LIGHT_STATES = [
    dict(fill=SURFACE, line=LINE, ink=TEXT_2, top="#FFFFFF"),
    dict(fill="#F3F6FD", line="#9DB5F0", ink=TEXT_2, top="#FFFFFF"),
    dict(fill="#E2EAFB", line=ACCENT, ink=ACCENT_DARK, top="#E2EAFB"),
    dict(fill=DISABLED_FILL, line=DISABLED_LINE, ink=DISABLED_INK, top=DISABLED_FILL),
]
ACCENT_STATES = [
    dict(fill=ACCENT, line=ACCENT_DARK, ink="#FFFFFF"),
    dict(fill=ACCENT_HOVER, line=ACCENT, ink="#FFFFFF"),
    dict(fill=ACCENT_DARK, line="#2A4FA8", ink="#FFFFFF"),
    dict(fill="#B9C9F0", line="#AFC0EA", ink="#F4F7FD"),
]


def soft_button(fw, fh, st, r=8, shadow=True, fid="s"):
    """A light button face with a 1-pixel edge and a soft shadow below it."""
    body = ""
    defs = ""
    if shadow and st is not LIGHT_STATES[3]:
        defs = shadow_filter(fid, dy=1, blur=1, opacity=0.18)
        body += rect(1, 1, fw - 2, fh - 3, r, st["fill"], extra=f'filter="url(#{fid})"')
    body += rect(1, 1, fw - 2, fh - 3, r, st["fill"], st["line"])
    return body, defs


@draws("img_button.png")
def _button(tools, name, fw, fh, frames, out):
    def frame(i):
        st = LIGHT_STATES[i]
        body, defs = soft_button(fw, fh, st, r=8, fid=f"b{i}")
        if i == 0:
            body += rect(2, 2, fw - 4, (fh - 4) // 2, 7, "#FFFFFF", opacity=0.6)
        return body, defs
    return strip(fw, fh, frames, frame)


@draws("img_button2.png")
def _button2(tools, name, fw, fh, frames, out):
    looks = [
        dict(fill=SURFACE_2, line=LINE),
        dict(fill="#EAF0FD", line="#9DB5F0"),
        dict(fill="#DCE6FB", line=ACCENT),
        dict(fill=DISABLED_FILL, line=DISABLED_LINE),
    ]

    def frame(i):
        lk = looks[i]
        return rect(0, 0, fw, fh, fh / 2, lk["fill"], lk["line"])
    return strip(fw, fh, frames, frame)


def header_button(fw, fh, i, glyph, danger=False):
    """Window buttons on the dark title bar: a glyph, and a round plate under the
    pointer."""
    plate = ["none", "#FFFFFF", ACCENT, "none"][i]
    ink = [CHROME_INK, "#FFFFFF", "#FFFFFF", "#596173"][i]
    body = ""
    if i == 1:
        body += rect(0, 0, fw, fh, 6, DANGER if danger else "#FFFFFF",
                     opacity=None if danger else 0.12)
    elif i == 2:
        body += rect(0, 0, fw, fh, 6, "#C43A3F" if danger else plate)
    body += icon(glyph, ink, size=20, x=(fw - 20) / 2, y=(fh - 20) / 2, sw=1.8)
    return body


@draws("main_sysbtn_close.png")
def _sys_close(tools, name, fw, fh, frames, out):
    return strip(fw, fh, frames, lambda i: header_button(fw, fh, i, "close", danger=True))


@draws("main_sysbtn_min.png")
def _sys_min(tools, name, fw, fh, frames, out):
    return strip(fw, fh, frames, lambda i: header_button(fw, fh, i, "minimize"))


@draws("main_sysbtn_setting.png")
def _sys_setting(tools, name, fw, fh, frames, out):
    return strip(fw, fh, frames, lambda i: header_button(fw, fh, i, "settings"))


@draws("main_sysbtn_website.png")
def _sys_web(tools, name, fw, fh, frames, out):
    return strip(fw, fh, frames, lambda i: header_button(fw, fh, i, "globe"))


@draws("main_sysbtn_skins.png")
def _sys_skins(tools, name, fw, fh, frames, out):
    return strip(fw, fh, frames, lambda i: header_button(fw, fh, i, "palette"))


# ------------------------------------------------------------ check and radio
def box_frame(fw, fh, i, radio):
    """Eight frames: 0-3 unchecked normal, hover, pressed, disabled; 4-7 the same
    checked."""
    checked = i >= 4
    s = i % 4
    r = fw / 2 if radio else 4
    if not checked:
        fill = [SURFACE, SURFACE, "#E2EAFB", DISABLED_FILL][s]
        line = ["#B4BDCB", ACCENT_HOVER, ACCENT, DISABLED_LINE][s]
        return rect(0, 0, fw, fh, r, fill, line)
    fill = [ACCENT, ACCENT_HOVER, ACCENT_DARK, "#B9C9F0"][s]
    body = rect(0, 0, fw, fh, r, fill)
    if radio:
        body += circle(fw / 2, fh / 2, fw * 0.2, "#FFFFFF")
    else:
        body += icon("check", "#FFFFFF", size=fw, sw=2.4)
    return body


@draws("btn_checkbox.png")
def _checkbox(tools, name, fw, fh, frames, out):
    return strip(fw, fh, frames, lambda i: box_frame(fw, fh, i, False))


@draws("btn_radiobox.png")
def _radiobox(tools, name, fw, fh, frames, out):
    return strip(fw, fh, frames, lambda i: box_frame(fw, fh, i, True))


def switch_frame(fw, fh, i, on, fid):
    s = i
    if on:
        track = [ACCENT, ACCENT_HOVER, ACCENT_DARK, "#B9C9F0"][s]
        line = None
    else:
        track = ["#C9D0DC", "#BAC3D2", "#A9B4C6", DISABLED_FILL][s]
        line = None if s != 3 else DISABLED_LINE
    body = rect(0, 0, fw, fh, fh / 2, track, line)
    d = fh - 6
    x = fw - 3 - d if on else 3
    knob = "#FFFFFF" if s != 3 else "#F7F8FA"
    defs = shadow_filter(fid, dy=1, blur=0.8, opacity=0.3)
    body += circle(x + d / 2, fh / 2, d / 2, knob, extra=f'filter="url(#{fid})"')
    return body, defs


@draws("img_switch_on.png")
def _switch_on(tools, name, fw, fh, frames, out):
    return strip(fw, fh, frames, lambda i: switch_frame(fw, fh, i, True, f"on{i}"))


@draws("img_switch_off.png")
def _switch_off(tools, name, fw, fh, frames, out):
    return strip(fw, fh, frames, lambda i: switch_frame(fw, fh, i, False, f"off{i}"))


# ------------------------------------------------------------------ the brand
def brand_mark(size, x=0, y=0):
    """The Kestrova mark: a rounded key cap with a stylised K in the accent
    gradient."""
    s = size / 64
    body = (
        rect(2, 2, 60, 60, 16, "url(#brandg)")
        + rect(2.5, 2.5, 59, 59, 15.5, "none", "#FFFFFF", 1, opacity=0.25)
        + path("M22 16 V48 M44 16 L27 32 L44 48", stroke="#FFFFFF", sw=7)
    )
    defs = linear("brandg", [(0, "#6C95F2"), (1, "#3358C4")], 0, 0, 1, 1)
    return group(body, x, y, s), defs


def make_program_icon(tools, out):
    def draw(s):
        body, defs = brand_mark(s)
        return svg_doc(s, s, body, defs)
    tools.icon("program_icon", draw, [16, 24, 32, 48, 64, 128, 256], out)


# ------------------------------------------------------------ device pictures
def make_device(tools, name, kind, state, out):
    tools.svg_to_png(device_picture(kind, state), "device_" + name, out)


KEYBOARD_ROWS = {
    # kind: list of rows, each a list of key widths in key units (negative = gap)
    "full": [
        [1, -1, 1, 1, 1, 1, -0.5, 1, 1, 1, 1, -0.5, 1, 1, 1, 1, -0.25, 1, 1, 1, -0.25, 1, 1, 1, 1],
        [1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, -0.25, 1, 1, 1, -0.25, 1, 1, 1, 1],
        [1.5, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1.5, -0.25, 1, 1, 1, -0.25, 1, 1, 1, 1],
        [1.75, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2.25, -3.5, 1, 1, 1, 1],
        [2.25, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2.75, -1.25, 1, -1.25, 1, 1, 1, 1],
        [1.25, 1.25, 1.25, 6.25, 1.25, 1.25, 1.25, 1.25, -0.25, 1, 1, 1, -0.25, 2, 1, 1],
    ],
    "tkl": [
        [1, -1, 1, 1, 1, 1, -0.5, 1, 1, 1, 1, -0.5, 1, 1, 1, 1, -0.25, 1, 1, 1],
        [1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, -0.25, 1, 1, 1],
        [1.5, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1.5, -0.25, 1, 1, 1],
        [1.75, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2.25],
        [2.25, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2.75, -1.25, 1],
        [1.25, 1.25, 1.25, 6.25, 1.25, 1.25, 1.25, 1.25, -0.25, 1, 1, 1],
    ],
    "75": [
        [1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1],
        [1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 1],
        [1.5, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1.5, 1],
        [1.75, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2.25, 1],
        [2.25, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1.75, 1, 1],
        [1.25, 1.25, 1.25, 6.25, 1, 1, 1, 1, 1, 1],
    ],
}


def keyboard_art(kind, online, width, extras=""):
    """A three-quarter-free top view of a keyboard; extras: 'lcd', 'matrix',
    'lightbar', 'wireless'."""
    layout = "full" if kind.startswith("full") else ("tkl" if kind.startswith("tkl") else "75")
    rows = KEYBOARD_ROWS[layout]
    units = max(sum(abs(k) for k in r) for r in rows)
    u = (width - 60) / units
    top_extra = 0
    if "lcd" in extras or "matrix" in extras:
        top_extra = u * 1.3
    kh = len(rows) * u
    w = units * u + 40
    h = kh + 40 + top_extra
    x0, y0 = 20, 20 + top_extra
    sat = 1.0 if online else 0.0
    body = ""
    # case with a soft shadow
    body += rect(4, 10, w - 8, h - 6, 18, "#000000", opacity=0.35, extra='filter="url(#kbblur)"')
    body += rect(0, 0, w, h, 16, "url(#kbcase)")
    body += rect(0.5, 0.5, w - 1, h - 1, 15.5, "none", "#3B4356", 1)
    body += rect(x0 - 6, y0 - 6, units * u + 12, kh + 12, 8, "#0E1117")
    n_keys = 0
    for ri, r in enumerate(rows):
        x = x0
        for k in r:
            if k < 0:
                x += -k * u
                continue
            hue = (x / w * 300 + ri * 14) % 360
            glow = L.hsl_to_hex(hue, 0.85 * sat, 0.58 if online else 0.32)
            kx, ky, kw = x + 1.5, y0 + ri * u + 1.5, k * u - 3
            body += rect(kx, ky, kw, u - 3, 3.5, glow, opacity=0.9 if online else 0.5)
            body += rect(kx + 1.5, ky + 1, kw - 3, u - 6.5, 3, "url(#cap)")
            n_keys += 1
            x += k * u
    if "lcd" in extras:
        lw = u * 4.2
        lx = w - 20 - lw
        body += rect(lx, 14, lw, u * 1.1, 4, "#07090D", "#3B4356")
        if online:
            body += rect(lx + 3, 17, lw - 6, u * 1.1 - 6, 2, "url(#lcdg)")
            body += text(lx + lw / 2, 14 + u * 0.72, "KESTROVA", u * 0.36, "#FFFFFF", 700)
    if "matrix" in extras:
        mw = u * 4.2
        mx = w - 20 - mw
        body += rect(mx, 14, mw, u * 1.1, 4, "#07090D", "#3B4356")
        cell = (u * 1.1 - 6) / 7
        for cy in range(7):
            for cx in range(7 * 3):
                if cx * cell > mw - 8:
                    break
                on = online and ((cx + cy) % 5 in (0, 1) or cy == 3)
                col = L.hsl_to_hex(200 + cx * 6, 0.9, 0.6) if on else "#1A1F29"
                body += circle(mx + 4 + cx * cell + cell / 2, 17 + cy * cell + cell / 2,
                               cell * 0.36, col)
    if "lightbar" in extras:
        for side in (0, 1):
            grad = "url(#barg)" if online else "#2A2F3A"
            body += rect(6 if side == 0 else w - 10, 30, 4, h - 60, 2, grad)
    if "wireless" in extras:
        cx = 34
        col = ACCENT if online else "#4A5163"
        for rr in (4, 8, 12):
            body += path(f"M{cx - rr} {8 + 12 - rr * 0.2} A{rr} {rr} 0 0 1 {cx + rr} "
                         f"{8 + 12 - rr * 0.2}", stroke=col, sw=1.6)
    defs = (linear("kbcase", [(0, "#2C3242"), (1, "#161A23")])
            + linear("cap", [(0, "#343B4C"), (1, "#222835")])
            + linear("lcdg", [(0, "#3B5FD0"), (0.5, "#8F4BD9"), (1, "#E0508F")], 0, 0, 1, 1)
            + linear("barg", [(0, "#E0508F"), (0.5, "#4977E5"), (1, "#2FB6A5")])
            + '<filter id="kbblur" x="-10%" y="-10%" width="120%" height="130%">'
              '<feGaussianBlur stdDeviation="8"/></filter>')
    return body, defs, w, h


def device_picture(kind, state):
    # kind: layout[+extra...], e.g. "tkl", "75+wireless", "full+lightbar", "75+lcd"
    parts = kind.split("+")
    online = state == "on"
    width = 640 if parts[0] == "full" else (560 if parts[0] == "tkl" else 500)
    body, defs, w, h = keyboard_art(parts[0], online, width, parts[1:])
    W, H = int(w + 24), int(h + 40)
    if not online:
        body = f'<g opacity="0.55">{body}</g>'
    return svg_doc(W, H, group(body, 12, 12), defs)


# ---------------------------------------------------------- LCD animations
def make_lcd_animation(tools, model, n, w, h, out):
    frames = 24
    svgs = []
    for f in range(frames):
        t = f / frames
        body = rect(0, 0, w, h, 0, "#05070C")
        # drifting colour bands
        for b in range(5):
            hue = (t * 360 + b * 50 + n * 90) % 360
            cy = h * (0.2 + 0.15 * b) + math.sin(2 * math.pi * (t + b / 5)) * h * 0.08
            body += rect(-10, cy - h * 0.09, w + 20, h * 0.18, h * 0.09,
                         L.hsl_to_hex(hue, 0.9, 0.55), opacity=0.55)
        body += rect(0, 0, w, h, 0, "url(#vig)")
        label = ["KESTROVA", "HELLO", "PLAY", "FOCUS", "RGB"][n % 5]
        body += text(w / 2, h / 2 + h * 0.09, label, h * 0.24, "#FFFFFF", 700,
                     extra='letter-spacing="2"')
        defs = radial("vig", [(0.55, "#000000", 0), (1, "#000000", 0.7)])
        svgs.append(svg_doc(w, h, body, defs))
    tools.frames_to_gif(f"lcd_{model}_{n}", svgs, [8] * frames, out)
