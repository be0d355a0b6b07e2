#!/usr/bin/python3
# Draws the data editor's picture, a bitmap in 16 colours:
#   MVEDIT  the program's icon (about window), 32 x 32: a table of values
#           with its row and column labels.
# Run it from this folder to make the bitmap again.
from bmp16 import BLACK, BLUE, GREY, NAVY, SILVER, TEAL, WHITE, YELLOW, Picture


def icon():
    p = Picture(32, 32, NAVY)
    p.frame(0, 0, 31, 31, BLUE)
    p.box(6, 6, 28, 28, BLACK)  # the table's shadow
    p.box(4, 4, 26, 26, WHITE)
    p.box(4, 4, 26, 8, TEAL)  # the column labels
    p.box(4, 4, 8, 26, TEAL)  # the row labels
    for at in (8, 14, 20):  # three rows and three columns of cells
        p.line(4, at, 26, at, GREY)
        p.line(at, 4, at, 26, GREY)
    p.frame(4, 4, 26, 26, BLACK)
    p.box(15, 15, 19, 19, YELLOW)  # the current cell
    p.frame(14, 14, 20, 20, BLACK)
    for at in (11, 17, 23):
        p.dot(6, at, SILVER)  # a label in every row and column
        p.dot(at, 6, SILVER)
        for x in (10, 16, 22):  # a value in every cell
            p.line(x, at, x + 2, at, NAVY)
    p.save('MVEDIT')


icon()
