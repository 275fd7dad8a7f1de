"""Frames, panels and ornaments in bronze and gold, and the faces of the buttons."""

import math
import random

from PIL import Image, ImageChops

from artwork.paint import (BRONZE, bevelled_band, blurred, erode, glow, gradient, lerp, noise,
                           offset, paint, scaled, shade, shape)

# The rim's moulding from the outline inwards: (width in pixels, colour).
FRAME_PROFILE = [(2, (10, 7, 5)), (1, (186, 144, 80)), (3, (112, 82, 44)), (1, (30, 20, 10)),
                 (2, (150, 112, 60)), (1, (232, 190, 104)), (1, (16, 11, 7))]


def window_frame(image, window):
    """The bronze rim along the window's outline, with a shadow cast inwards."""
    depth = sum(width for width, _ in FRAME_PROFILE)
    inside = erode(window, depth)
    shade(image, blurred(ImageChops.subtract(inside, erode(inside, 14)), 6), 0.6)
    outer = window
    for width, colour in FRAME_PROFILE:
        inner = erode(outer, width)
        paint(image, colour, ImageChops.subtract(outer, inner))
        outer = inner
    rim = ImageChops.subtract(window, inside)
    paint(image, (255, 232, 170), ImageChops.subtract(rim, offset(rim, 1, 1)), 0.35)
    paint(image, (0, 0, 0), ImageChops.subtract(rim, offset(rim, -1, -1)), 0.35)


def pixels(area, s):
    """The supersampled box of the pixels of area (left, top, right, bottom; right and bottom
    exclusive)."""
    left, top, right, bottom = area
    return [left * s, top * s, right * s - 1, bottom * s - 1]


def inset_panel(image, area, fill_stops, border=6, radius=6):
    """A recessed panel in a bronze frame. The inside area (left, top, right, bottom; right and
    bottom exclusive) gets the plain fill and nothing else."""
    left, top, right, bottom = area
    outer = (left - border, top - border, right + border, bottom + border)

    def ring(d, s):
        d.rounded_rectangle(pixels(outer, s), radius * s, fill=255)
        d.rectangle(pixels(area, s), fill=0)

    frame = shape(image.size, ring)
    drop = shape(image.size, lambda d, s: d.rounded_rectangle(pixels(outer, s), radius * s,
                                                              fill=255))
    shade(image, blurred(offset(drop, 0, 3), 5), 0.7)
    inside = shape(image.size, lambda d, s: d.rectangle(pixels(area, s), fill=255))
    paint(image, gradient(image.size, fill_stops, top, bottom), inside)
    bevelled_band(image, frame, BRONZE, outer[1], outer[3])
    paint(image, (10, 7, 5), ImageChops.subtract(frame, erode(frame, 1)), 0.9)
    gold = shape(image.size, lambda d, s: (
        d.rectangle(pixels((left - 1, top - 1, right + 1, bottom + 1), s), fill=255),
        d.rectangle(pixels(area, s), fill=0)))
    paint(image, (214, 168, 86), gold, 0.8)


def stud(image, centre, radius, gem=(200, 30, 20)):
    """A gold-set gem, for the corners of frames."""
    cx, cy = centre

    def diamond(r):
        return shape(image.size, lambda d, s: d.polygon(
            scaled([(cx, cy - r), (cx + r, cy), (cx, cy + r), (cx - r, cy)], s), fill=255))

    setting, stone = diamond(radius), diamond(radius * 0.55)
    shade(image, blurred(offset(setting, 1, 2), 2), 0.8)
    bevelled_band(image, setting, [(0, (250, 214, 130)), (1, (120, 80, 30))], cy - radius,
                  cy + radius)
    glow(image, stone, gem, 3, 0.8)
    facets = [(0, lerp(gem, (255, 255, 255), 0.4)), (1, lerp(gem, (0, 0, 0), 0.4))]
    paint(image, gradient(image.size, facets, cy - radius, cy + radius), stone)


def ornament_line(image, y, left, right, colour=(214, 168, 86)):
    """A hairline that fades out towards both ends."""
    width = right - left
    strip = Image.new("L", (width, 1))
    strip.putdata([round(255 * math.sin(math.pi * x / (width - 1)) ** 0.7) for x in range(width)])
    mask = Image.new("L", image.size, 0)
    mask.paste(strip, (left, y))
    paint(image, colour, mask, 0.8)
    paint(image, (0, 0, 0), offset(mask, 0, 1), 0.6)


def war_banner(image, area, seed):
    """A crimson banner with a gold trim and crossed swords, hanging from a rod."""
    left, top, right, bottom = area
    cx = (left + right) / 2
    rng = random.Random(seed)
    # The hem comes to a rough point in the middle.
    hem = [(right, bottom - 18)]
    for k in range(1, 6):
        x = right - (right - left) * k / 6
        drop = 18 - abs(x - cx) * 36 / (right - left)
        hem.append((x, bottom - 18 + drop + rng.uniform(-3, 3)))
    outline = [(left, top), (right, top)] + hem + [(left, bottom - 18)]
    cloth = shape(image.size, lambda d, s: d.polygon(scaled(outline, s), fill=255))
    shade(image, blurred(offset(cloth, 3, 4), 5), 0.8)
    dye = [(0, (120, 22, 18)), (0.6, (74, 12, 12)), (1, (40, 6, 8))]
    paint(image, gradient(image.size, dye, top, bottom), cloth)
    folds = Image.new("L", image.size, 0)
    folds.paste(noise((right - left, 3), seed).resize((right - left, bottom - top), Image.BICUBIC),
                (left, top))
    shade(image, ImageChops.multiply(folds, cloth), 0.45)
    paint(image, (206, 160, 80), ImageChops.subtract(cloth, erode(cloth, 2)), 0.9)

    y = top + (bottom - top) * 0.4
    strokes = [[(cx - 13, y + 16), (cx + 13, y - 16)], [(cx + 13, y + 16), (cx - 13, y - 16)],
               [(cx - 15, y + 8), (cx - 6, y + 17)], [(cx + 15, y + 8), (cx + 6, y + 17)]]
    swords = shape(image.size, lambda d, s: [
        d.line(scaled(stroke, s), fill=255, width=round(2.2 * s)) for stroke in strokes])
    glow(image, swords, (255, 140, 50), 3, 0.5)
    paint(image, (236, 196, 116), swords)
    rod = shape(image.size, lambda d, s: d.rounded_rectangle(
        scaled([(left - 6, top - 5), (right + 6, top + 1)], s), 3 * s, fill=255))
    bevelled_band(image, rod, [(0, (240, 204, 124)), (1, (96, 64, 26))], top - 5, top + 1)


def framed_button(base, outline, field_stops, glyph, glyph_colour, light=None, pressed=False):
    """A button face over base: a gold-rimmed field with its glyph. outline(d, s) draws the
    face's shape, glyph(d, s) its sign; light makes the sign glow. A pressed face sinks and its
    sign moves down and right."""
    image = base.copy()
    face = shape(image.size, outline)
    shade(image, blurred(offset(face, 0, 1), 1.2), 0.9)
    rim = [(0, (248, 214, 136)), (0.5, (170, 124, 58)), (1, (92, 62, 26))]
    bevelled_band(image, face, rim, 0, image.height, light=120, dark=80)
    field = erode(face, 2)
    paint(image, gradient(image.size, field_stops), field)
    if pressed:
        shade(image, blurred(ImageChops.subtract(field, offset(field, 2, 2)), 1), 0.8)
    else:
        paint(image, (255, 255, 255), blurred(ImageChops.subtract(field, offset(field, 0, 3)), 0.8),
              0.18)
    sign = shape(image.size, glyph)
    if pressed:
        sign = offset(sign, 1, 1)
    if light:
        glow(image, sign, light, 2, 1.2)
    shade(image, offset(sign, 0, 1), 0.7)
    paint(image, glyph_colour, sign)
    return image
