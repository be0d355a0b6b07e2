#!/usr/bin/python3
# Writes a bitmap file of 16 colours (4 bits per pixel, the standard palette)
# from rows of palette indexes, top row first, and draws pictures for it in
# those colours; the resource scripts use it.
import struct

PALETTE = [  # the 16 standard colours, (r, g, b)
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255),
    (255, 255, 255)]
BLACK, SILVER, GREY, WHITE = 0, 7, 8, 15
MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL = 1, 2, 3, 4, 5, 6
RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA = 9, 10, 11, 12, 13, 14


def write_bmp16(name, rows):
    width, height = len(rows[0]), len(rows)
    stride = ((width * 4 + 31) // 32) * 4
    pixels = b''
    for row in reversed(rows):  # bottom-up
        line = bytes((row[x] << 4) | (row[x + 1] if x + 1 < width else 0) for x in range(0, width, 2))
        pixels += line + b'\0' * (stride - len(line))
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(pixels), 3780, 3780, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    with open(name, 'wb') as f:
        f.write(header + info + palette + pixels)


class Picture:  # rows of palette indexes, drawn with lines, boxes and discs
    def __init__(self, width, height, background):
        self.width, self.height = width, height
        self.rows = [[background] * width for _ in range(height)]

    def dot(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = colour

    def box(self, x0, y0, x1, y1, colour):  # filled, both corners included
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        self.line(x0, y0, x1, y0, colour)
        self.line(x0, y1, x1, y1, colour)
        self.line(x0, y0, x0, y1, colour)
        self.line(x1, y0, x1, y1, colour)

    def line(self, x0, y0, x1, y1, colour):  # every pixel from one end to the other
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.dot(x0, y0, colour)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, r, colour):
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r:
                    self.dot(x, y, colour)

    def marker(self, x, y, colour):  # a 3 x 3 plot symbol with a dark rim
        self.box(x - 1, y - 1, x + 1, y + 1, BLACK)
        self.dot(x, y, colour)

    def art(self, x0, y0, lines, colours):  # characters to colours; ' ' leaves the pixel
        for dy, text in enumerate(lines):
            for dx, ch in enumerate(text):
                if ch != ' ':
                    self.dot(x0 + dx, y0 + dy, colours[ch])

    def save(self, name):
        write_bmp16(name + '.bmp', self.rows)
