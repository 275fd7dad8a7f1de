"""Writers of the two file formats that the launcher embeds."""

import struct

from PIL import Image


def write_bmp(image, path, bits):
    """An uncompressed, bottom-up BMP of 24 or 32 bits per pixel. The fourth byte of a 32-bit
    pixel is unused; it is 0xFF, so that a reader that takes it for alpha sees an opaque image."""
    width, height = image.size
    rgb = image.convert("RGB")
    if bits == 24:
        raw = rgb.tobytes("raw", "BGR")
    else:
        opaque = Image.new("L", image.size, 255)
        raw = Image.merge("RGBA", (*rgb.split(), opaque)).tobytes("raw", "BGRA")
    stride = width * bits // 8
    padded = (stride + 3) // 4 * 4
    rows = b"".join(raw[y * stride:(y + 1) * stride] + b"\0" * (padded - stride)
                    for y in range(height - 1, -1, -1))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(rows), 2835, 2835, 0, 0)
    path.write_bytes(header + info + rows)


def write_ico(images, path):
    """An icon group of 32-bit images with alpha, in the order given. Each image carries the
    AND mask that older readers use: set where the image is fully transparent."""
    entries = []
    for image in images:
        width, height = image.size
        rows = image.convert("RGBA").tobytes("raw", "BGRA")
        stride = width * 4
        pixels = b"".join(rows[y * stride:(y + 1) * stride] for y in range(height - 1, -1, -1))
        mask_stride = (width + 31) // 32 * 4
        alpha = image.getchannel("A").load()
        mask = bytearray()
        for y in range(height - 1, -1, -1):
            row = bytearray(mask_stride)
            for x in range(width):
                if alpha[x, y] == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        info = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 32, 0,
                           len(pixels) + len(mask), 0, 0, 0, 0)
        entries.append((width, height, info + pixels + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(entries))
    at = 6 + 16 * len(entries)
    for width, height, data in entries:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), at)
        at += len(data)
    path.write_bytes(out + b"".join(data for _, _, data in entries))
