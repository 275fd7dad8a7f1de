"""The battlefield at dusk behind both skins: sky, moon, mountains, a castle, a greatsword, rocks
and embers."""

import math
import random

from PIL import Image, ImageChops, ImageDraw

from artwork.paint import blurred, glow, gradient, lerp, noise, offset, paint, scaled, shape


def ridge(width, seed, base, roughness, peaks=()):
    """Heights of a mountain ridge by midpoint displacement, with optional (x, height, spread)
    peaks added."""
    rng = random.Random(seed)
    points = 2 ** math.ceil(math.log2(width)) + 1
    heights = [0.0] * points
    step, amplitude = points - 1, roughness
    while step > 1:
        half = step // 2
        for i in range(half, points, step):
            middle = (heights[i - half] + heights[i + half]) / 2
            heights[i] = middle + rng.uniform(-1, 1) * amplitude
        step, amplitude = half, amplitude * 0.55
    result = []
    for x in range(width):
        h = base + heights[x * (points - 1) // max(1, width - 1)]
        for px, ph, spread in peaks:
            h -= ph * max(0.0, 1 - abs(x - px) / spread) ** 1.6
        result.append(h)
    return result


def fill_below(size, heights):
    """The mask of everything below a line of heights, one per column."""
    width, height = size
    mask = Image.new("L", size, 0)
    ImageDraw.Draw(mask).polygon([(0, height)] + list(enumerate(heights)) + [(width, height)],
                                 fill=255)
    return mask


def clouds(size, seed):
    """Soft fractal cloud cover: a mask, densest where clouds are thick."""
    width, height = size
    total, weights = None, 0.0
    # Octaves from coarse to fine: cell size in pixels and weight. Each blend keeps the running
    # mean weighted, so the octaves add up as 0.55, 0.3 and 0.15.
    for octave, (cells, weight) in enumerate(((48, 0.55), (22, 0.3), (9, 0.15))):
        layer = noise((max(2, width // (cells * 3)), max(2, height // cells)), seed + octave)
        layer = blurred(layer.resize(size, Image.BICUBIC), cells / 6)
        weights += weight
        total = layer if total is None else Image.blend(total, layer, weight / weights)
    lo, hi = total.getextrema()
    # Stretched to the full range, then only the densest part kept as cloud.
    return total.point(lambda v: max(0, min(255, ((v - lo) * 255 // max(1, hi - lo) - 110) * 2)))


def sky(size, horizon):
    """Night above, fire at the horizon, and a band of clouds lit from below."""
    stops = [(0.0, (7, 8, 18)), (0.35, (18, 13, 32)), (0.62, (62, 22, 34)), (0.85, (142, 48, 26)),
             (1.0, (196, 84, 30))]
    image = gradient(size, stops, 0, horizon)
    band = gradient(size, [(0.0, (40, 40, 40)), (0.55, (200, 200, 200)), (0.9, (120, 120, 120)),
                           (1.0, (0, 0, 0))], 0, horizon).convert("L")
    cover = ImageChops.multiply(clouds(size, 21), band)
    paint(image, (30, 14, 26), cover, 0.8)
    undersides = blurred(ImageChops.subtract(offset(cover, 0, -2), cover), 1)
    nearer_the_fire = gradient(size, [(0.0, (0, 0, 0)), (0.6, (40, 40, 40)),
                                      (1.0, (255, 255, 255))], 0, horizon).convert("L")
    paint(image, (220, 110, 60), ImageChops.multiply(undersides, nearer_the_fire), 0.9)
    return image


def circle(size, cx, cy, radius):
    return shape(size, lambda d, s: d.ellipse(
        [(cx - radius) * s, (cy - radius) * s, (cx + radius) * s, (cy + radius) * s], fill=255))


def moon(image, centre, radius):
    """A full moon with a warm halo; a large one shows a few craters."""
    cx, cy = centre
    disc = circle(image.size, cx, cy, radius)
    glow(image, disc, (255, 120, 50), radius * 1.4, 0.8)
    glow(image, disc, (255, 190, 120), radius * 0.35, 1.0)
    paint(image, gradient(image.size, [(0, (255, 238, 204)), (1, (236, 168, 104))],
                          cy - radius, cy + radius), disc)
    rng = random.Random(7)
    for _ in range(9 if radius > 30 else 3):
        a, r = rng.uniform(0, 2 * math.pi), rng.uniform(0, radius * 0.7)
        crater = circle(image.size, cx + r * math.cos(a), cy + r * math.sin(a),
                        rng.uniform(radius * 0.08, radius * 0.22))
        paint(image, (196, 120, 76), blurred(ImageChops.multiply(crater, disc), 1.5), 0.35)


def mountains(image, horizon, seed, layers):
    """Ranges of mountains, far to near: (rise above the horizon, roughness, colour, colour of
    the lit ridge or None, peaks as for ridge)."""
    for i, (rise, roughness, colour, rim, peaks) in enumerate(layers):
        heights = ridge(image.width, seed + i, horizon - rise, roughness, peaks)
        mask = fill_below(image.size, heights)
        haze = gradient(image.size, [(0, colour), (1, lerp(colour, (0, 0, 0), 0.5))],
                        int(min(heights)), image.height)
        paint(image, haze, mask)
        if rim:
            paint(image, rim, ImageChops.subtract(mask, offset(mask, 0, 2)), 0.75 - 0.18 * i)


def castle(image, x, ground, scale, colour, window_colour):
    """A keep with towers and spires standing on ground at x."""
    def tower(d, s, left, width, height, spire):
        top = ground - height * scale
        d.rectangle([left * s, top * s, (left + width) * s, ground * s], fill=255)
        for k in range(0, int(width / scale / 4) + 1, 2):
            bx = left + k * 4 * scale
            d.rectangle([bx * s, (top - 3 * scale) * s, (bx + 2.2 * scale) * s, top * s],
                        fill=255)
        if spire:
            d.polygon(scaled([(left - 1.5 * scale, top), (left + width / 2, top - spire * scale),
                              (left + width + 1.5 * scale, top)], s), fill=255)

    # (offset, width, height, spire height) of each tower at scale 1
    parts = [(0, 14, 40, 22), (12, 26, 30, 0), (36, 12, 56, 30), (46, 30, 24, 0),
             (74, 12, 36, 18), (84, 22, 18, 0)]
    mask = shape(image.size, lambda d, s: [tower(d, s, x + a * scale, w * scale, h, sp)
                                           for a, w, h, sp in parts])
    paint(image, colour, mask)
    rng = random.Random(3)
    for _ in range(7):
        wx = x + rng.uniform(4, 100) * scale
        wy = ground - rng.uniform(6, 40) * scale
        lit = shape(image.size, lambda d, s: d.rectangle(
            [wx * s, wy * s, (wx + 1.4 * scale) * s, (wy + 2.4 * scale) * s], fill=255))
        lit = ImageChops.multiply(lit, mask)
        glow(image, lit, window_colour, 2, 1.0)
        paint(image, window_colour, lit)


def sword(image, cx, top, tip, blade_width, guard_width, lit):
    """A greatsword standing point down, its edges lit by the sky behind it, runes glowing on
    its blade."""
    half = blade_width / 2
    guard_y = top + blade_width * 2.4
    blade_top = guard_y + half * 0.45
    shoulder = tip - blade_width * 1.6
    size = image.size

    def outline(d, s):
        pommel = half * 0.8
        d.ellipse(scaled([(cx - pommel, top - pommel), (cx + pommel, top + pommel)], s), fill=255)
        d.rectangle(scaled([(cx - half * 0.34, top), (cx + half * 0.34, guard_y)], s), fill=255)
        g = guard_width / 2
        d.polygon(scaled([
            (cx - g, guard_y - half * 0.15), (cx - g - half * 0.7, guard_y - half * 1.1),
            (cx - g * 0.45, guard_y - half * 0.45), (cx, guard_y - half * 0.7),
            (cx + g * 0.45, guard_y - half * 0.45), (cx + g + half * 0.7, guard_y - half * 1.1),
            (cx + g, guard_y - half * 0.15), (cx + g * 0.5, guard_y + half * 0.45),
            (cx - g * 0.5, guard_y + half * 0.45)], s), fill=255)
        d.polygon(scaled([(cx - half, blade_top), (cx + half, blade_top),
                          (cx + half * 0.86, shoulder), (cx, tip), (cx - half * 0.86, shoulder)],
                         s), fill=255)

    mask = shape(size, outline)
    glow(image, mask, (255, 110, 40), 12, 0.5)
    paint(image, gradient(size, [(0, (40, 34, 40)), (1, (12, 10, 14))], top, tip), mask)
    left_half = shape(size, lambda d, s: d.rectangle(scaled([(0, blade_top), (cx, tip)], s),
                                                     fill=255))
    steel = [(0, (78, 70, 76)), (0.5, (44, 38, 44)), (1, (20, 16, 20))]
    paint(image, gradient(size, steel, blade_top, tip), ImageChops.multiply(mask, left_half))
    paint(image, lit, ImageChops.subtract(mask, offset(mask, 2, 0)), 0.85)
    paint(image, lit, ImageChops.subtract(mask, offset(mask, -1, 0)), 0.5)
    paint(image, lit, ImageChops.subtract(mask, offset(mask, 0, 2)), 0.6)
    fuller = shape(size, lambda d, s: d.line(
        scaled([(cx, blade_top + blade_width * 0.6), (cx, tip - blade_width * 2.6)], s),
        fill=255, width=round(blade_width * 0.14 * s)))
    paint(image, (10, 8, 10), fuller, 0.7)

    runes = Image.new("L", size, 0)
    pen = ImageDraw.Draw(runes)
    rng = random.Random(9)
    marks = [((-3, -3), (3, 3)), ((3, -3), (-3, 3)), ((0, -4), (0, 4)), ((-3, 0), (3, 0)),
             ((-3, -3), (0, 4)), ((3, -3), (0, 4))]
    for k in range(6):
        y = blade_top + blade_width * (1.2 + k * 1.25)
        for (x0, y0), (x1, y1) in rng.sample(marks, 2):
            pen.line([(cx + x0, y + y0), (cx + x1, y + y1)], fill=255, width=1)
    glow(image, runes, (255, 110, 30), 3, 1.4)
    paint(image, (255, 186, 110), runes, 0.9)

    grip = shape(size, lambda d, s: [
        d.line(scaled([(cx - half * 0.34, y), (cx + half * 0.34, y + 3)], s), fill=255, width=s)
        for y in range(int(top + half), int(guard_y - 3), 4)])
    paint(image, (96, 70, 40), grip, 0.7)
    gem = circle(size, cx, top, half * 0.42)
    glow(image, gem, (255, 40, 20), 6, 1.0)
    paint(image, (210, 30, 22), gem)
    jewel = shape(size, lambda d, s: d.polygon(scaled([
        (cx, guard_y - half * 0.5), (cx + half * 0.42, guard_y), (cx, guard_y + half * 0.5),
        (cx - half * 0.42, guard_y)], s), fill=255))
    glow(image, jewel, (255, 150, 60), 5, 1.0)
    paint(image, (255, 200, 120), jewel)


def jagged(points, seed, depth=4, roughness=0.18):
    """The polyline through points with every segment broken into rough rock edges."""
    rng = random.Random(seed)
    for _ in range(depth):
        rough = []
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            length = math.hypot(x1 - x0, y1 - y0)
            middle = ((x0 + x1) / 2 + rng.uniform(-0.3, 0.3) * length * roughness,
                      (y0 + y1) / 2 + rng.uniform(-1, 1) * length * roughness)
            rough += [(x0, y0), middle]
        points = rough + [points[-1]]
    return points


def rocks(image, outline, seed, lit=(255, 140, 70)):
    """A dark mass of broken rock along the outline (left to right), rim-lit from above."""
    width, height = image.size
    edge = jagged(outline, seed)
    top = min(y for _, y in outline)
    mask = shape(image.size, lambda d, s: d.polygon(
        scaled([(outline[0][0], height)] + edge + [(outline[-1][0], height)], s), fill=255))
    paint(image, gradient(image.size, [(0, (34, 18, 16)), (0.25, (14, 8, 9)), (1, (6, 4, 5))],
                          top, height), mask)
    paint(image, lit, ImageChops.subtract(mask, offset(mask, 0, 2)), 0.7)
    paint(image, lit, ImageChops.subtract(mask, offset(mask, -2, 1)), 0.25)


def embers(image, area, count, seed):
    """Glowing sparks rising in area, thicker towards its bottom."""
    left, top, right, bottom = area
    rng = random.Random(seed)
    sparks = Image.new("L", image.size, 0)
    d = ImageDraw.Draw(sparks)
    for _ in range(count):
        x = rng.uniform(left, right)
        y = bottom - (bottom - top) * rng.random() ** 1.7
        r = rng.choice((0.6, 0.8, 1.0, 1.0, 1.4, 1.8))
        brightness = rng.randint(120, 255)
        d.ellipse([x - r, y - r, x + r, y + r], fill=brightness)
    glow(image, sparks, (255, 110, 30), 3, 1.6)
    paint(image, (255, 214, 140), sparks)


def launcher_scene():
    """Dusk over the mountains, a greatsword against the moon: behind the main window."""
    width, height = size = (1200, 700)
    horizon, seed = 470, 1
    image = sky(size, horizon)
    moon(image, (205, 318), 54)
    mountains(image, horizon, seed, [
        (70, 60, (58, 24, 36), (190, 80, 40), [(120, 60, 140), (560, 40, 200), (980, 70, 180)]),
        (30, 40, (36, 16, 26), (150, 60, 32), [(60, 40, 90), (330, 30, 120), (820, 50, 160)]),
    ])
    castle(image, 44, horizon - 34, 1.0, (22, 10, 18), (255, 170, 70))
    mountains(image, horizon, seed + 10, [
        (-20, 30, (18, 9, 14), None, [(260, 30, 160), (700, 20, 200)]),
        (-90, 24, (10, 6, 9), None, [(205, 50, 150), (1100, 30, 160)]),
    ])
    sword(image, 205, 232, 640, 34, 126, (255, 176, 120))
    rocks(image, [(20, 700), (60, 640), (120, 612), (170, 590), (212, 584), (262, 598),
                  (320, 626), (380, 648), (420, 700)], seed + 20)
    glow(image, fill_below(size, [height - 60] * width), (255, 90, 20), 30, 0.25)
    embers(image, (0, horizon - 260, width, height), width // 7, seed)
    return image


def update_scene():
    """The same dusk, seen wide: behind the update windows."""
    width, height = size = (461, 210)
    horizon = 100
    image = sky(size, horizon)
    moon(image, (356, 50), 13)
    mountains(image, horizon, 31, [
        (30, 9, (58, 24, 36), (190, 80, 40), [(96, 22, 90), (250, 12, 80)]),
        (14, 7, (36, 16, 26), (150, 60, 32), [(200, 12, 70), (430, 16, 60)]),
    ])
    castle(image, 34, horizon - 14, 0.42, (22, 10, 18), (255, 170, 70))
    mountains(image, horizon, 41, [(-4, 10, (18, 9, 14), (120, 46, 26), [(150, 10, 80)])])
    embers(image, (0, 20, width, 92), 40, 5)
    return image
