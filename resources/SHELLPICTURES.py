#!/usr/bin/python3
# Draws the analysis program's pictures, each a bitmap in 16 colours:
#   EDITFILE, LISTING, BATCH, EXIT, HELP  the main window's tool buttons, 24 x 24;
#   2DPLOT, 3DPLOT, TREE                   the parameter dialog's plot buttons, 20 x 20;
#   SPLASH                                 the splash window's picture, 64 x 64;
#   MORVAPC                                the program's icon (about window), 32 x 32.
# The button faces are drawn on olive, the colour of their bottom-left pixel,
# which the buttons show as transparent. Run it from this folder to make the
# bitmaps again.
from bmp16 import (AQUA, BLACK, BLUE, GREEN, GREY, LIME, MAROON, NAVY, OLIVE, RED, SILVER, TEAL, WHITE, YELLOW,
                   Picture)


def page(p, x0, y0, x1, y1):
    """A sheet of paper with a folded top-right corner and a shadow."""
    p.box(x0 + 1, y0 + 1, x1 + 1, y1 + 1, GREY)
    p.box(x0, y0, x1, y1, WHITE)
    p.frame(x0, y0, x1, y1, BLACK)
    for i in range(4):
        p.line(x1 - 3 + i, y0, x1, y0 + 3 - i, OLIVE if i else BLACK)
    p.line(x1 - 3, y0, x1 - 3, y0 + 3, BLACK)
    p.line(x1 - 3, y0 + 3, x1, y0 + 3, BLACK)


def edit_file():
    p = Picture(24, 24, OLIVE)
    page(p, 2, 1, 17, 21)
    for y in (6, 10, 14, 18):  # the rows and columns of a matrix
        p.line(4, y, 15, y, SILVER)
    for x in (7, 11):
        p.line(x, 5, x, 19, SILVER)
    for y in (8, 12, 16):
        p.line(5, y, 6, y, NAVY)
        p.line(9, y, 10, y, NAVY)
    for i in range(10):  # a pencil from the top right down to the page
        x, y = 21 - i, 6 + i
        p.dot(x, y - 1, BLACK)
        p.dot(x, y, YELLOW)
        p.dot(x + 1, y, RED if i < 2 else YELLOW)
        p.dot(x + 1, y + 1, BLACK)
    p.dot(11, 16, BLACK)
    p.dot(12, 16, SILVER)
    p.dot(11, 15, SILVER)
    p.save('EDITFILE')


def listing():
    p = Picture(24, 24, OLIVE)
    page(p, 6, 1, 21, 19)  # the page behind, then the one in front
    page(p, 2, 4, 17, 22)
    for y, length in ((8, 11), (10, 9), (12, 11), (14, 7), (16, 10), (18, 8)):
        p.line(4, y, 4 + length - 1, y, BLACK if y == 8 else NAVY)
    p.save('LISTING')


def batch():
    p = Picture(24, 24, OLIVE)
    page(p, 1, 1, 15, 21)
    for y in (5, 8, 11, 14, 17):
        p.dot(3, y, RED)
        p.line(5, y, 12, y, NAVY)
    p.art(13, 8, [  # a green arrow: run
        "K         ",
        "KGK       ",
        "KGGGK     ",
        "KGGGGGK   ",
        "KGGGGGGGK ",
        "KGGGGGGGGK",
        "KGGGGGGGK ",
        "KGGGGGK   ",
        "KGGGK     ",
        "KGK       ",
        "K         ",
    ], {'K': BLACK, 'G': LIME})
    p.save('BATCH')


def exit_door():
    p = Picture(24, 24, OLIVE)
    p.box(3, 2, 14, 21, MAROON)  # the door frame and the open door
    p.frame(3, 2, 14, 21, BLACK)
    p.box(5, 4, 12, 21, BLACK)
    for y in range(4, 22):  # the door, open towards the viewer
        p.line(5, y, 8 + (y - 4) // 6, y, TEAL)
    p.art(4, 3, [
        " KKKK",
        " KYYK",
    ], {'K': BLACK, 'Y': YELLOW})
    p.art(10, 7, [
        "      KK   ",
        "      KRK  ",
        "KKKKKKKRRK ",
        "KRRRRRRRRRK",
        "KRRRRRRRRRRK",
        "KRRRRRRRRRK",
        "KKKKKKKRRK ",
        "      KRK  ",
        "      KK   ",
    ], {'K': BLACK, 'R': RED})
    p.save('EXIT')


def help_mark():
    p = Picture(24, 24, OLIVE)
    p.disc(11, 11, 10, BLACK)
    p.disc(11, 11, 9, BLUE)
    p.art(6, 4, [
        "  WWWWW   ",
        " WWWWWWW  ",
        "WWW   WWW ",
        "WWW   WWW ",
        "     WWW  ",
        "    WWW   ",
        "    WWW   ",
        "    WWW   ",
        "          ",
        "    WWW   ",
        "    WWW   ",
    ], {'W': WHITE})
    p.save('HELP')


def axes(p, x0, y0, x1, y1):
    p.line(x0, y0, x0, y1, BLACK)
    p.line(x0, y1, x1, y1, BLACK)
    for y in range(y0 + 2, y1, 4):
        p.dot(x0 - 1, y, BLACK)
    for x in range(x0 + 4, x1 + 1, 4):
        p.dot(x, y1 + 1, BLACK)


def plot_2d():
    p = Picture(20, 20, OLIVE)
    p.box(2, 0, 19, 17, WHITE)
    axes(p, 2, 0, 19, 17)
    for x, y in ((6, 13), (8, 10), (10, 12), (12, 7), (14, 8), (16, 4)):
        p.marker(x, y, RED)
    p.save('2DPLOT')


def plot_3d():
    p = Picture(20, 20, OLIVE)
    p.line(7, 0, 7, 13, BLACK)  # up
    p.line(7, 13, 19, 13, BLACK)  # right
    p.line(7, 13, 1, 18, BLACK)  # towards the viewer
    for x, y, c in ((11, 5, RED), (15, 9, BLUE), (4, 9, GREEN), (13, 16, RED), (10, 10, BLUE)):
        p.marker(x, y, c)
    p.save('3DPLOT')


def dendrogram(p, x0, y0, step, scale, colour):
    """A dendrogram of four objects `step` apart, 7 x `scale` high, leaves at the bottom."""
    bottom = y0 + 7 * scale
    leaves = [x0 + i * step for i in range(4)]
    joins = [(0, 1, y0 + 4 * scale), (2, 3, y0 + 5 * scale)]
    for a, b, y in joins:
        p.line(leaves[a], bottom, leaves[a], y, colour)
        p.line(leaves[b], bottom, leaves[b], y, colour)
        p.line(leaves[a], y, leaves[b], y, colour)
    left = (leaves[0] + leaves[1]) // 2
    right = (leaves[2] + leaves[3]) // 2
    top = y0 + scale
    p.line(left, joins[0][2], left, top, colour)
    p.line(right, joins[1][2], right, top, colour)
    p.line(left, top, right, top, colour)
    p.line((left + right) // 2, top, (left + right) // 2, y0, colour)
    return leaves, bottom


def tree():
    p = Picture(20, 20, OLIVE)
    p.box(0, 0, 19, 18, WHITE)
    p.frame(0, 0, 19, 18, GREY)
    leaves, bottom = dendrogram(p, 4, 1, 4, 2, BLACK)
    for x, c in zip(leaves, (RED, RED, BLUE, BLUE)):
        p.box(x - 1, bottom + 1, x + 1, bottom + 2, c)
    p.save('TREE')


def emblem(p, axes, groups, tree, mark):
    """The program's emblem: two groups of points over the tree that joins them.
    axes: (left, top, right, bottom); groups: two (colour, points); tree: the
    dendrogram's (x, y, step, scale); mark: the leaves' marks from and to below it."""
    left, top, right, bottom = axes
    p.line(left, top, left, bottom, WHITE)
    p.line(left, bottom, right, bottom, WHITE)
    for colour, points in groups:
        for x, y in points:
            p.box(x - 1, y - 1, x + 1, y + 1, colour)
    leaves, base = dendrogram(p, *tree, WHITE)
    colours = [groups[0][0]] * 2 + [groups[1][0]] * 2
    for x, c in zip(leaves, colours):
        p.box(x - 1, base + mark[0], x + 1, base + mark[1], c)


def splash():
    p = Picture(64, 64, BLUE)
    p.box(2, 2, 61, 61, NAVY)
    p.frame(2, 2, 61, 61, AQUA)
    emblem(p, (8, 8, 56, 34),
           [(YELLOW, ((14, 28), (17, 24), (20, 27), (16, 30), (22, 22))),
            (AQUA, ((38, 14), (42, 12), (45, 17), (40, 18), (48, 13)))],
           (14, 37, 9, 3), (2, 4))
    p.save('SPLASH')


def icon():
    p = Picture(32, 32, NAVY)
    p.frame(0, 0, 31, 31, BLUE)
    emblem(p, (4, 4, 27, 17),
           [(YELLOW, ((8, 13), (10, 10), (12, 14))), (AQUA, ((20, 6), (23, 9), (25, 5)))],
           (7, 19, 6, 1), (1, 2))
    p.save('MORVAPC')


edit_file()
listing()
batch()
exit_door()
help_mark()
plot_2d()
plot_3d()
tree()
splash()
icon()
