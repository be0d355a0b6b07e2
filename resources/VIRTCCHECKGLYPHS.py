#!/usr/bin/python3
# Draws VIRTCCHECKGLYPHS.bmp: the default glyph strip of the check-box cells,
# 42 x 14 pixels in 16 colours, three 14-pixel glyphs side by side: unchecked,
# checked and grayed. Run it from this folder to make the bitmap again.
import struct

PALETTE = [  # the 16 standard colours, (r, g, b)
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255),
    (255, 255, 255)]
BLACK, SILVER, GREY, WHITE = 0, 7, 8, 15

# One glyph: a sunken box (grey and black above and left, silver and white
# below and right) around a 10 x 10 face; the tick is drawn on the face.
TICK = [(3, 6), (3, 7), (3, 8), (4, 7), (4, 8), (4, 9), (5, 8), (5, 9), (5, 10), (6, 7), (6, 8), (6, 9),
        (7, 6), (7, 7), (7, 8), (8, 5), (8, 6), (8, 7), (9, 4), (9, 5), (9, 6), (10, 3), (10, 4), (10, 5)]


def glyph(face, tick):
    g = [[SILVER] * 14 for _ in range(14)]
    for i in range(14):
        g[0][i] = g[i][0] = GREY
        g[13][i] = g[i][13] = WHITE
    for i in range(1, 13):
        g[1][i] = g[i][1] = BLACK
        g[12][i] = g[i][12] = SILVER
    g[13][0] = g[0][13] = WHITE
    for y in range(2, 12):
        for x in range(2, 12):
            g[y][x] = face
    if tick is not None:
        for x, y in TICK:
            g[y][x] = tick
    return g


glyphs = [glyph(WHITE, None), glyph(WHITE, BLACK), glyph(SILVER, GREY)]
rows = [sum((g[y] for g in glyphs), []) for y in range(14)]

width, height = 42, 14
stride = ((width * 4 + 31) // 32) * 4
pixels = b''
for row in reversed(rows):  # bottom-up
    line = bytes((row[x] << 4) | (row[x + 1] if x + 1 < width else 0) for x in range(0, width, 2))
    pixels += line + b'\0' * (stride - len(line))
palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(pixels), 3780, 3780, 16, 0)
offset = 14 + len(info) + len(palette)
header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
with open('VIRTCCHECKGLYPHS.bmp', 'wb') as f:
    f.write(header + info + palette + pixels)
