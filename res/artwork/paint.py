"""Drawing helpers over PIL: gradients, anti-aliased masks, light and shade, metal and gold."""

import random

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

KEY = (228, 207, 224)
SUPERSAMPLE = 4

SERIF_CJK = "/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc"
SANS_CJK = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"
SERIF_LATIN = "/usr/share/fonts/opentype/urw-base35/P052-Bold.otf"
CJK_SIMPLIFIED = 2  # face index of the SC faces in the Noto CJK collections

GOLD_TEXT = [(0.0, (255, 244, 200)), (0.42, (238, 196, 104)), (0.52, (168, 108, 36)),
             (0.62, (200, 142, 58)), (1.0, (250, 214, 130))]
BRONZE = [(0.0, (132, 98, 54)), (0.5, (82, 58, 30)), (1.0, (46, 32, 16))]


def font(path, size, index=0):
    return ImageFont.truetype(path, size, index=index)


def lerp(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def ramp(stops, t):
    """The colour at t (0 to 1) of a list of (position, colour) stops."""
    t = min(max(t, 0.0), 1.0)
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return lerp(c0, c1, 0 if p1 == p0 else (t - p0) / (p1 - p0))
    return stops[-1][1]


def gradient(size, stops, top=0, bottom=None):
    """A vertical gradient over size, running from row top to row bottom."""
    width, height = size
    bottom = height if bottom is None else bottom
    strip = Image.new("RGB", (1, height))
    strip.putdata([ramp(stops, (y - top) / max(1, bottom - top)) for y in range(height)])
    return strip.resize((width, height))


def solid(size, colour):
    return Image.new("RGB", size, colour)


def shape(size, draw):
    """An anti-aliased mask: draw(d, s) paints in coordinates scaled by s."""
    big = Image.new("L", (size[0] * SUPERSAMPLE, size[1] * SUPERSAMPLE), 0)
    draw(ImageDraw.Draw(big), SUPERSAMPLE)
    return big.resize(size, Image.BOX)


def scaled(points, s):
    return [(x * s, y * s) for x, y in points]


def scale_mask(mask, factor):
    return mask.point(lambda v: min(255, round(v * factor)))


def paint(image, source, mask, opacity=1.0):
    """Lays a colour or an image over image through mask."""
    if isinstance(source, tuple):
        source = solid(image.size, source)
    image.paste(source, (0, 0), mask if opacity == 1.0 else scale_mask(mask, opacity))


def blurred(mask, radius):
    return mask.filter(ImageFilter.GaussianBlur(radius))


def glow(image, mask, colour, radius, strength=1.0):
    """Adds light of colour around mask (screen blending)."""
    light = scale_mask(blurred(mask, radius), strength)
    layer = Image.composite(solid(image.size, colour), solid(image.size, (0, 0, 0)), light)
    image.paste(ImageChops.screen(image, layer))


def shade(image, mask, strength):
    """Darkens image through mask."""
    paint(image, (0, 0, 0), mask, strength)


def erode(mask, pixels):
    for _ in range(pixels):
        mask = mask.filter(ImageFilter.MinFilter(3))
    return mask


def offset(mask, dx, dy):
    moved = Image.new("L", mask.size, 0)
    moved.paste(mask, (dx, dy))
    return moved


def noise(size, seed):
    """Grey noise from a fixed seed."""
    return Image.frombytes("L", size, random.Random(seed).randbytes(size[0] * size[1]))


def text_mask(size, xy, text, face):
    """The mask of text centred on xy."""
    mask = Image.new("L", size, 0)
    ImageDraw.Draw(mask).text(xy, text, fill=255, font=face, anchor="mm")
    return mask


def bevelled_band(image, band, stops, top, bottom, light=90, dark=110):
    """Fills band with a metal gradient, lit from the top left."""
    paint(image, gradient(image.size, stops, top, bottom), band)
    lit = ImageChops.subtract(band, offset(band, 1, 1))
    unlit = ImageChops.subtract(band, offset(band, -1, -1))
    paint(image, (255, 226, 160), lit, light / 255)
    paint(image, (0, 0, 0), unlit, dark / 255)


def gilded(image, fill, glow_colour=(255, 120, 30), outline_width=3):
    """Gold lettering through the mask fill: dark outline, drop shadow and a warm glow."""
    outline = blurred(fill.filter(ImageFilter.MaxFilter(2 * outline_width + 1)), 0.7)
    box = fill.getbbox()
    shade(image, blurred(offset(outline, 0, 3), 4), 0.85)
    glow(image, outline, glow_colour, 9, 0.9)
    paint(image, (28, 14, 6), outline)
    paint(image, gradient(image.size, GOLD_TEXT, box[1], box[3]), fill)
    edge = ImageChops.subtract(fill, offset(fill, 0, 1))
    paint(image, (255, 252, 230), edge, 0.5)


def keyed(image, window):
    """The skin: image inside the window mask (0 or 255), the key colour exactly outside it.
    A pixel inside that happens to have the key colour is moved off it, so that the window's
    region keeps it."""
    result = Image.composite(image, solid(image.size, KEY), window)
    pixels = result.load()
    mask = window.load()
    for y in range(result.height):
        for x in range(result.width):
            if mask[x, y] and pixels[x, y] == KEY:
                pixels[x, y] = (KEY[0], KEY[1], KEY[2] - 1)
    return result
