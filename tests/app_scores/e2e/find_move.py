#!/usr/bin/env python3
"""Finds a legal swap on a screenshot of the board.

Reads a binary PPM of the 640 x 480 play area, takes the mean colour of the
centre of every cell, groups cells of near-equal colour into gem kinds, and
prints one swap that lines up three equal gems as "x1 y1 x2 y2" (window
coordinates of the two cell centres). Rows hidden under the start tip are
skipped. Exits 1 when no swap is found.
Usage: find_move.py SHOT.ppm [FIRST-ROW]
"""
import sys

PITCH, LEFT, TOP, SIZE, PATCH = 51, 203, 16, 49, 13


def read_ppm(path):
    data = open(path, "rb").read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    width, height = int(fields[1]), int(fields[2])
    return width, data[pos + 1:]


def cell_colour(width, pixels, column, row):
    cx = LEFT + PITCH * column + SIZE // 2
    cy = TOP + PITCH * row + SIZE // 2
    total = [0, 0, 0]
    for y in range(cy - PATCH // 2, cy + PATCH // 2 + 1):
        for x in range(cx - PATCH // 2, cx + PATCH // 2 + 1):
            i = 3 * (y * width + x)
            for c in range(3):
                total[c] += pixels[i + c]
    return tuple(t / (PATCH * PATCH) for t in total)


def kinds_of(colours):
    centres, kinds = [], {}
    for cell, colour in colours.items():
        for k, centre in enumerate(centres):
            if sum((a - b) ** 2 for a, b in zip(colour, centre)) < 40 ** 2:
                kinds[cell] = k
                break
        else:
            centres.append(colour)
            kinds[cell] = len(centres) - 1
    return kinds


def makes_line(grid, column, row):
    kind = grid.get((column, row))
    if kind is None:
        return False
    for dx, dy in ((1, 0), (0, 1)):
        run = 1
        for sign in (1, -1):
            step = 1
            while grid.get((column + sign * dx * step, row + sign * dy * step)) == kind:
                run += 1
                step += 1
        if run >= 3:
            return True
    return False


def main():
    width, pixels = read_ppm(sys.argv[1])
    first_row = int(sys.argv[2]) if len(sys.argv) > 2 else 0
    cells = [(c, r) for r in range(first_row, 8) for c in range(8)]
    grid = kinds_of({cell: cell_colour(width, pixels, *cell) for cell in cells})
    for (column, row) in cells:
        for other in ((column + 1, row), (column, row + 1)):
            if other not in grid:
                continue
            swapped = dict(grid)
            swapped[(column, row)], swapped[other] = grid[other], grid[(column, row)]
            if makes_line(swapped, column, row) or makes_line(swapped, *other):
                x1 = LEFT + PITCH * column + SIZE // 2
                y1 = TOP + PITCH * row + SIZE // 2
                x2 = LEFT + PITCH * other[0] + SIZE // 2
                y2 = TOP + PITCH * other[1] + SIZE // 2
                print(x1, y1, x2, y2)
                return 0
    return 1


if __name__ == "__main__":
    sys.exit(main())
