#!/usr/bin/python3
# Draws VIRTCCOMBOARROW.bmp: the drop-down arrow of the combo-box cells, 7 x 4
# pixels in 16 colours, a black downward arrow on silver (silver is copied as
# transparent). Run it from this folder to make the bitmap again.
from bmp16 import BLACK, SILVER, write_bmp16

width, height = 7, 4
rows = [[BLACK if y <= x <= width - 1 - y else SILVER for x in range(width)] for y in range(height)]
write_bmp16('VIRTCCOMBOARROW.bmp', rows)
