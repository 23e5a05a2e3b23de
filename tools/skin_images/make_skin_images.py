"""Draws the images of the skin package, each at 1x and 2x.

Usage: make_skin_images.py OUTPUT_FOLDER

The images are committed under res/skin/img/: `name.png` for 96 DPI and
`name@2x.png` with twice the pixels for 192 DPI, drawn from the same shapes
(edges stay one device pixel soft at either density). This script is how
they were made, and running it again reproduces them byte for byte. It
needs nothing but the Python standard library.
"""
import math
import os
import struct
import sys
import zlib


def png_bytes(width, height, rows, alpha):
    """rows: list of lists of (r, g, b, a) tuples."""
    channels = 4 if alpha else 3
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for pixel in row:
            raw.extend(pixel[:channels])

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack('>IIBBBBB', width, height, 8, 6 if alpha else 2, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header)
            + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def hex_rgb(text):
    value = int(text.lstrip('#'), 16)
    return (value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF


def blank(width, height):
    return [[(0, 0, 0, 0)] * width for _ in range(height)]


def coverage_rounded_rect(x, y, left, top, right, bottom, radius):
    """Approximate coverage (0..1) of pixel (x, y) by a rounded rectangle."""
    samples = 4
    inside = 0
    for sy in range(samples):
        for sx in range(samples):
            px = x + (sx + 0.5) / samples
            py = y + (sy + 0.5) / samples
            if not (left <= px <= right and top <= py <= bottom):
                continue
            cx = min(max(px, left + radius), right - radius)
            cy = min(max(py, top + radius), bottom - radius)
            if (px - cx) ** 2 + (py - cy) ** 2 <= radius * radius:
                inside += 1
    return inside / (samples * samples)


def background(scale):
    width, height = 500 * scale, 340 * scale
    base = (13, 23, 37)
    line = (30, 48, 72)
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            # A faint vertical shading keeps the navy from looking flat.
            shade = 1.0 + 0.10 * (0.5 - y / height)
            r, g, b = (min(255, int(c * shade)) for c in base)
            art = 0.0
            # Two families of thin diagonal lines on the right-hand side.
            if (x + y) % (46 * scale) == 0 and x > 260 * scale:
                art = max(art, 0.45 * min(1.0, (x - 260 * scale) / (120 * scale)))
            if (x - 2 * y) % (71 * scale) == 0 and x > 320 * scale:
                art = max(art, 0.30)
            # Concentric arcs around a point below the bottom-left corner.
            distance = math.hypot(x + 60 * scale, y - 420 * scale) / scale
            if abs(distance % 38 - 19) < 0.6 / scale and distance < 420:
                art = max(art, 0.35)
            r = int(r + (line[0] - r) * art)
            g = int(g + (line[1] - g) * art)
            b = int(b + (line[2] - b) * art)
            row.append((r, g, b, 255))
        rows.append(row)
    return width, height, rows, False


def logo(scale):
    size = 16 * scale
    blue = hex_rgb('#2BA2F9')
    rows = blank(size, size)
    for y in range(size):
        for x in range(size):
            disc = coverage_rounded_rect(x, y, 0.5 * scale, 0.5 * scale, 15.5 * scale, 15.5 * scale, 7.5 * scale)
            if disc == 0:
                continue
            # An upward chevron cut out of the disc: the mark of an upgrade.
            cx, cy = (x + 0.5) / scale - 8, (y + 0.5) / scale - 8
            chevron = abs(cy + 2.5 - abs(cx) * 0.9) < 1.3 and abs(cx) < 4.5
            if chevron:
                rows[y][x] = (255, 255, 255, int(255 * disc))
            else:
                rows[y][x] = blue + (int(255 * disc),)
    return size, size, rows, True


def close_glyph(scale):
    cell_size = 28 * scale
    width, height = 2 * cell_size, cell_size
    rows = blank(width, height)
    colours = [hex_rgb('#8C9BAB'), hex_rgb('#E5484D')]
    for cell, colour in enumerate(colours):
        for y in range(height):
            for x in range(cell_size):
                px, py = (x + 0.5) / scale - 14, (y + 0.5) / scale - 14
                if abs(px) > 5.5 or abs(py) > 5.5:
                    continue
                d = min(abs(px - py), abs(px + py)) / math.sqrt(2)
                cover = max(0.0, min(1.0, (1.6 - d) * scale))
                if cover > 0:
                    rows[y][cell * cell_size + x] = colour + (int(255 * cover),)
    return width, height, rows, True


def scroll_thumb(scale):
    width, height = 12 * scale, 60 * scale
    cell_width = 6 * scale
    rows = blank(width, height)
    slate = hex_rgb('#687385')
    for cell, opacity in enumerate((0.70, 1.0)):
        for y in range(height):
            for x in range(cell_width):
                cover = coverage_rounded_rect(x, y, 0, 0, cell_width, height, 3 * scale)
                if cover > 0:
                    rows[y][cell * cell_width + x] = slate + (int(255 * cover * opacity),)
    return width, height, rows, True


def button(faces, scale):
    width, height = 120 * scale, 108 * scale
    face_height = 36 * scale
    rows = blank(width, height)
    for cell, face in enumerate(faces):
        colour = hex_rgb(face)
        for y in range(face_height):
            for x in range(width):
                cover = coverage_rounded_rect(x, y, 0, 0, width, face_height, 4 * scale)
                if cover > 0:
                    rows[cell * face_height + y][x] = colour + (int(255 * cover),)
    return width, height, rows, True


IMAGES = {
    'pic_bg': background,
    'icon_logo': logo,
    'icon_close': close_glyph,
    'icon_vscrollbar': scroll_thumb,
    'buttonA': lambda scale: button(('#2BA2F9', '#4BB0FA', '#268EDB'), scale),
    'buttonB': lambda scale: button(('#798A9C', '#8DA2B8', '#687787'), scale),
}

# File name suffix of each density.
SCALES = {1: '', 2: '@2x'}


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, draw in IMAGES.items():
        for scale, suffix in SCALES.items():
            width, height, rows, alpha = draw(scale)
            with open(os.path.join(folder, name + suffix + '.png'), 'wb') as out:
                out.write(png_bytes(width, height, rows, alpha))


if __name__ == '__main__':
    main()
