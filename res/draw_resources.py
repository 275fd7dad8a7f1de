#!/usr/bin/python3
"""Redraws the launcher's bitmaps (res/bitmaps/*.bmp) and its icon group (res/icons/launcher.ico).

Needs Debian's python3-pil, fonts-noto-cjk and fonts-urw-base35. The output is the same on every
run: all randomness comes from fixed seeds. The build embeds the committed files and never runs
this script; res/CMakeLists.txt gives each file its resource number.

Every image is drawn for the place where the windows show it: the button, bar and label images
are cut from, or drawn over, the skin beneath them, so that they sit on it without a seam. The
skins' cut-away parts have the key colour exactly; no other pixel of a skin has it.
"""

import pathlib

from PIL import ImageChops, ImageFilter

from artwork.files import write_bmp, write_ico
from artwork.frames import framed_button, inset_panel, ornament_line, stud, war_banner, window_frame
from artwork.paint import (BRONZE, CJK_SIMPLIFIED, GOLD_TEXT, SANS_CJK, SERIF_CJK, SERIF_LATIN,
                           bevelled_band, erode, font, gilded, gradient, keyed, offset, paint,
                           scaled, shade, shape, solid, text_mask)
from artwork.scene import launcher_scene, update_scene

HERE = pathlib.Path(__file__).resolve().parent


# Where the main window puts its browser (left, top, right, bottom) and its buttons (x, y, width,
# height).
LAUNCHER_BROWSER = (390, 215, 1072, 619)
LAUNCHER_CLOSE = (1102, 197, 28, 28)
LAUNCHER_MINIMIZE = (1121, 232, 21, 25)
# The advice that Chinese game launchers carry.
HEALTH_NOTICE = ("抵制不良游戏，拒绝盗版游戏。注意自我保护，谨防受骗上当。"
                 "适度游戏益脑，沉迷游戏伤身。合理安排时间，享受健康生活。")

# Where the update windows put their bars and labels.
UPDATE_BARS = ((43, 107), (43, 137))
BAR_SIZE = (317, 19)
UPDATE_LABELS = {"text_total": (368, 111, 50, 16), "text_file": (368, 141, 50, 16),
                 "text_status": (145, 164, 170, 16)}
# Upper bar: all pending bytes, in ember gold; lower bar: the current file, in steel blue.
FILLS = ([(0, (255, 232, 160)), (0.35, (246, 168, 52)), (0.7, (196, 96, 18)), (1, (120, 44, 8))],
         [(0, (196, 236, 255)), (0.35, (96, 178, 222)), (0.7, (44, 112, 164)), (1, (18, 52, 90))])


def binary(mask):
    return mask.point(lambda v: 255 if v >= 128 else 0)


def logo(size, centre_x, y, height):
    """The mask of the game's name, "Zorv" and "大战" side by side, centred on centre_x."""
    latin = font(SERIF_LATIN, height)
    cjk = font(SERIF_CJK, round(height * 0.97), CJK_SIMPLIFIED)
    gap = height / 10
    latin_width, cjk_width = latin.getlength("Zorv"), cjk.getlength("大战")
    left = centre_x - (latin_width + gap + cjk_width) / 2
    return ImageChops.lighter(
        text_mask(size, (left + latin_width / 2, y + height / 15), "Zorv", latin),
        text_mask(size, (left + latin_width + gap + cjk_width / 2, y), "大战", cjk))


def launcher_window_shape():
    """The main window: a plate with a crest for the logo over the left and a point below."""
    def draw(d, s):
        d.rounded_rectangle(scaled([(24, 150), (1176, 676)], s), 26 * s, fill=255)
        d.polygon(scaled([(24, 200), (24, 104), (74, 66), (164, 48), (210, 14), (256, 48),
                          (346, 66), (380, 92), (412, 150), (412, 200)], s), fill=255)
        d.polygon(scaled([(671, 670), (731, 692), (791, 670)], s), fill=255)
    return binary(shape((1200, 700), draw))


def launcher_background():
    """Bitmap 140 before its buttons, and the window's mask."""
    image = launcher_scene()
    window = launcher_window_shape()
    # The scene fades into the dark behind the browser and along the bottom.
    behind = shape(image.size, lambda d, s: d.rectangle(scaled([(380, 150), (1200, 700)], s),
                                                        fill=255))
    shade(image, behind.filter(ImageFilter.GaussianBlur(40)), 0.55)
    shade(image, gradient(image.size, [(0, (0, 0, 0)), (1, (255, 255, 255))], 600).convert("L"),
          0.5)
    window_frame(image, window)

    inset_panel(image, LAUNCHER_BROWSER, [(0, (12, 13, 18)), (1, (6, 7, 10))], border=8)
    left, top, right, bottom = LAUNCHER_BROWSER
    # On the frame's corners, clear of the browser.
    for x, y in ((left - 9, top - 9), (right + 9, top - 9), (left - 9, bottom + 9),
                 (right + 9, bottom + 9)):
        stud(image, (x, y), 8)
    ornament_line(image, top - 22, left + 40, right - 40)
    stud(image, ((left + right) // 2, top - 22), 6)

    inset_panel(image, (1093, 188, 1151, 266), [(0, (22, 20, 24)), (1, (12, 10, 14))], border=4,
                radius=8)
    war_banner(image, (1104, 296, 1140, 590), 4)

    gilded(image, logo(image.size, 210, 100, 60))
    subtitle = text_mask(image.size, (210, 152), "Z O R V   ·   B A T T L E",
                         font(SERIF_LATIN, 13))
    shade(image, offset(subtitle, 1, 1).filter(ImageFilter.GaussianBlur(1)), 0.9)
    paint(image, (222, 184, 112), subtitle)

    notice = text_mask(image.size, ((left + right) // 2, 646), HEALTH_NOTICE,
                       font(SANS_CJK, 12, CJK_SIMPLIFIED))
    shade(image, offset(notice, 1, 1), 0.8)
    paint(image, (150, 126, 92), notice)
    return image, window


def button_states(skin, place, outline, glyph, fields, glyph_colours, light):
    """The normal, pressed and hover faces of a button, drawn over the skin at place."""
    x, y, width, height = place
    base = skin.crop((x, y, x + width, y + height))
    normal, pressed, hover = fields
    return {
        "normal": framed_button(base, outline, normal, glyph, glyph_colours[0]),
        "pressed": framed_button(base, outline, pressed, glyph, glyph_colours[1], pressed=True),
        "hover": framed_button(base, outline, hover, glyph, glyph_colours[2], light=light),
    }


def close_buttons(skin):
    """A round crimson seal with a cross."""
    def circle(d, s):
        d.ellipse([1 * s, 1 * s, 27 * s, 27 * s], fill=255)

    def cross(d, s):
        for line in ([(9.5, 9.5), (18.5, 18.5)], [(18.5, 9.5), (9.5, 18.5)]):
            d.line(scaled(line, s), fill=255, width=round(2.4 * s))

    return button_states(
        skin, LAUNCHER_CLOSE, circle, cross,
        ([(0, (150, 30, 22)), (1, (60, 8, 8))], [(0, (56, 8, 8)), (1, (104, 20, 16))],
         [(0, (232, 62, 36)), (1, (118, 16, 12))]),
        ((240, 210, 150), (196, 160, 110), (255, 246, 220)), (255, 200, 120))


def minimize_buttons(skin):
    """A small steel-blue shield with a bar."""
    def shield(d, s):
        d.polygon(scaled([(1, 1), (20, 1), (20, 14), (10.5, 24), (1, 14)], s), fill=255)

    def bar(d, s):
        d.line(scaled([(6, 10.5), (15, 10.5)], s), fill=255, width=round(2.4 * s))

    return button_states(
        skin, LAUNCHER_MINIMIZE, shield, bar,
        ([(0, (52, 86, 116)), (1, (14, 26, 40))], [(0, (12, 22, 34)), (1, (36, 62, 86))],
         [(0, (96, 170, 214)), (1, (28, 60, 90))]),
        ((236, 214, 160), (190, 170, 124), (255, 248, 226)), (170, 220, 255))


def update_window_shape():
    """The update windows: a plate with a crest for the logo in the middle of its top."""
    def draw(d, s):
        d.rounded_rectangle(scaled([(4, 24), (457, 206)], s), 16 * s, fill=255)
        d.polygon(scaled([(128, 40), (146, 20), (196, 12), (230.5, 1), (265, 12), (315, 20),
                          (333, 40)], s), fill=255)
    return binary(shape((461, 210), draw))


def bar_images(base, fill_stops):
    """A bar's track and fill over base: a recessed groove, empty or filled."""
    width, height = base.size
    groove = shape(base.size, lambda d, s: d.rounded_rectangle(
        [0, 0, width * s - 1, height * s - 1], height * s // 2, fill=255))
    recess = erode(groove, 2)
    track = base.copy()
    bevelled_band(track, groove, BRONZE, 0, height, light=60, dark=140)
    paint(track, gradient(base.size, [(0, (2, 2, 4)), (1, (12, 13, 18))], 2, height - 2), recess)
    top_shadow = ImageChops.subtract(recess, offset(recess, 0, 3))
    shade(track, top_shadow.filter(ImageFilter.GaussianBlur(1)), 0.8)

    fill = track.copy()
    paint(fill, gradient(base.size, fill_stops, 2, height - 2), recess)

    def stripes(d, s):
        for x in range(0, width + 12, 14):
            d.polygon(scaled([(x, 0), (x + 6, 0), (x - 3, height), (x - 9, height)], s), fill=255)

    paint(fill, (0, 0, 0), ImageChops.multiply(shape(base.size, stripes), recess), 0.12)
    gloss = ImageChops.subtract(recess, offset(recess, 0, 5)).filter(ImageFilter.GaussianBlur(1))
    paint(fill, (255, 255, 255), ImageChops.multiply(gloss, recess), 0.35)
    shade(fill, ImageChops.subtract(recess, offset(recess, 0, -2)), 0.35)
    return track, fill


def update_background():
    """Bitmap 141 with the empty bars on it, its window's mask, and the bars' track and fill."""
    image = update_scene()
    window = update_window_shape()
    window_frame(image, window)
    inset_panel(image, (26, 97, 435, 191), [(0, (15, 16, 22)), (1, (8, 9, 12))], border=5,
                radius=5)
    gilded(image, logo(image.size, 230.5, 32, 30), outline_width=2)
    bars = []
    for (x, y), stops in zip(UPDATE_BARS, FILLS):
        track, fill = bar_images(image.crop((x, y, x + BAR_SIZE[0], y + BAR_SIZE[1])), stops)
        image.paste(track, (x, y))
        bars.append((track, fill))
    return image, window, bars


def icon_image(size):
    """The launcher's icon at one size: a gold-rimmed crimson shield bearing a Z."""
    def outline(d, s, inset=0.0):
        top, side, point = 0.07 * size + inset, 0.1 * size + inset, 0.95 * size - inset * 1.4
        # The right flank curves from half height down to the point (a quadratic Bezier).
        flank = [((1 - t) ** 2 * (size - side) + 2 * (1 - t) * t * (size - side) + t * t * size / 2,
                  (1 - t) ** 2 * 0.5 * size + 2 * (1 - t) * t * 0.8 * size + t * t * point)
                 for t in (k / 12 for k in range(13))]
        mirrored = [(size - x, y) for x, y in reversed(flank)]
        d.polygon(scaled([(side, top), (size - side, top)] + flank + mirrored[1:], s), fill=255)

    canvas = solid((size, size), (0, 0, 0))
    shield = shape(canvas.size, outline)
    field = shape(canvas.size, lambda d, s: outline(d, s, max(1.0, size / 18)))
    bevelled_band(canvas, shield, [(0, (255, 226, 150)), (0.5, (206, 150, 64)), (1, (120, 76, 24))],
                  0, size, light=140, dark=90)
    paint(canvas, gradient(canvas.size, [(0, (168, 34, 24)), (1, (54, 6, 8))]), field)
    # The small icon has a larger letter, to stay readable.
    letter_size = round(size * (0.62 if size >= 32 else 0.8))
    letter = text_mask(canvas.size, (size / 2, size * 0.46), "Z", font(SERIF_LATIN, letter_size))
    if size >= 32:
        drop = offset(letter, 0, max(1, size // 32)).filter(ImageFilter.GaussianBlur(size / 40))
        shade(canvas, drop, 0.9)
    paint(canvas, gradient(canvas.size, GOLD_TEXT, size * 0.2, size * 0.72), letter)
    canvas.putalpha(shield)
    return canvas


def main():
    launcher, launcher_window = launcher_background()
    closes, minimizes = close_buttons(launcher), minimize_buttons(launcher)
    launcher.paste(closes["normal"], LAUNCHER_CLOSE[:2])
    launcher.paste(minimizes["normal"], LAUNCHER_MINIMIZE[:2])
    update, update_window, ((total_track, total_fill), (file_track, file_fill)) = \
        update_background()
    update = keyed(update, update_window)

    bitmaps = {f"close_{state}": image for state, image in closes.items()}
    bitmaps.update({f"minimize_{state}": image for state, image in minimizes.items()})
    bitmaps.update({
        "progress_total_fill": total_fill, "progress_file_fill": file_fill,
        "progress_total_track": total_track, "progress_file_track": file_track,
        "update_background": update,
    })
    # The labels show the skin beneath them, pixel for pixel.
    for name, (x, y, width, height) in UPDATE_LABELS.items():
        bitmaps[f"{name}_background"] = update.crop((x, y, x + width, y + height))

    folder = HERE / "bitmaps"
    folder.mkdir(exist_ok=True)
    for name, image in bitmaps.items():
        write_bmp(image, folder / f"{name}.bmp", 24)
    write_bmp(keyed(launcher, launcher_window), folder / "launcher_background.bmp", 32)
    (HERE / "icons").mkdir(exist_ok=True)
    write_ico([icon_image(size) for size in (64, 32, 16)], HERE / "icons" / "launcher.ico")


if __name__ == "__main__":
    main()
