#!/usr/bin/python3
# Draws VIRTCCHECKGLYPHS.bmp: the default glyph strip of the check-box cells,
# 42 x 14 pixels in 16 colours, three 14-pixel glyphs side by side: unchecked,
# checked and grayed. Run it from this folder to make the bitmap again.
from bmp16 import BLACK, GREY, SILVER, WHITE, write_bmp16

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

write_bmp16('VIRTCCHECKGLYPHS.bmp', rows)
