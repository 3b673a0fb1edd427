#!/usr/bin/env python3
"""Draws the installer's artwork: the wizard background, the button sprite
strips and the window frame's caption-button strips.

    draw_artwork.py OUTDIR              the PNG files the resources embed
    draw_artwork.py OUTDIR --preview    also mock-ups of the wizard (OUTDIR/preview)

Every picture is drawn from the theme's colours. Shapes are drawn eight times
larger and reduced, so edges are smooth; pixels left fully transparent carry
the colour they are shown on, so a copy that ignores alpha still looks right.
"""

import argparse
import math
import os
import sys

from PIL import Image, ImageDraw

# The theme's colours, as RGB.
WINDOW = (255, 255, 255)          # WindowColor
FOCUS = (255, 247, 198)           # FocusColor, ProgressColor
DEEP_BLUE = (0, 102, 204)         # Color5, Color24
CAPTION = (97, 154, 222)          # CaptionColor, BorderDarkColor
LIGHT_BLUE = (199, 215, 242)      # CaptionArrowColor, FrameColor, BorderLightColor

# Button caption colours per frame.
TEXT_NORMAL = (0, 74, 149)
TEXT_DISABLED = (204, 219, 234)
TEXT_PRESSED = (153, 183, 213)

SS = 8  # supersampling factor

WIZARD_SIZE = (500, 360)
BAND_WIDTH = 140
TEXT_LEFT = 144
BUTTON_SIZE = (94, 20)
CAPTION_BUTTON = 18
FRAMES = 5
# The wizard's buttons stand at y = 304; the footer below y = FOOTER_TOP is
# what shows around them.
FOOTER_TOP = 292


def mix(a, b, t):
    """Colour between a (t = 0) and b (t = 1)."""
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def rgba(c, alpha=255):
    return (c[0], c[1], c[2], alpha)


def smooth(t):
    t = min(max(t, 0.0), 1.0)
    return t * t * (3 - 2 * t)


class Layer:
    """A transparent drawing surface SS times the size of the picture. Each
    shape is blended over what is already there (drawing straight onto an
    RGBA picture would replace its pixels, alpha included)."""

    def __init__(self, size):
        self.size = size
        self.image = Image.new("RGBA", (size[0] * SS, size[1] * SS), (0, 0, 0, 0))

    @staticmethod
    def s(v):
        return round(v * SS)

    def box(self, x0, y0, x1, y1):
        # Picture coordinates are pixel edges: (0, 0, 2, 2) covers two pixels.
        return [self.s(x0), self.s(y0), self.s(x1) - 1, self.s(y1) - 1]

    def paint(self, shape):
        over = Image.new("RGBA", self.image.size, (0, 0, 0, 0))
        shape(ImageDraw.Draw(over))
        self.image.alpha_composite(over)

    def rounded(self, x0, y0, x1, y1, r, fill=None, outline=None, width=1):
        self.paint(lambda d: d.rounded_rectangle(self.box(x0, y0, x1, y1), radius=self.s(r),
                                                 fill=fill, outline=outline,
                                                 width=self.s(width) if outline else 0))

    def ellipse(self, x0, y0, x1, y1, fill=None, outline=None, width=1):
        self.paint(lambda d: d.ellipse(self.box(x0, y0, x1, y1), fill=fill, outline=outline,
                                       width=self.s(width) if outline else 0))

    def polygon(self, points, fill):
        self.paint(lambda d: d.polygon([(self.s(x), self.s(y)) for x, y in points], fill=fill))

    def line(self, points, fill, width):
        pts = [(self.s(x), self.s(y)) for x, y in points]
        r = self.s(width) / 2

        def shape(d):
            d.line(pts, fill=fill, width=self.s(width), joint="curve")
            for x, y in (pts[0], pts[-1]):
                d.ellipse([x - r, y - r, x + r, y + r], fill=fill)

        self.paint(shape)

    def reduced(self):
        return self.image.resize(self.size, Image.BOX)


def vertical_gradient(size, stops):
    """An opaque picture whose rows run through stops [(t, colour), ...]."""
    w, h = size
    img = Image.new("RGBA", size)
    d = ImageDraw.Draw(img)
    for y in range(h):
        t = (y + 0.5) / h
        for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
            if t0 <= t <= t1:
                c = mix(c0, c1, (t - t0) / (t1 - t0) if t1 > t0 else 0)
                break
        else:
            c = stops[-1][1] if t > stops[-1][0] else stops[0][1]
        d.line([(0, y), (w - 1, y)], fill=rgba(c))
    return img


def radial_glow(size, centre, radius, colour, alpha):
    """A soft round light that fades out at radius."""
    w, h = size
    mask = Image.new("L", size, 0)
    px = mask.load()
    cx, cy = centre
    for y in range(h):
        for x in range(w):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy) / radius
            if d < 1:
                px[x, y] = round(alpha * (1 - smooth(d)))
    layer = Image.new("RGBA", size, rgba(colour, 0))
    layer.putalpha(mask)
    return layer


def settle_transparent(img, colour):
    """Fully transparent pixels take the colour they will be shown on."""
    px = img.load()
    w, h = img.size
    for y in range(h):
        for x in range(w):
            if px[x, y][3] == 0:
                px[x, y] = rgba(colour, 0)
    return img


# ---------------------------------------------------------------- background

FOOTER = (241, 246, 252)
FOOTER_LINE = (214, 227, 245)


def band(size):
    """The calm left band: the caption's blue deepening downwards, with a
    little light from the top and wide ripples from the bottom corner."""
    w, h = size
    # It starts in the caption bar's colour, so bar and band read as one.
    img = vertical_gradient(size, [(0.0, CAPTION), (0.3, CAPTION),
                                   (1.0, mix(CAPTION, DEEP_BLUE, 0.72))])
    img.alpha_composite(radial_glow(size, (w / 2, 150), 120, WINDOW, 48))

    ripples = Layer(size)
    cx, cy = -30, h + 40
    for i, r in enumerate(range(90, 420, 34)):
        a = max(0, 34 - i * 3)
        ripples.ellipse(cx - r, cy - r, cx + r, cy + r, outline=rgba(WINDOW, a), width=1.4)
    img.alpha_composite(ripples.reduced())

    img.alpha_composite(emblem(size, (w / 2, 150)))
    return img


def emblem(size, centre):
    """The product's mark: a globe with a downward arrow into a tray, for a
    setup that fetches what it installs from the web."""
    L = Layer(size)
    cx, cy = centre
    white = rgba(WINDOW, 235)
    faint = rgba(WINDOW, 90)
    # A soft disc behind the mark.
    L.ellipse(cx - 46, cy - 46, cx + 46, cy + 46, fill=rgba(WINDOW, 26))
    L.ellipse(cx - 38, cy - 38, cx + 38, cy + 38, fill=rgba(WINDOW, 22))
    # Globe.
    gx, gy, r = cx, cy - 8, 22
    L.ellipse(gx - r, gy - r, gx + r, gy + r, outline=white, width=2.2)
    L.ellipse(gx - r * 0.42, gy - r, gx + r * 0.42, gy + r, outline=faint, width=1.6)
    L.line([(gx, gy - r), (gx, gy + r)], faint, 1.6)
    L.line([(gx - r, gy), (gx + r, gy)], faint, 1.6)
    for f in (-0.55, 0.55):
        half = r * math.sqrt(1 - f * f)
        L.line([(gx - half, gy + f * r), (gx + half, gy + f * r)], faint, 1.4)
    # Arrow badge over the globe's lower right.
    bx, by, br = cx + 16, cy + 14, 14
    L.ellipse(bx - br - 2.5, by - br - 2.5, bx + br + 2.5, by + br + 2.5,
              fill=rgba(mix(CAPTION, DEEP_BLUE, 0.55)))
    L.ellipse(bx - br, by - br, bx + br, by + br, fill=rgba(WINDOW))
    arrow = rgba(DEEP_BLUE)
    L.line([(bx, by - 8), (bx, by + 3)], arrow, 3.2)
    L.polygon([(bx - 6.5, by - 0.5), (bx + 6.5, by - 0.5), (bx, by + 7)], arrow)
    L.line([(bx - 7, by + 8.5), (bx + 7, by + 8.5)], arrow, 2.2)
    return L.reduced()


def text_area(size):
    """The light area the labels are drawn on: white, washed with the frame's
    light blue at the very top, and a quiet footer behind the buttons."""
    w, h = size
    img = vertical_gradient(size, [(0.0, mix(LIGHT_BLUE, WINDOW, 0.55)), (0.22, WINDOW),
                                   (1.0, WINDOW)])
    waves = Layer(size)
    for i in range(4):
        pts = []
        for x in range(0, w + 8, 4):
            t = x / w
            y = 58 + i * 7 - 30 * math.sin(math.pi * (t * 0.9 + 0.05)) * (1 - 0.15 * i) + 14 * t
            pts.append((x, y))
        waves.line(pts, rgba(LIGHT_BLUE, 170 - i * 30), 1.2)
    img.alpha_composite(waves.reduced())
    d = ImageDraw.Draw(img)
    d.rectangle([0, FOOTER_TOP, w - 1, h - 1], fill=rgba(FOOTER))
    d.line([(0, FOOTER_TOP), (w - 1, FOOTER_TOP)], fill=rgba(FOOTER_LINE))
    return img


def wizard_background():
    w, h = WIZARD_SIZE
    img = Image.new("RGBA", WIZARD_SIZE, rgba(WINDOW))
    img.paste(text_area((w - BAND_WIDTH, h)), (BAND_WIDTH, 0))
    img.paste(band((BAND_WIDTH, h)), (0, 0))
    d = ImageDraw.Draw(img)
    # A crisp light edge between the band and the text area.
    d.line([(BAND_WIDTH, 0), (BAND_WIDTH, h - 1)], fill=rgba(LIGHT_BLUE))
    d.line([(BAND_WIDTH + 1, 0), (BAND_WIDTH + 1, h - 1)], fill=rgba(mix(LIGHT_BLUE, WINDOW, 0.6)))
    return img


# ------------------------------------------------------------------- buttons

# Face of each frame: (top colour, bottom colour, border, inner highlight or
# None, arrow colour). The caption colour of the frame must read on the face.
BUTTON_FACES = [
    # 0 normal: white to a light blue, the caption's blue border.
    (WINDOW, mix(LIGHT_BLUE, WINDOW, 0.45), CAPTION, rgba(WINDOW, 230), TEXT_NORMAL),
    # 1 disabled: a flat, greyed slate on which the pale caption still reads.
    ((110, 125, 148), (98, 113, 136), (90, 104, 126), None, TEXT_DISABLED),
    # 2 pressed: sunk into a deep blue, darker at the top.
    (mix(DEEP_BLUE, (0, 0, 0), 0.45), mix(DEEP_BLUE, (0, 0, 0), 0.25),
     mix(DEEP_BLUE, (0, 0, 0), 0.5), None, TEXT_PRESSED),
    # 3 down (latched): set in, the frame's light blue.
    (mix(LIGHT_BLUE, CAPTION, 0.25), LIGHT_BLUE, mix(CAPTION, DEEP_BLUE, 0.4), None, TEXT_NORMAL),
    # 4 hot: warmed by the focus colour, a deeper border.
    (WINDOW, FOCUS, DEEP_BLUE, rgba(WINDOW, 240), TEXT_NORMAL),
]


def button_frame(frame, arrow):
    """One 94 x 20 frame. arrow: 'right', 'left' or None."""
    w, h = BUTTON_SIZE
    top, bottom, border, highlight, ink = BUTTON_FACES[frame]
    L = Layer(BUTTON_SIZE)
    # The face: a vertical gradient clipped to a rounded rectangle.
    face = vertical_gradient((w * SS, h * SS), [(0.0, top), (1.0, bottom)])
    mask = Image.new("L", face.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle(L.box(0, 0, w, h), radius=L.s(3.2), fill=255)
    L.image.paste(face, (0, 0), mask)
    L.rounded(0, 0, w, h, 3.2, outline=rgba(border), width=1)
    if highlight:
        L.line([(3, 1.5), (w - 3, 1.5)], highlight, 1)
    if frame == 2:
        # The pressed face shows its top edge in shadow.
        L.line([(3, 1.5), (w - 3, 1.5)], rgba((0, 0, 0), 60), 1)
    if frame == 3:
        L.line([(3, 1.5), (w - 3, 1.5)], rgba(mix(CAPTION, DEEP_BLUE, 0.3), 150), 1)
    if arrow:
        draw_arrow(L, arrow, ink, frame)
    return L.reduced()


def draw_arrow(L, direction, ink, frame):
    w, h = BUTTON_SIZE
    cx = w - 11 if direction == "right" else 11
    cy = h / 2
    # A small round badge carries the arrow, as on the product's mark.
    badge_alpha = {0: 38, 1: 40, 2: 55, 3: 45, 4: 45}[frame]
    L.ellipse(cx - 7, cy - 7, cx + 7, cy + 7, fill=rgba(ink, badge_alpha))
    sgn = 1 if direction == "right" else -1
    L.line([(cx - 3.6 * sgn, cy), (cx + 2.8 * sgn, cy)], rgba(ink), 1.7)
    L.line([(cx + 0.2 * sgn, cy - 3.3), (cx + 3.4 * sgn, cy), (cx + 0.2 * sgn, cy + 3.3)],
           rgba(ink), 1.7)


def button_strip(arrow):
    w, h = BUTTON_SIZE
    strip = Image.new("RGBA", (w * FRAMES, h), (0, 0, 0, 0))
    for i in range(FRAMES):
        strip.paste(button_frame(i, arrow), (i * w, 0))
    return settle_transparent(strip, FOOTER)


# ----------------------------------------------------------- caption buttons

CLOSE_HOT = (215, 58, 58)
CLOSE_PRESSED = (160, 30, 36)


def caption_glyph(L, kind, ox, colour):
    """The glyph of a caption button in the 18 x 18 frame at ox."""
    c = rgba(colour[:3], colour[3] if len(colour) > 3 else 255)  # RGB or RGBA
    x0, y0, x1, y1 = ox + 5, 5, ox + 13, 13
    if kind == "minimize":
        L.line([(x0 + 1, 12), (x1 - 1, 12)], c, 2)
    elif kind == "maximize":
        L.rounded(x0, y0, x1, y1, 0.8, outline=c, width=1.2)
        L.line([(x0 + 0.6, y0 + 1.1), (x1 - 0.6, y0 + 1.1)], c, 1.6)
    elif kind == "restore":
        # The front window at the lower left, the one behind showing its
        # top and right edges.
        L.rounded(x0, y0 + 3, x1 - 3, y1, 0.6, outline=c, width=1.1)
        L.line([(x0 + 0.6, y0 + 4.2), (x1 - 3.6, y0 + 4.2)], c, 1.4)
        L.line([(x0 + 3, y0 + 2.5), (x0 + 3, y0 + 0.6), (x1 - 0.6, y0 + 0.6), (x1 - 0.6, y1 - 3),
                (x1 - 2.5, y1 - 3)], c, 1.1)
    elif kind == "close":
        L.line([(x0 + 0.5, y0 + 0.5), (x1 - 0.5, y1 - 0.5)], c, 1.8)
        L.line([(x1 - 0.5, y0 + 0.5), (x0 + 0.5, y1 - 0.5)], c, 1.8)


def caption_strip(kind):
    """Five 18 x 18 frames: normal, disabled (faded), pressed (a darker
    square), unused (as normal), hot (a lighter square; red for close)."""
    size = (CAPTION_BUTTON * FRAMES, CAPTION_BUTTON)
    L = Layer(size)
    s = CAPTION_BUTTON
    for frame in range(FRAMES):
        ox = frame * s
        glyph = WINDOW
        if frame == 1:
            glyph = rgba(LIGHT_BLUE, 150)
        elif frame == 2:
            bg = CLOSE_PRESSED if kind == "close" else mix(CAPTION, DEEP_BLUE, 0.75)
            L.rounded(ox + 0.5, 0.5, ox + s - 0.5, s - 0.5, 3, fill=rgba(bg))
            glyph = rgba(WINDOW) if kind == "close" else rgba(mix(WINDOW, LIGHT_BLUE, 0.3))
        elif frame == 4:
            bg = CLOSE_HOT if kind == "close" else mix(CAPTION, WINDOW, 0.3)
            L.rounded(ox + 0.5, 0.5, ox + s - 0.5, s - 0.5, 3, fill=rgba(bg))
            L.rounded(ox + 0.5, 0.5, ox + s - 0.5, s - 0.5, 3, outline=rgba(WINDOW, 70), width=1)
        caption_glyph(L, kind, ox, glyph)
    return settle_transparent(L.reduced(), CAPTION)


# --------------------------------------------------------------------- files

OUTPUTS = {
    "wizard_background.png": wizard_background,
    "button_next.png": lambda: button_strip("right"),
    "button_previous.png": lambda: button_strip("left"),
    "button_plain.png": lambda: button_strip(None),
    "vo_modifier_minimize.png": lambda: caption_strip("minimize"),
    "vo_modifier_maximize.png": lambda: caption_strip("maximize"),
    "vo_modifier_close.png": lambda: caption_strip("close"),
    "vo_modifier_restore.png": lambda: caption_strip("restore"),
}


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("outdir")
    parser.add_argument("--preview", action="store_true",
                        help="also write mock-ups of wizard pages to OUTDIR/preview")
    args = parser.parse_args(argv)
    os.makedirs(args.outdir, exist_ok=True)
    images = {}
    for name, make in OUTPUTS.items():
        images[name] = make()
        images[name].save(os.path.join(args.outdir, name))
    if args.preview:
        sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
        import preview_artwork
        preview_artwork.write_previews(images, os.path.join(args.outdir, "preview"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
