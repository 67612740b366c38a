#!/usr/bin/python3
"""Draws the images of the sample branding in configDir/images (needs python3-pil).

    /usr/bin/python3 scripts/draw-branding.py

Colours follow configDir/appConfig.ini: dark greys with the red gradient 236,3,78 -> 255,41,37.
The lettering uses the bundled Montserrat ExtraBold face.
"""
import math
from pathlib import Path

from PIL import Image, ImageDraw, ImageFilter, ImageFont

ROOT = Path(__file__).resolve().parent.parent
OUT = ROOT / "configDir" / "images"
FONT = ROOT / "resources" / "LocalFont" / "MontserratBold.otf"

BG = (37, 37, 37)
BORDER = (20, 20, 20)
FRAME = (49, 49, 49)
START = (236, 3, 78)
END = (255, 41, 37)
TEXT = (220, 220, 220)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def gradient(size, a, b):
    """A left-to-right gradient from a to b."""
    w, h = size
    img = Image.new("RGB", size)
    px = img.load()
    for x in range(w):
        c = mix(a, b, x / max(1, w - 1))
        for y in range(h):
            px[x, y] = c
    return img


def gauge_icon(size, letter=True):
    """Rounded dark tile with a red gradient gauge arc and a K."""
    s = 4  # drawn large, scaled down for smooth edges
    n = size * s
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    tile = Image.new("L", (n, n), 0)
    ImageDraw.Draw(tile).rounded_rectangle((0, 0, n - 1, n - 1), radius=n // 5, fill=255)
    img.paste(Image.new("RGBA", (n, n), BG + (255,)), (0, 0), tile)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, n - 1, n - 1), radius=n // 5, outline=FRAME + (255,), width=max(1, n // 48))

    # Gauge: a track and a 3/4 arc coloured along its sweep.
    box = (n * 0.16, n * 0.16, n * 0.84, n * 0.84)
    width = round(n * 0.085)
    d.arc(box, 135, 405, fill=(60, 60, 60, 255), width=width)
    steps = 120
    sweep = 200
    for i in range(steps):
        a0 = 135 + sweep * i / steps
        a1 = 135 + sweep * (i + 1) / steps + 0.8
        d.arc(box, a0, a1, fill=mix(START, END, i / steps) + (255,), width=width)
    # Needle towards the end of the coloured part.
    cx = cy = n / 2
    ang = math.radians(135 + sweep)
    r = n * 0.27
    d.line((cx, cy, cx + r * math.cos(ang), cy + r * math.sin(ang)), fill=TEXT + (255,), width=round(n * 0.035))
    d.ellipse((cx - n * 0.045, cy - n * 0.045, cx + n * 0.045, cy + n * 0.045), fill=TEXT + (255,))

    if letter:
        font = ImageFont.truetype(str(FONT), round(n * 0.26))
        d.text((n / 2, n * 0.74), "K", font=font, fill=TEXT + (255,), anchor="mm")
    return img.resize((size, size), Image.LANCZOS)


def wide_logo(size=(200, 30)):
    """Icon mark and the word KESTRUN on a transparent strip."""
    w, h = size
    s = 4
    img = Image.new("RGBA", (w * s, h * s), (0, 0, 0, 0))
    mark = gauge_icon(h * s, letter=False)
    img.paste(mark, (0, 0), mark)
    font = ImageFont.truetype(str(FONT), round(h * s * 0.62))
    d = ImageDraw.Draw(img)
    d.text((h * s + 6 * s, h * s / 2), "KESTRUN", font=font, fill=TEXT + (255,), anchor="lm")
    return img.resize(size, Image.LANCZOS)


def background(size=(1150, 750)):
    """Dark panel with a faint red glow and a fine grid."""
    w, h = size
    img = Image.new("RGB", size, BG)
    d = ImageDraw.Draw(img)
    for x in range(0, w, 25):
        d.line((x, 0, x, h), fill=(41, 41, 41))
    for y in range(0, h, 25):
        d.line((0, y, w, y), fill=(41, 41, 41))
    glow = Image.new("L", size, 0)
    ImageDraw.Draw(glow).ellipse((w * 0.55, h * 0.55, w * 1.25, h * 1.35), fill=70)
    glow = glow.filter(ImageFilter.GaussianBlur(120))
    img = Image.composite(gradient(size, START, END), img, glow)
    ImageDraw.Draw(img).rectangle((0, 0, w - 1, h - 1), outline=BORDER)
    return img


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    icon = gauge_icon(256)
    icon.save(OUT / "kestrun.png")
    icon.save(OUT / "kestrun.ico", sizes=[(16, 16), (24, 24), (32, 32), (48, 48), (64, 64), (128, 128), (256, 256)])
    gauge_icon(256, letter=False).save(OUT / "kestrun-mark.png")
    wide_logo().save(OUT / "kestrun-logo.png")
    background().save(OUT / "main-background.png", optimize=True)
    for f in sorted(OUT.iterdir()):
        print(f.relative_to(ROOT), f.stat().st_size)


if __name__ == "__main__":
    main()
