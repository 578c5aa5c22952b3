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

    def frames_to_gif(self, key, w, h, frames, delay, out, palette=None):
        """frames: one SVG body per frame (w x h each). They are drawn in one tall
        picture, then cut apart into the animation's frames."""
        parts = "".join(f'<svg x="0" y="{i * h}" width="{w}" height="{h}" '
                        f'viewBox="0 0 {w} {h}" overflow="hidden">{body}</svg>'
                        for i, body in enumerate(frames))
        tall = os.path.join(self.work, key + "_frames.png")
        self.svg_to_png(svg_doc(w, h * len(frames), parts), key + "_frames", tall)
        L.make_gif(self.convert, tall, w, h, delay, out, palette)

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
        # nine-slice with 8-pixel corners: edge and rounding stay inside them.
        # Frame 2 is also the look of a checked modifier toggle, which writes its
        # caption in white: the accent plate.
        st = dict(fill=ACCENT, line=ACCENT_DARK) if i == 2 else LIGHT_STATES[i]
        body, defs = soft_button(fw, fh, st, r=7, fid=f"b{i}")
        return body, defs
    return strip(fw, fh, frames, frame)


@draws("img_button2.png")
def _button2(tools, name, fw, fh, frames, out):
    # The face of img_button.png (an outlined white plate), without its shadow
    # so that the frame fills the cell: a pale fill read as a disabled button.
    # Pressed is the accent plate, as there.
    def frame(i):
        st = dict(fill=ACCENT, line=ACCENT_DARK) if i == 2 else LIGHT_STATES[i]
        line = "#B4BDCB" if i == 0 else st["line"]
        return rect(0, 0, fw, fh, 8, st["fill"], line)
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
        track = ["#8E99AD", "#7F8BA1", "#707D95", DISABLED_FILL][s]
        line = None if s != 3 else DISABLED_LINE
    body = rect(0, 0, fw, fh, fh / 2, track, line)
    d = fh - 4
    x = fw - 2 - d if on else 2
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
    if "lcd" in extras:
        top_extra = u * 1.3
    if "matrix" in extras:
        top_extra = u * 1.4
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
        # the 7 x 7 matrix screen, showing a heart while the keyboard is on
        side = u * 1.1
        mx = w - 20 - side
        body += rect(mx - 3, 11, side + 6, side + 6, 4, "#07090D", "#3B4356")
        heart = ["0110110", "1111111", "1111111", "1111111", "0111110", "0011100", "0001000"]
        cell = side / 7
        for cy in range(7):
            for cx in range(7):
                on = online and heart[cy][cx] == "1"
                body += circle(mx + cx * cell + cell / 2, 14 + cy * cell + cell / 2,
                               cell * 0.38, "#F0508F" if on else "#1A1F29")
    if "lightbar" in extras:
        grad = "url(#barg)" if online else "#2A2F3A"
        body += rect(24, h - 7, w - 48, 3, 1.5, grad)
    if "wireless" in extras:
        cx = 34
        col = ACCENT if online else "#4A5163"
        for rr in (4, 8, 12):
            body += path(f"M{cx - rr} {8 + 12 - rr * 0.2} A{rr} {rr} 0 0 1 {cx + rr} "
                         f"{8 + 12 - rr * 0.2}", stroke=col, sw=1.6)
    defs = (linear("kbcase", [(0, "#2C3242"), (1, "#161A23")])
            + linear("cap", [(0, "#343B4C"), (1, "#222835")])
            + linear("lcdg", [(0, "#3B5FD0"), (0.5, "#8F4BD9"), (1, "#E0508F")], 0, 0, 1, 1)
            + linear("barg", [(0, "#2FB6A5"), (0.5, "#4977E5"), (1, "#E0508F")], 0, 0, 1, 0)
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
        svgs.append(f"<defs>{defs}</defs>{body}")
    tools.frames_to_gif(f"lcd_{model}_{n}", w, h, svgs, 8, out)


# ------------------------------------------------------------- icon buttons
def tile_button(fw, fh, i, glyph, r=8, gsize=20, fid="t"):
    """A square tool button that carries its own light tile, so it reads on any
    background."""
    st = LIGHT_STATES[i]
    ink = [MUTED, ACCENT, ACCENT_DARK, DISABLED_INK][i]
    body, defs = soft_button(fw, fh, st, r=r, fid=fid)
    body += icon(glyph, ink, size=gsize, x=(fw - gsize) / 2, y=(fh - 1 - gsize) / 2)
    return body, defs


def ghost_button(fw, fh, i, glyph, hover_ink=TEXT_2, base_ink=MUTED, use_dots=False):
    """An icon that shows a round plate under the pointer (rows, dialogs)."""
    ink = [base_ink, hover_ink, ACCENT, DISABLED_INK][i]
    body = ""
    if i == 1:
        body += rect(0, 0, fw, fh, fw / 2, "#2D3347", opacity=0.08)
    elif i == 2:
        body += rect(0, 0, fw, fh, fw / 2, ACCENT, opacity=0.16)
    g = fw - 6
    if use_dots:
        body += dots(ink, size=g, x=3, y=3, r=1.8)
    else:
        body += icon(glyph, ink, size=g, x=3, y=3, sw=1.8)
    return body


def simple_tiles(glyphs):
    for name, glyph in glyphs.items():
        def fn(tools, base, fw, fh, frames, out, glyph=glyph):
            return strip(fw, fh, frames,
                         lambda i: tile_button(fw, fh, i, glyph, gsize=min(20, fw - 12),
                                               fid=f"t{i}"))
        DRAW[name] = fn


simple_tiles({
    "img_btn_addprofile.png": "plus",
    "img_btn_inportprofile.png": "import",
    "img_return.png": "return",
    "img_recorditem_up.png": "arrow_up",
    "img_recorditem_down.png": "arrow_down",
    "imgbtn_lcd_add.png": "picture",
    "imgbtn_lcd_addtext.png": "text",
    "imgbtn_lcd_copy.png": "copy",
    "imgbtn_lcd_edit.png": "pen",
    "imgbtn_lcd_erase.png": "eraser",
    "imgbtn_lcd_del.png": "trash",
    "imgbtn_lcd_revoke.png": "undo",
})


@draws("btn_more.png")
def _more(tools, name, fw, fh, frames, out):
    return strip(fw, fh, frames, lambda i: ghost_button(fw, fh, i, None, use_dots=True))


def row_button(fw, fh, i, glyph, hot_ink):
    """Row buttons of the profile lists: 0 plain, 1 hot on a white plate (shown on
    hovered and chosen rows, over light and accent backgrounds alike)."""
    # Both frames stand on a white plate: the list draws the plain one on its
    # chosen (accent) row too, where a bare grey glyph would not be seen.
    body = circle(fw / 2, fh / 2, fw / 2 - 0.5, SURFACE)
    ink = MUTED
    if i == 1:
        ink = hot_ink
    if glyph is None:
        return body + dots(ink, size=fw - 2, x=1, y=1, r=1.7)
    return body + icon(glyph, ink, size=fw - 4, x=2, y=2, sw=1.8)


@draws("img_profile_more.png")
def _profile_more(tools, name, fw, fh, frames, out):
    return strip(fw, fh, frames, lambda i: row_button(fw, fh, i, None, ACCENT))


@draws("imglist_del.png")
def _list_del(tools, name, fw, fh, frames, out):
    return strip(fw, fh, frames, lambda i: row_button(fw, fh, i, "trash", DANGER))


@draws("img_sys_close.png")
def _dlg_close(tools, name, fw, fh, frames, out):
    return strip(fw, fh, frames, lambda i: ghost_button(fw, fh, i, "close", base_ink=MUTED))


@draws("img_info.png")
def _info(tools, name, fw, fh, frames, out):
    # The help button scales the whole picture over itself: one look, no states.
    c = fw / 2
    return strip(fw, fh, 1, lambda i: circle(c, c, c - 1.5, "none", MUTED, 1.5)
                 + icon("info", MUTED, size=fw, sw=2.0))


@draws("img_button_check.png", "img_button_nocheck.png")
def _mode_button(tools, name, fw, fh, frames, out):
    selected = name == "img_button_check.png"

    def frame(i):
        if selected and i != 3:
            fill = ["#E4ECFC", "#DAE5FC", "#CFDCFA"][i]
            return rect(0, 0, fw, fh, 8, fill, ACCENT)
        body, defs = soft_button(fw, fh, LIGHT_STATES[i], r=7, fid=f"m{i}")
        return body, defs
    return strip(fw, fh, frames, frame)


@draws("img_joinvip.png")
def _joinvip(tools, name, fw, fh, frames, out):
    def frame(i):
        grads = [("#4977E5", "#8A54E0"), ("#5A86EC", "#9A66E8"), ("#3A66D2", "#7444C8"),
                 ("#B7C0D0", "#C6CCD8")]
        a, b = grads[i]
        defs = linear(f"jv{i}", [(0, a), (1, b)], 0, 0, 1, 1)
        defs += shadow_filter(f"js{i}", dy=2, blur=2.5, opacity=0.25)
        body = rect(3, 2, fw - 6, fh - 7, 12, f"url(#jv{i})", extra=f'filter="url(#js{i})"')
        # light streaks
        body += path(f"M{fw - 90} 2 L{fw - 50} 2 L{fw - 100} {fh - 5} L{fw - 140} {fh - 5} Z",
                     fill="#FFFFFF", extra='opacity="0.10"')
        body += path(f"M{fw - 40} 2 L{fw - 28} 2 L{fw - 78} {fh - 5} L{fw - 90} {fh - 5} Z",
                     fill="#FFFFFF", extra='opacity="0.08"')
        body += circle(38, fh / 2 - 2, 20, "#FFFFFF", extra='opacity="0.18"')
        body += icon("star", "#FFFFFF", size=26, x=25, y=fh / 2 - 15, sw=1.8)
        body += text(70, fh / 2 + 4, "KESTROVA", 17, "#FFFFFF", 700, "start",
                     extra='letter-spacing="1.5"')
        body += text(172, fh / 2 + 4, "+", 22, "#FFD66B" if i != 3 else "#FFFFFF", 700, "start")
        body += rect(70, fh / 2 + 12, 92, 3, 1.5, "#FFFFFF", opacity=0.35)
        return body, defs
    return strip(fw, fh, frames, frame)


# ---------------------------------------------------------------- directions
@draws("img_direction_left.png", "img_direction_right.png", "img_direction_top.png",
       "img_direction_bottom.png")
def _direction(tools, name, fw, fh, frames, out):
    glyph = {"left": "arrow_left", "right": "arrow_right", "top": "arrow_up",
             "bottom": "arrow_down"}[name[len("img_direction_"):-4]]

    def frame(i):
        s = i % 4
        if i < 4:
            return tile_button(fw, fh, s, glyph, gsize=22, fid=f"d{i}")
        fill = [ACCENT, ACCENT_HOVER, ACCENT_DARK, "#B9C9F0"][s]
        defs = shadow_filter(f"d{i}", dy=1, blur=1.2, opacity=0.3, color=ACCENT_DARK)
        body = rect(1, 1, fw - 2, fh - 3, 8, fill, extra=f'filter="url(#d{i})"')
        body += icon(glyph, "#FFFFFF", size=22, x=(fw - 22) / 2, y=(fh - 23) / 2, sw=2)
        return body, defs
    return strip(fw, fh, frames, frame)


# -------------------------------------------------------------------- fields
@draws("img_edit.png")
def _edit(tools, name, fw, fh, frames, out):
    def frame(i):
        line = [LINE, "#9DB5F0", ACCENT, DISABLED_LINE][i]
        body = ""
        # drawn nine-slice with 4-pixel corners: the rounding stays inside them
        if i == 2:
            body += rect(0, 0, fw, fh, 4, "none", ACCENT, 1, opacity=0.35)
            body += rect(1, 1, fw - 2, fh - 2, 3, "none", ACCENT)
        else:
            body += rect(0, 0, fw, fh, 4, "none", line)
        return body
    return strip(fw, fh, frames, frame)


@draws("img_combobox.png")
def _combo(tools, name, fw, fh, frames, out):
    def frame(i):
        st = LIGHT_STATES[i]
        body = rect(0, 0, fw, fh, 5, st["fill"], st["line"])
        ink = [MUTED, ACCENT, ACCENT, DISABLED_INK][i]
        body += rect(fw - 28, 7, 1, fh - 14, 0, LINE_SOFT if i != 2 else "#C5D4F6")
        glyph = "chev_up" if i == 2 else "chev_down"
        body += icon(glyph, ink, size=16, x=fw - 22, y=(fh - 16) / 2, sw=2)
        return body
    return strip(fw, fh, frames, frame)


def spin_frame(fw, fh, i, up):
    st = LIGHT_STATES[i]
    ink = [MUTED, ACCENT, ACCENT_DARK, DISABLED_INK][i]
    r = 4
    if up:
        d = f"M0.5 {fh} V{r + 0.5} Q0.5 0.5 {r + 0.5} 0.5 H{fw - r - 0.5} Q{fw - 0.5} 0.5 {fw - 0.5} {r + 0.5} V{fh}"
    else:
        d = f"M0.5 0 V{fh - r - 0.5} Q0.5 {fh - 0.5} {r + 0.5} {fh - 0.5} H{fw - r - 0.5} Q{fw - 0.5} {fh - 0.5} {fw - 0.5} {fh - r - 0.5} V0"
    body = path(d + " Z", fill=st["fill"])
    body += f'<path d="{d}" fill="none" stroke="{st["line"]}" stroke-width="1"/>'
    body += icon("chev_up" if up else "chev_down", ink, size=14, x=(fw - 14) / 2,
                 y=(fh - 14) / 2, sw=2)
    return body


@draws("img_spin_up.png")
def _spin_up(tools, name, fw, fh, frames, out):
    return strip(fw, fh, frames, lambda i: spin_frame(fw, fh, i, True))


@draws("img_spin_down.png")
def _spin_down(tools, name, fw, fh, frames, out):
    return strip(fw, fh, frames, lambda i: spin_frame(fw, fh, i, False))


@draws("img_scroll_v.png", "img_scroll_h.png")
def _scroll(tools, name, fw, fh, frames, out):
    r = min(fw, fh) / 2
    return strip(fw, fh, frames, lambda i: rect(1 if fw < fh else 0, 0 if fw < fh else 1,
                                                fw - (2 if fw < fh else 0),
                                                fh - (0 if fw < fh else 2), r - 1,
                                                "#9AA4B5", opacity=0.85))


# ------------------------------------------------------- tabs, lists, menus
@draws("img_tab_item.png")
def _tab_item(tools, name, fw, fh, frames, out):
    """Tab and profile rows: 0 and 3 nothing; 1 the raised card of a hovered or
    chosen tab (and a hovered profile row); 2 the accent plate of the chosen
    profile row, which carries white text. Drawn nine-slice with 10-pixel
    corners."""
    def frame(i):
        if i == 1:
            defs = shadow_filter("tabsel", dy=1, blur=1.5, opacity=0.16)
            body = rect(3, 3, fw - 6, fh - 7, 6, SURFACE, extra='filter="url(#tabsel)"')
            body += rect(3, 3, fw - 6, fh - 7, 6, "none", "#E3E8F1")
            return body, defs
        if i == 2:
            # As wide as the row: the separators of the list run edge to edge.
            defs = shadow_filter("tabacc", dy=1, blur=1.5, opacity=0.3, color=ACCENT_DARK)
            defs += linear("tabaccg", [(0, "#5583EA"), (1, ACCENT)])
            body = rect(0, 3, fw, fh - 7, 6, "url(#tabaccg)", extra='filter="url(#tabacc)"')
            return body, defs
        return ""
    return strip(fw, fh, frames, frame)


@draws("img_item.png")
def _item(tools, name, fw, fh, frames, out):
    def frame(i):
        if i == 2:
            body = rect(0, 0, fw, fh, 8, SURFACE, ACCENT)
            body += rect(fw / 2 - 14, fh - 4, 28, 2, 1, ACCENT)
            return body
        fill = [SURFACE_3, "#E1E7F2", SURFACE_3, DISABLED_FILL][i]
        line = [SURFACE_3, "#C9D5EC", SURFACE_3, DISABLED_FILL][i]
        return rect(0, 0, fw, fh, 8, fill, line)
    return strip(fw, fh, frames, frame)


@draws("img_list_bkg.png")
def _list_bkg(tools, name, fw, fh, frames, out):
    def frame(i):
        # Frame 2 carries white text (the hovered or chosen macro).
        fill = ["none", "#E6EDFC", ACCENT_DARK, DISABLED_FILL][i]
        body = rect(0, 0, fw, fh - 1, 0, fill) if fill != "none" else ""
        body += rect(0, fh - 1, fw, 1, 0, LINE_SOFT)
        return body
    return strip(fw, fh, frames, frame)


@draws("img_menu.png")
def _menu(tools, name, fw, fh, frames, out):
    return strip(fw, fh, 1, lambda i: rect(0, 0, fw, fh, 4, SURFACE, "#D9DEE7"))


@draws("res/menu_record.png")
def _record_menu(tools, name, fw, fh, frames, out):
    # The macro page's event menu: the menu card with an accent bar on its
    # left edge, so it reads as the menu of the event beside it.
    def frame(i):
        body = rect(0, 0, fw, fh, 4, SURFACE, "#D9DEE7")
        body += rect(1, 4, 3, fh - 8, 1.5, ACCENT)
        return body
    return strip(fw, fh, 1, frame)


@draws("lcdlist_item_normal.png", "lcdlist_item_hover.png", "imageview_item_normal.png",
       "imageview_item_hover.png")
def _view_item(tools, name, fw, fh, frames, out):
    hover = "hover" in name
    fill = "#EEF3FD" if hover else SURFACE_2
    line = "#9DB5F0" if hover else LINE_SOFT
    return strip(fw, fh, 1, lambda i: rect(0, 0, fw, fh, 8, fill, line))


def tab_icons(glyphs):
    for name, glyph in glyphs.items():
        def fn(tools, base, fw, fh, frames, out, glyph=glyph):
            # normal, hovered, chosen, (unused): the colours of the tab captions
            # The tabs stand on the dark side bar; hovered and chosen ones on
            # a white card.
            inks = [CHROME_INK, ACCENT, ACCENT, CHROME_INK]
            return strip(fw, fh, frames, lambda i: icon(glyph, inks[i], size=fw, sw=1.8))
        DRAW[name] = fn


tab_icons({
    "icon/tab_home.png": "home",
    "icon/tab_light.png": "light",
    "icon/tab_nimbrel.png": "effect",
    "icon/tab_customkey.png": "keys",
    "icon/tab_macro.png": "macro",
    "icon/tab_perf.png": "perf",
    "icon/tab_config.png": "config",
    "icon/tab_lcd.png": "lcd",
})


def plain_icons(glyphs, ink=TEXT_2, sw=1.7):
    for name, glyph in glyphs.items():
        def fn(tools, base, fw, fh, frames, out, glyph=glyph):
            if isinstance(glyph, tuple):
                return strip(fw, fh, 1, lambda i: "".join(icon(g, ink, size=fw, sw=sw)
                                                          for g in glyph))
            return strip(fw, fh, 1, lambda i: icon(glyph, ink, size=fw, sw=sw))
        DRAW[name] = fn


plain_icons({
    "icon/icon_pc.png": "pc",
    "icon/icon_cal.png": "calc",
    "icon/icon_email.png": "email",
    "icon/icon_multimedia.png": "multimedia",
    "icon/icon_playpause.png": "playpause",
    "icon/icon_stop.png": "stop",
    "icon/icon_pre.png": "prev",
    "icon/icon_next.png": "next",
    "icon/icon_vol_up.png": ("vol", "vol_up"),
    "icon/icon_vol_down.png": ("vol", "vol_down"),
    "icon/icon_vol_mute.png": ("vol", "vol_mute"),
    "icon/icon_home.png": "home",
    "icon/icon_web_refresh.png": "refresh",
    "icon/icon_web_stop.png": "close",
    "icon/icon_web_backward.png": "back",
    "icon/icon_web_foreward.png": "forward",
    "icon/icon_favorites.png": "star",
    "icon/icon_web_search.png": "search",
    "icon/usb_mode.png": "plug",
    "icon/icon_profile.png": "profile",
})
plain_icons({"icon/icon_file.png": "file"}, ink=ACCENT_DARK)
plain_icons({"icon/icon_add.png": "plus"}, ink=SLATE, sw=2.2)


@draws("icon/icon_rec.png")
def _rec(tools, name, fw, fh, frames, out):
    return strip(fw, fh, 1, lambda i: circle(fw / 2, fh / 2, fw / 2 - 1.5, DANGER,
                                             "#FFFFFF", 1.5))


@draws("icon/icon_lcd_add.png")
def _lcd_add(tools, name, fw, fh, frames, out):
    return strip(fw, fh, 1, lambda i: rect(1, 1, fw - 2, fh - 2, 8, SURFACE_2, FAINT, 1,
                                           extra='stroke-dasharray="4 3"')
                 + icon("plus", ACCENT, size=24, x=(fw - 24) / 2, y=(fh - 24) / 2, sw=2.2))


@draws("icon/icon_list.png")
def _event_types(tools, name, fw, fh, frames, out):
    # pairs of (plain, selected) as the macro event list picks them: function
    # records (types 8-11), keys and pauses, mouse buttons and moves, a spare
    glyphs = ["wheel", "wheel", "keyboard_down", "keyboard_down", "mouse", "mouse", "clock",
              "clock"]

    def frame(i):
        ink = ACCENT if i % 2 else MUTED
        return icon(glyphs[i], ink, size=fw, sw=1.7)
    return strip(fw, fh, frames, frame)


@draws("icon/icon_devicestatus.png")
def _device_status(tools, name, fw, fh, frames, out):
    def battery(level, color, charging=False):
        body = rect(2.5, 7.5, 17, 10, 2.5, "none", TEXT_2, 1.4, extra="")
        body += rect(20, 10.5, 2, 4, 1, TEXT_2)
        if charging:
            body += path("M11.8 8.6 L8.4 13 H11 L10 16.4 L13.8 11.8 H11.2 Z", fill=OK)
        else:
            w = 13 * level
            body += rect(4.5, 9.5, w, 6, 1.2, color)
        return body

    def frame(i):
        if i == 0:
            return battery(0.25, DANGER)
        if i == 1:
            return battery(0.55, WARN)
        if i == 2:
            return battery(1.0, OK)
        if i == 3:
            return battery(0, OK, charging=True)
        if i == 4:
            return icon("usb", TEXT_2, size=fw, sw=1.6)
        # 2.4G: radio waves from a dot
        body = circle(12, 17, 1.8, TEXT_2)
        for rr in (4.5, 8, 11.5):
            body += path(f"M{12 - rr * 0.8} {17 - rr * 0.6} A{rr} {rr} 0 0 1 {12 + rr * 0.8} "
                         f"{17 - rr * 0.6}", stroke=TEXT_2, sw=1.6)
        return body
    return strip(fw, fh, frames, frame)


# ---------------------------------------------------------------------- keys
@draws("img_key_bkg.png")
def _key_bkg(tools, name, fw, fh, frames, out):
    def frame(i):
        # 0 a key, 1 the pressed, hovered or checked key, 2 the selected
        # function tile (an accent plate: its caption is white), 3 disabled;
        # stretched up to 50 pixels, nine-slice (8) beyond
        looks = [
            ("#FFFFFF", "#EEF1F6", "#CCD3DE", "#DCE1EA"),
            ("#F3F7FF", "#E2EAFB", ACCENT, "#B9CBF4"),
            (ACCENT_HOVER, ACCENT, ACCENT_DARK, "#2A4FA8"),
            ("#F1F2F5", "#ECEEF2", "#E1E5EB", "#E5E8EE"),
        ]
        top, bottom, line, lip = looks[i]
        defs = linear(f"k{i}", [(0, top), (1, bottom)])
        body = rect(1, 1, fw - 2, fh - 2, 7, lip)
        body += rect(1, 1, fw - 2, fh - 5, 7, f"url(#k{i})")
        body += rect(1, 1, fw - 2, fh - 2, 7, "none", line)
        if i == 1:
            body += rect(2, 2, fw - 4, fh - 4, 6, "none", ACCENT, 1, opacity=0.45)
        return body, defs
    return strip(fw, fh, frames, frame)


# ---------------------------------------------------------------------- tips
TIP = ACCENT
TIP_LINE = "#3F6BD6"


@draws("img_tip_bk.png")
def _tip(tools, name, fw, fh, frames, out):
    return strip(fw, fh, 1, lambda i: rect(0, 0, fw, fh, 6, TIP, TIP_LINE))


@draws("img_tip_arrow_left.png", "img_tip_arrow_right.png", "img_tip_arrow_top.png")
def _tip_arrow(tools, name, fw, fh, frames, out):
    if "left" in name:
        d = f"M{fw} 0 L0 {fh / 2} L{fw} {fh} Z"
    elif "right" in name:
        d = f"M0 0 L{fw} {fh / 2} L0 {fh} Z"
    else:
        d = f"M0 {fh} L{fw / 2} 0 L{fw} {fh} Z"
    return strip(fw, fh, 1, lambda i: path(d, fill=TIP))


# ------------------------------------------------------------ colour pickers
@draws("img_palette.png")
def _palette(tools, name, fw, fh, frames, out):
    c = fw / 2
    r = c
    body = ""
    steps = 180
    for k in range(steps):
        a0 = 2 * math.pi * k / steps
        a1 = 2 * math.pi * (k + 1.6) / steps
        x0, y0 = c + r * math.cos(a0), c - r * math.sin(a0)
        x1, y1 = c + r * math.cos(a1), c - r * math.sin(a1)
        body += path(f"M{c} {c} L{x0:.3f} {y0:.3f} A{r} {r} 0 0 0 {x1:.3f} {y1:.3f} Z",
                     fill=L.hsl_to_hex(360 * k / steps, 1, 0.5))
    body += circle(c, c, r, "url(#wheelwhite)")
    defs = radial("wheelwhite", [(0, "#FFFFFF", 1), (0.15, "#FFFFFF", 0.9), (1, "#FFFFFF", 0)])
    defs += f'<clipPath id="wc"><circle cx="{c}" cy="{c}" r="{r}"/></clipPath>'
    return svg_doc(fw, fh, f'<g clip-path="url(#wc)">{body}</g>', defs)


@draws("img_palette_thumb.png", "icon/icon_palette_bar2.png")
def _thumb(tools, name, fw, fh, frames, out):
    c = fw / 2
    return strip(fw, fh, 1, lambda i: circle(c, c, c - 0.5, "#000000", extra='opacity="0.35"')
                 + circle(c, c, c - 2, "none", "#FFFFFF", 2.2))


@draws("icon/icon_palette_bar1.png")
def _bar_marker(tools, name, fw, fh, frames, out):
    return strip(fw, fh, 1, lambda i: rect(0, 0, fw, fh, 3, "#000000", opacity=0.3)
                 + rect(1, 1, fw - 2, fh - 2, 2.5, "#FFFFFF")
                 + rect(fw / 2 - 1, 5, 2, fh - 10, 1, LINE))


# ------------------------------------------------------------------ surfaces
def panel(fw, fh, r, fid, fill=SURFACE_2, inset=3):
    defs = shadow_filter(fid, dy=1, blur=2, opacity=0.35, color="#000000")
    body = rect(inset, inset, fw - 2 * inset, fh - 2 * inset, r, fill, extra=f'filter="url(#{fid})"')
    body += rect(inset, inset, fw - 2 * inset, fh - 2 * inset, r, "none", "#FFFFFF", 1)
    return body, defs


@draws("img_area.png")
def _area(tools, name, fw, fh, frames, out):
    return strip(fw, fh, 1, lambda i: panel(fw, fh, 9, "a0"))


@draws("img_area1.png")
def _area1(tools, name, fw, fh, frames, out):
    return strip(fw, fh, 1, lambda i: panel(fw, fh, 7, "a1"))


@draws("img_area2.png")
def _area2(tools, name, fw, fh, frames, out):
    return strip(fw, fh, 1, lambda i: panel(fw, fh, 16, "a2", inset=4))


# Layered dialogs are shown without a compositor on some systems: there a
# pixel of partial alpha is put on the screen as it is stored (premultiplied,
# so a soft shadow turns into a black frame), and a fully transparent one shows
# what lies behind. Their pictures therefore fill the window to its edge, and
# the rounding of their corners is drawn without smoothing: every pixel is
# either the card or nothing.
CRISP = 'shape-rendering="crispEdges"'


@draws("bk_msgbox.png")
def _msgbox(tools, name, fw, fh, frames, out):
    def frame(i):
        # nine-slice with 30-pixel (message box) or 16-pixel (update) corners;
        # the rounding stays inside the smaller one.
        return rect(0, 0, fw, fh, 10, SURFACE, "#B4BDCB", extra=CRISP)
    return strip(fw, fh, 1, frame)


@draws("img_leftarea.png")
def _leftarea(tools, name, fw, fh, frames, out):
    defs = linear("la", [(0, "#F2F4F8"), (1, "#E6EAF1")])
    defs += linear("lash", [(0, "#0B1020", 0.14), (1, "#0B1020", 0)])
    body = rect(0, 0, fw, fh, 0, "url(#la)")
    body += rect(0, 0, fw, 6, 0, "url(#lash)")
    body += rect(fw - 1, 0, 1, fh, 0, "#D9DEE7")
    return svg_doc(fw, fh, body, defs)


def title_bar(w):
    defs = linear("tb", [(0, "#1B2030"), (1, "#141821")])
    body = rect(0, 0, w, 70, 0, "url(#tb)")
    body += rect(0, 70, w, 1, 0, "#FFFFFF", opacity=0.06)
    return body, defs


def stage(w, h, glow_x, glow_y, t=0.0, key="st"):
    """The dark stage below the title bar, with a soft accent glow."""
    defs = linear(f"{key}bg", [(0, "#1C2130"), (1, "#11141B")])
    defs += radial(f"{key}gl", [(0, "#4977E5", 0.32), (0.5, "#4977E5", 0.08), (1, "#4977E5", 0)])
    body = rect(0, 71, w, h - 71, 0, f"url(#{key}bg)")
    body += f'<ellipse cx="{glow_x}" cy="{glow_y}" rx="{w * 0.42}" ry="{h * 0.42}" fill="url(#{key}gl)"/>'
    # faint dot grid
    dotsv = "".join(circle(x, y, 0.8, "#FFFFFF", extra='opacity="0.05"')
                    for x in range(20, w, 40) for y in range(90, h, 40))
    return body + dotsv, defs


@draws("main_bkg.png")
def _main_bkg(tools, name, fw, fh, frames, out):
    tb, d1 = title_bar(fw)
    st, d2 = stage(fw, fh, 840, 260)
    return svg_doc(fw, fh, st + tb, d1 + d2)


HOME_DARK = "#0E1117"
HOME_LIGHT = "#B3C4EA"


def home_tone(t):
    """The home stage's colours all lie on one line from dark to light, so the
    animation's palette can follow the light without bands."""
    return L.mix(HOME_DARK, HOME_LIGHT, t)


HOME_BAR = 28


@draws("home_bg.gif")
def _home_bg(tools, name, fw, fh, frames, out):
    """The home page: the dark stage under a broad soft light, where the device
    cards and the no-keyboard caption stand, with a strip of key light along the
    floor whose colours run round."""
    svgs = []
    for f in range(frames):
        t = f / frames
        breath = 0.5 + 0.5 * math.sin(2 * math.pi * t)
        defs = linear("tb", [(0, home_tone(0.07)), (1, home_tone(0.04))])
        defs += linear("hb", [(0, home_tone(0.085)), (1, home_tone(0.0))])
        defs += radial(f"spot{f}", [(0, home_tone(1.0), 0.78 + 0.08 * breath),
                                    (0.55, home_tone(0.75), 0.40 + 0.06 * breath),
                                    (1, home_tone(0.5), 0)])
        body = rect(0, 71, fw, fh - 71, 0, "url(#hb)")
        body += (f'<ellipse cx="{fw / 2}" cy="{fh * 0.40}" rx="{fw * 0.55}" ry="{fh * 0.48}" '
                 f'fill="url(#spot{f})"/>')
        step = fw / HOME_BAR
        for k in range(HOME_BAR):
            hue = (k + f * HOME_BAR / frames) % HOME_BAR
            body += rect(k * step + 3, fh - 12, step - 6, 4, 2, HOME_BAR_COLOURS[int(hue)])
        body += rect(0, 0, fw, 70, 0, "url(#tb)") + rect(0, 70, fw, 1, 0, home_tone(0.0))
        svgs.append(f"<defs>{defs}</defs>{body}")
    palette = [home_tone(i / 199) for i in range(200)] + HOME_BAR_COLOURS
    tools.frames_to_gif("home_bg", fw, fh, svgs, 10, out, palette)


HOME_BAR_COLOURS = [L.hsl_to_hex(360 * k / HOME_BAR, 0.85, 0.58) for k in range(HOME_BAR)]


def vip_page(fw, fh, hue_a, hue_b, kind, key):
    defs = linear(f"{key}g", [(0, hue_a), (1, hue_b)], 0, 0, 1, 1)
    defs += radial(f"{key}r", [(0, "#FFFFFF", 0.22), (1, "#FFFFFF", 0)])
    body = rect(0, 0, fw, fh, 0, f"url(#{key}g)")
    body += f'<ellipse cx="{fw * 0.72}" cy="{fh * 0.42}" rx="{fw * 0.38}" ry="{fh * 0.45}" fill="url(#{key}r)"/>'
    for k in range(6):
        body += rect(-200 + k * 260, fh - 160 + (k % 2) * 30, 520, 2, 1, "#FFFFFF",
                     opacity=0.06, extra=f'transform="rotate(-12 {k * 260} {fh})"')
    mark, mdefs = brand_mark(72, 120, 120)
    body += mark
    defs += mdefs
    body += text(212, 170, "KESTROVA", 44, "#FFFFFF", 700, "start", extra='letter-spacing="4"')
    body += text(478, 170, "+", 52, "#FFD66B", 700, "start")
    body += rect(120, 232, 120, 4, 2, "#FFD66B")
    for k, g in enumerate(["light", "effect", "keys", "macro"]):
        x = 120 + k * 92
        body += rect(x, 300, 68, 68, 16, "#FFFFFF", opacity=0.14)
        body += icon(g, "#FFFFFF", size=32, x=x + 18, y=318, sw=1.8)
    kb, kdefs, w, h = keyboard_art(kind, True, 620, ["lcd"] if kind == "75" else ["lightbar"])
    body += group(kb, fw - w - 110, fh / 2 - h / 2 + 20)
    return svg_doc(fw, fh, body, defs + kdefs)


@draws("img_vip1.png")
def _vip1(tools, name, fw, fh, frames, out):
    return vip_page(fw, fh, "#1D2F6B", "#4977E5", "tkl", "v1")


@draws("img_vip2.png")
def _vip2(tools, name, fw, fh, frames, out):
    return vip_page(fw, fh, "#2B1B5E", "#8A54E0", "75", "v2")


# -------------------------------------------------------------- logo, loading
@draws("logo/logo.png")
def _logo(tools, name, fw, fh, frames, out):
    # The frame puts the caption right after the logo and the profile manager
    # group at x 150, so the logo is the mark alone, 40 pixels wide.
    mark, defs = brand_mark(34, (fw - 34) / 2, (fh - 34) / 2)
    return svg_doc(fw, fh, mark, defs)


@draws("logo/logo_loading.png")
def _logo_loading(tools, name, fw, fh, frames, out):
    mark, defs = brand_mark(36, 4, (fh - 36) / 2)
    body = mark + text(48, fh / 2 + 7, "KESTROVA", 19, TEXT_2, 700, "start",
                       extra='letter-spacing="1.5"')
    return svg_doc(fw, fh, body, defs)


@draws("loading.png")
def _loading_png(tools, name, fw, fh, frames, out):
    return strip(fw, fh, 1, lambda i: rect(0, 0, fw, fh, 12, "#FBFBFB", "#B4BDCB", extra=CRISP))


def spinner(size, t, bg, track, arc, key, corner=0):
    c = size / 2
    r = size * 0.3
    sw = max(3, size * 0.075)
    body = rect(0, 0, size, size, corner, bg) if bg else ""
    body += circle(c, c, r, "none", track, sw)
    a0 = 2 * math.pi * t
    span = math.pi * (0.55 + 0.35 * math.sin(2 * math.pi * t))
    x0, y0 = c + r * math.cos(a0), c + r * math.sin(a0)
    x1, y1 = c + r * math.cos(a0 + span), c + r * math.sin(a0 + span)
    body += path(f"M{x0:.2f} {y0:.2f} A{r} {r} 0 0 1 {x1:.2f} {y1:.2f}", stroke=arc, sw=sw)
    return body


@draws("loading.gif")
def _loading_gif(tools, name, fw, fh, frames, out):
    svgs = [spinner(fw, f / frames, "#FBFBFB", "#E3E8F2", ACCENT, "lg", corner=11)
            for f in range(frames)]
    tools.frames_to_gif("loading", fw, fh, svgs, 5, out)


@draws("loading/loading.gif")
def _loading_wnd_gif(tools, name, fw, fh, frames, out):
    svgs = [spinner(fw, f / frames, "#FFFFFF", "#E3E8F2", ACCENT, "lw")
            for f in range(frames)]
    tools.frames_to_gif("loading_wnd", fw, fh, svgs, 5, out)


@draws("img_loading_bkg.png")
def _led_wait_bkg(tools, name, fw, fh, frames, out):
    defs = linear("lb", [(0, "#0C2144"), (1, "#061835")])
    body = rect(0, 0, fw, fh, 10, "url(#lb)", "#23406E")
    mark, mdefs = brand_mark(40, fw - 60, 18)
    body += f'<g opacity="0.9">{mark}</g>'
    body += rect(17, fh - 28, fw - 34, 1, 0, "#FFFFFF", opacity=0.08)
    return svg_doc(fw, fh, body, defs + mdefs)


@draws("DeviceDriver.ico")
def _tray(tools, name, fw, fh, frames, out):
    def draw(s):
        body, defs = brand_mark(s)
        return svg_doc(s, s, body, defs)
    tools.icon("tray", draw, [16, 20, 24, 32, 48], out)
