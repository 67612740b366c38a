#!/usr/bin/python3
"""Draws the window's compiled-in images (run once; the PNGs are committed).

Needs Debian's python3-pil and fonts-dejavu-core. Every image is drawn at eight times its size
and scaled down, which gives clean anti-aliased edges at the small sizes the window uses.

    /usr/bin/python3 resources/images/generate.py
"""
import math
import os

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 8  # supersampling factor

RED_START = (236, 3, 78)
RED_END = (255, 41, 37)
BRAND = (249, 27, 51)
ICON_DEF = (175, 175, 175)
ICON_SEL = (255, 255, 255)
BOLD_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


def canvas(w, h):
    return Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))


def finish(img, w, h, name):
    path = os.path.join(HERE, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.resize((w, h), Image.LANCZOS).save(path, optimize=True)


def horizontal_gradient(w, h, start, end):
    grad = Image.new("RGBA", (w, h))
    px = grad.load()
    for x in range(w):
        t = x / max(1, w - 1)
        c = tuple(round(start[i] + (end[i] - start[i]) * t) for i in range(3)) + (255,)
        for y in range(h):
            px[x, y] = c
    return grad


def paint_with_gradient(mask, start=RED_START, end=RED_END):
    """Fills the opaque parts of a white-on-transparent mask with the brand gradient."""
    grad = horizontal_gradient(mask.width, mask.height, start, end)
    out = Image.new("RGBA", mask.size, (0, 0, 0, 0))
    out.paste(grad, (0, 0), mask.split()[3])
    return out


# ---- title-bar buttons, 18 x 18 --------------------------------------------------------------

def title_button(name, draw_symbol):
    for state, colour, ring in (("Def", ICON_DEF, None), ("Sel", ICON_SEL, BRAND)):
        img = canvas(18, 18)
        d = ImageDraw.Draw(img)
        if ring:
            d.ellipse((0, 0, 18 * SS - 1, 18 * SS - 1), fill=ring + (255,))
        draw_symbol(d, colour + (255,), 18 * SS, (ring + (255,)) if ring else (0, 0, 0, 0))
        finish(img, 18, 18, "mainpage/%s%s.png" % (name, state))


def sym_min(d, c, s, _bg):
    w = round(s * 0.09)
    d.rounded_rectangle((s * 0.28, s * 0.5 - w / 2, s * 0.72, s * 0.5 + w / 2), radius=w / 2, fill=c)


def sym_max(d, c, s, _bg):
    w = round(s * 0.08)
    d.rounded_rectangle((s * 0.28, s * 0.28, s * 0.72, s * 0.72), radius=s * 0.04, outline=c, width=w)


def sym_into_max(d, c, s, bg):
    w = round(s * 0.07)
    d.rectangle((s * 0.38, s * 0.26, s * 0.74, s * 0.62), outline=c, width=w)
    d.rectangle((s * 0.26, s * 0.38, s * 0.62, s * 0.74), fill=bg)
    d.rectangle((s * 0.26, s * 0.38, s * 0.62, s * 0.74), outline=c, width=w)


def sym_close(d, c, s, _bg):
    w = round(s * 0.09)
    a, b = s * 0.31, s * 0.69
    d.line((a, a, b, b), fill=c, width=w)
    d.line((a, b, b, a), fill=c, width=w)
    for x, y in ((a, a), (b, b), (a, b), (b, a)):
        d.ellipse((x - w / 2, y - w / 2, x + w / 2, y + w / 2), fill=c)


def sym_setting(d, c, s, bg):
    cx = cy = s / 2
    outer, inner, teeth = s * 0.34, s * 0.26, 8
    pts = []
    for i in range(teeth * 4):
        ang = 2 * math.pi * i / (teeth * 4)
        r = outer if (i % 4) in (0, 1) else inner
        pts.append((cx + r * math.cos(ang), cy + r * math.sin(ang)))
    d.polygon(pts, fill=c)
    hole = s * 0.11
    d.ellipse((cx - hole, cy - hole, cx + hole, cy + hole), fill=bg)


# ---- metric icons, 13 x 13 --------------------------------------------------------------------

def metric_icon(name, draw_mask):
    mask = canvas(13, 13)
    draw_mask(ImageDraw.Draw(mask), (255, 255, 255, 255), 13 * SS)
    finish(paint_with_gradient(mask), 13, 13, "InfoLog/%s.png" % name)


def icon_utilization(d, c, s):
    w = s * 0.2
    for i, h in enumerate((0.45, 0.75, 1.0)):
        x = s * 0.05 + i * s * 0.33
        d.rounded_rectangle((x, s * (1 - h * 0.9) - 1, x + w, s - 1), radius=w * 0.3, fill=c)


def icon_frequency(d, c, s):
    pts = []
    for i in range(61):
        t = i / 60
        pts.append((s * 0.04 + t * s * 0.92, s * 0.5 - s * 0.36 * math.sin(t * 2 * math.pi * 1.5)))
    d.line(pts, fill=c, width=round(s * 0.14), joint="curve")


def icon_fan(d, c, s):
    cx = cy = s / 2
    r = s * 0.5
    for k in range(3):
        start = k * 120 - 90
        d.pieslice((cx - r, cy - r, cx + r, cy + r), start, start + 75, fill=c)
    gap, hub = s * 0.2, s * 0.12
    d.ellipse((cx - gap, cy - gap, cx + gap, cy + gap), fill=(0, 0, 0, 0))
    d.ellipse((cx - hub, cy - hub, cx + hub, cy + hub), fill=c)


def icon_power(d, c, s):
    d.polygon([(s * 0.62, 0), (s * 0.18, s * 0.56), (s * 0.47, s * 0.56),
               (s * 0.36, s), (s * 0.84, s * 0.4), (s * 0.53, s * 0.4), (s * 0.7, 0)], fill=c)


# ---- logos and background ---------------------------------------------------------------------

def draw_k_mark(d, x, y, size):
    """The Kestrun mark: a gradient-filled rounded square with a white stylised K (mask only)."""
    d.rounded_rectangle((x, y, x + size - 1, y + size - 1), radius=size * 0.24, fill=(255, 255, 255, 255))


def k_letter(d, x, y, size):
    hole = (0, 0, 0, 0)
    w = size * 0.14
    d.rectangle((x + size * 0.28, y + size * 0.22, x + size * 0.28 + w, y + size * 0.78), fill=hole)
    d.polygon([(x + size * 0.40, y + size * 0.52), (x + size * 0.66, y + size * 0.22),
               (x + size * 0.82, y + size * 0.22), (x + size * 0.52, y + size * 0.56)], fill=hole)
    d.polygon([(x + size * 0.46, y + size * 0.50), (x + size * 0.58, y + size * 0.44),
               (x + size * 0.84, y + size * 0.78), (x + size * 0.68, y + size * 0.78)], fill=hole)


def app_logo():
    mask = canvas(30, 30)
    d = ImageDraw.Draw(mask)
    draw_k_mark(d, 0, 0, 30 * SS)
    k_letter(d, 0, 0, 30 * SS)
    finish(paint_with_gradient(mask), 30, 30, "AppLogo.png")


def left_top_logo():
    w, h = 200, 30
    mask = canvas(w, h)
    d = ImageDraw.Draw(mask)
    draw_k_mark(d, 0, 0, h * SS)
    k_letter(d, 0, 0, h * SS)
    logo = paint_with_gradient(mask)
    font = ImageFont.truetype(BOLD_FONT, round(h * SS * 0.62))
    text = ImageDraw.Draw(logo)
    text.text((h * SS * 1.35, h * SS * 0.5), "KESTRUN", font=font, fill=(235, 235, 235, 255), anchor="lm")
    finish(logo, w, h, "leftTopLogo.png")


def background():
    w, h = 1150, 750
    img = Image.new("RGBA", (w, h))
    px = img.load()
    for y in range(h):
        for x in range(w):
            # a dark field, slightly lighter towards the top left, with a faint red glow bottom right
            t = (x / w + y / h) / 2
            base = 44 - 20 * t
            gx, gy = (x - w * 0.85) / w, (y - h * 0.9) / h
            glow = max(0.0, 1 - math.hypot(gx, gy) * 2.2) ** 2
            px[x, y] = (round(base + 40 * glow), round(base + 4 * glow), round(base + 8 * glow), 255)
    # rounded corners, matching the frame's 12 px radius, stay transparent
    mask = Image.new("L", (w * 4, h * 4), 0)
    ImageDraw.Draw(mask).rounded_rectangle((0, 0, w * 4 - 1, h * 4 - 1), radius=12 * 4, fill=255)
    img.putalpha(mask.resize((w, h), Image.LANCZOS))
    img.save(os.path.join(HERE, "bgImageMain.png"), optimize=True)


def main():
    title_button("setting", sym_setting)
    title_button("minWindow", sym_min)
    title_button("maxWindow", sym_max)
    title_button("closeWindow", sym_close)
    title_button("intoMaxWindow", sym_into_max)
    metric_icon("utilization", icon_utilization)
    metric_icon("frequency", icon_frequency)
    metric_icon("fan", icon_fan)
    metric_icon("power", icon_power)
    app_logo()
    left_top_logo()
    background()


if __name__ == "__main__":
    main()
