"""Mock-ups of the wizard built from the artwork, for judging it by eye: the
framed window with a few pages in Dutch, the button frames with their
captions, and the caption buttons enlarged. Not part of the product."""

import os

from PIL import Image, ImageDraw, ImageFont

import draw_artwork as art

FONT_DIRS = ["/usr/share/wine/fonts", "/usr/share/fonts/truetype/dejavu"]


def font(bold, size):
    names = ["tahomabd.ttf", "DejaVuSans-Bold.ttf"] if bold else ["tahoma.ttf", "DejaVuSans.ttf"]
    for d in FONT_DIRS:
        for n in names:
            p = os.path.join(d, n)
            if os.path.exists(p):
                return ImageFont.truetype(p, size)
    return ImageFont.load_default()


NORMAL = font(False, 11)
BOLD = font(True, 11)
TITLE = font(True, 19)
CLIENT = (499, 360)
INSETS = (3, 22, 3, 3)


def text_width(f, text):
    return round(f.getlength(text))


def wrap(f, text, width):
    lines, line = [], ""
    for word in text.split(" "):
        trial = (line + " " + word).strip()
        if text_width(f, trial) <= width:
            line = trial
        else:
            lines.append(line)
            line = word
    lines.append(line)
    return lines


def frame_window(client, caption, strips):
    """The window as the frame draws it around a client picture."""
    w, h = client.size[0] + INSETS[0] + INSETS[2], client.size[1] + INSETS[1] + INSETS[3]
    win = Image.new("RGBA", (w, h), art.rgba(art.WINDOW))
    d = ImageDraw.Draw(win)
    d.rectangle([0, 0, w - 1, h - 1], outline=art.rgba(art.LIGHT_BLUE))
    d.rectangle([1, 1, w - 2, h - 2], outline=art.rgba(art.WINDOW))
    d.rectangle([2, 2, w - 3, h - 3], outline=art.rgba(art.LIGHT_BLUE))
    d.rectangle([2, 2, w - 3, 21], fill=art.rgba(art.CAPTION))
    # Close only, at W - 21 (the wizard shows no minimize or maximize).
    close = strips["vo_modifier_close.png"].crop((0, 0, 18, 18))
    win.alpha_composite(close, (w - 21, 3))
    x = 8
    pieces = caption.split(">")
    for i, piece in enumerate(pieces):
        d.text((x, 5), piece, font=BOLD, fill=art.rgba(art.WINDOW))
        x += text_width(BOLD, piece)
        if i + 1 < len(pieces):
            for j in range(5):
                d.line([(x + j, 7 + j), (x + j, 15 - j)], fill=art.rgba(art.LIGHT_BLUE))
            x += 5
    win.alpha_composite(client, (INSETS[0], INSETS[1]))
    return win


def page(background, title, text=None, text_top=144, text_height=153):
    img = background.crop((0, 0) + CLIENT).copy()
    d = ImageDraw.Draw(img)
    d.text((144, 112), title, font=TITLE, fill=(0, 0, 0, 255))
    if text:
        y = text_top
        for line in wrap(NORMAL, text, 329):
            if y + 13 > text_top + text_height:
                break
            d.text((144, y), line, font=NORMAL, fill=(0, 0, 0, 255))
            y += 13
    return img


def button(img, strips, name, caption, x, y, frame=0, position="right"):
    strip = strips[name]
    fw, fh = art.BUTTON_SIZE
    img.alpha_composite(strip.crop((frame * fw, 0, frame * fw + fw, fh)), (x, y))
    colours = {0: art.TEXT_NORMAL, 1: art.TEXT_DISABLED, 2: art.TEXT_PRESSED, 3: art.TEXT_NORMAL,
               4: art.TEXT_NORMAL}
    left = 24 if position == "left" else 6
    ImageDraw.Draw(img).text((x + left, y + 3), caption, font=NORMAL,
                             fill=art.rgba(colours[frame]))


def draw_frame(d, r, enabled=True):
    """The theme's two-tone frame: dark top-left, light bottom-right."""
    l, t, rr, b = r
    dark = art.CAPTION if enabled else art.LIGHT_BLUE
    d.line([(l, b - 1), (l, t), (rr - 1, t)], fill=art.rgba(dark))
    d.line([(rr - 1, t + 1), (rr - 1, b - 1), (l, b - 1)], fill=art.rgba(art.LIGHT_BLUE))


def edit(img, x, y, w, text, h=21):
    d = ImageDraw.Draw(img)
    d.rectangle([x, y, x + w - 1, y + h - 1], fill=art.rgba(art.WINDOW))
    draw_frame(d, (x, y, x + w, y + h))
    d.text((x + 4, y + 4), text, font=NORMAL, fill=(0, 0, 0, 255))


def progress(img, x, y, w, h, percent):
    d = ImageDraw.Draw(img)
    d.rectangle([x, y, x + w - 1, y + h - 1], fill=art.rgba(art.WINDOW))
    draw_frame(d, (x, y, x + w, y + h))
    fill = round((w - 4) * percent / 100) + 2
    if fill > 2:
        d.rectangle([x + 2, y + 2, x + fill - 1, y + h - 3], fill=art.rgba(art.FOCUS))
    t = f"{percent} %"
    d.text((x + (w - text_width(NORMAL, t)) // 2, y + (h - 13) // 2), t, font=NORMAL,
           fill=(0, 0, 0, 255))


def combo(img, x, y, w, text, h=21):
    edit(img, x, y, w, text, h)
    d = ImageDraw.Draw(img)
    a = x + w - 18
    d.rectangle([a + 1, y + 2, x + w - 3, y + h - 3], fill=art.rgba(art.LIGHT_BLUE))
    m = a + 8
    d.polygon([(m - 2, y + 8), (m + 2, y + 8), (m, y + 10)], fill=(0, 0, 0, 255))


def check(img, x, y, caption):
    d = ImageDraw.Draw(img)
    draw_frame(d, (x, y + 2, x + 13, y + 15))
    d.rectangle([x + 1, y + 3, x + 11, y + 13], fill=art.rgba(art.WINDOW))
    for (lx, y0, y1) in [(3, 7, 10), (4, 8, 11), (5, 9, 12), (6, 8, 11), (7, 7, 10), (8, 6, 9),
                         (9, 5, 8)]:
        d.line([(x + lx, y + y0), (x + lx, y + y1 - 1)], fill=(0, 0, 0, 255))
    d.text((x + 16, y + 2), caption, font=NORMAL, fill=(0, 0, 0, 255))


def write_previews(strips, outdir):
    os.makedirs(outdir, exist_ok=True)
    bg = strips["wizard_background.png"]
    product = "Voorbeeld Notities"

    welcome = page(bg, "Welkom",
                   f"U hebt ervoor gekozen om {product} te installeren op uw computer. Deze wizard "
                   "begeleidt u door het installatie proces. Als u niet zeker bent van eventuele "
                   "aangepaste instellingen, kunt u de standaard instellingen gebruiken die in de "
                   "wizard zijn aangegeven.")
    button(welcome, strips, "button_previous.png", "Vorige", 284, 304, position="left")
    button(welcome, strips, "button_next.png", "Volgende", 384, 304, frame=4)

    path = page(bg, "Installatie map",
                f"De installatie wizard zal {product} in de onderstaande map installeren. Als u "
                f"{product} in een andere map wilt installeren, kunt u gebruik maken van de "
                "'Bladeren' knop om een andere map te selecteren. Gebruik de 'Volgende' knop om "
                "verder te gaan.", text_height=73)
    ImageDraw.Draw(path).text((144, 223), "Installatie map", font=NORMAL, fill=(0, 0, 0, 255))
    edit(path, 144, 240, 334, "C:\\Program Files\\Voorbeeld Notities")
    button(path, strips, "button_plain.png", "Bladeren", 384, 264)
    button(path, strips, "button_previous.png", "Vorige", 284, 304, position="left")
    button(path, strips, "button_next.png", "Volgende", 384, 304)

    language = page(bg, "Taal")
    d = ImageDraw.Draw(language)
    d.text((144, 144), "Kies uw taal...", font=NORMAL, fill=(0, 0, 0, 255))
    d.text((144, 160), "Choose your language...", font=NORMAL, fill=(0, 0, 0, 255))
    combo(language, 144, 176, 124, "Nederlands")
    d.text((144, 272), "Internet Instellingen...", font=NORMAL, fill=(0, 0, 128, 255))
    w = text_width(NORMAL, "Internet Instellingen...")
    d.line([(144, 284), (144 + w, 284)], fill=(0, 0, 128, 255))
    button(language, strips, "button_next.png", "Volgende", 384, 304)

    installing = page(bg, "Bezig met installeren...")
    progress(installing, 144, 144, 329, 20, 42)
    progress(installing, 144, 168, 329, 20, 87)

    done = page(bg, "Installatie voltooid!",
                "De installatie wizard heeft de benodigde bestanden geïnstalleerd. Gebruik de "
                "'Afronden' knop om het installatie programma af te sluiten.", text_height=113)
    check(done, 144, 264, f"Start {product}")
    button(done, strips, "button_plain.png", "Afronden", 384, 304, frame=2)

    pages = [("welcome", welcome), ("installpath", path), ("language", language),
             ("installing", installing), ("done", done)]
    for name, client in pages:
        frame_window(client, "Installatie Programma", strips).save(
            os.path.join(outdir, f"page_{name}.png"))

    # All pages side by side, at their real size, as a person scans them.
    sheet = Image.new("RGBA", (2 * 505 + 30, 3 * 385 + 40), (90, 90, 90, 255))
    for i, (name, client) in enumerate(pages):
        win = frame_window(client, "Installatie Programma > Taal" if name == "language"
                           else "Installatie Programma", strips)
        sheet.alpha_composite(win, (10 + (i % 2) * 515, 10 + (i // 2) * 395))
    sheet.save(os.path.join(outdir, "pages.png"))

    # Every frame of the three strips with its caption, enlarged three times.
    names = [("button_next.png", "Volgende", "right"), ("button_previous.png", "Vorige", "left"),
             ("button_plain.png", "Bladeren", "right")]
    states = Image.new("RGBA", (5 * 104 + 10, 3 * 30 + 10), art.rgba(art.FOOTER))
    for row, (name, caption, pos) in enumerate(names):
        for frame in range(5):
            button(states, strips, name, caption, 10 + frame * 104, 10 + row * 30, frame, pos)
    states.resize((states.width * 3, states.height * 3), Image.NEAREST).save(
        os.path.join(outdir, "buttons.png"))

    # The caption buttons on the caption bar, enlarged four times.
    kinds = ["minimize", "maximize", "restore", "close"]
    bar = Image.new("RGBA", (5 * 26 + 8, len(kinds) * 24 + 4), art.rgba(art.CAPTION))
    for row, kind in enumerate(kinds):
        strip = strips[f"vo_modifier_{kind}.png"]
        for frame in range(5):
            bar.alpha_composite(strip.crop((frame * 18, 0, frame * 18 + 18, 18)),
                                (4 + frame * 26, 3 + row * 24))
    bar.resize((bar.width * 4, bar.height * 4), Image.NEAREST).save(
        os.path.join(outdir, "caption_buttons.png"))
