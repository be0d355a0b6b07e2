#!/usr/bin/python3
# Writes a bitmap file of 16 colours (4 bits per pixel, the standard palette)
# from rows of palette indexes, top row first; the resource scripts use it.
import struct

PALETTE = [  # the 16 standard colours, (r, g, b)
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255),
    (255, 255, 255)]
BLACK, SILVER, GREY, WHITE = 0, 7, 8, 15


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
