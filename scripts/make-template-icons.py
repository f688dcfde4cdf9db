#!/usr/bin/env python3
"""Draws the icon bitmaps of the template library (data/lib/*.bmp) from the pictures below.

    scripts/make-template-icons.py [LIBDIR]     (default: data/lib beside this script's folder)

Every icon is a 16x16 Windows bitmap, 24 bits per pixel. Its top-left pixel is magenta, the
colour the palette makes transparent. NAME_a.bmp is the focused icon (full colour), NAME_d.bmp
the normal one (the same picture, paler). palette.bmp is the strip of the seven images the
palette's image lists start with; image 0 is what a template without icon files shows.
Only the standard library is used.
"""

import os
import struct
import sys

KEY = (255, 0, 255)
COLOURS = {
    ".": KEY,
    "k": (48, 48, 56),      # outline
    "w": (255, 255, 255),
    "l": (216, 220, 228),   # light grey
    "g": (140, 144, 152),   # grey
    "b": (0, 0, 200),       # the program's blue
    "B": (90, 140, 250),    # light blue
    "r": (210, 30, 30),
    "y": (251, 205, 66),    # the program's yellow
    "Y": (200, 150, 20),    # dark yellow
    "o": (240, 130, 20),
    "G": (20, 150, 40),
    "L": (110, 210, 110),   # light green
    "p": (140, 40, 170),
    "n": (150, 100, 50),    # brown
    "N": (205, 160, 100),   # light brown
    "c": (0, 170, 190),
}

PAGE = [
    "................",
    "..kkkkkkkkk.....",
    "..kwwwwwwwkk....",
    "..kwwwwwwwklk...",
    "..kwwwwwwwkkkk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kkkkkkkkkkkk..",
    "................",
]


def on_page(rows, top=5, left=4):
    """The page with rows stamped on it ("." and " " leave the page as it is)."""
    out = [list(r) for r in PAGE]
    for dy, row in enumerate(rows):
        for dx, ch in enumerate(row):
            if ch not in ". ":
                out[top + dy][left + dx] = ch
    return ["".join(r) for r in out]


PICTURES = {
    # The default template: a page of code in braces.
    "default": on_page([
        " bb    bb",
        " b      b",
        " b gggg b",
        "bb      bb",
        " b gg   b",
        " b      b",
        " bb    bb",
    ]),
    # A script's first lines: "#!" and the pragmas.
    "header": on_page([
        "r r  r",
        "rrrr r",
        "r r  r",
        "rrrr  ",
        "r r  r",
        "      ",
        "gggggg",
        "ggg   ",
    ], top=4),
    # A subroutine: a block in big braces.
    "sub": [
        "................",
        "....bb....bb....",
        "...b........b...",
        "...b........b...",
        "...b..BBBB..b...",
        "...b........b...",
        "..b...BBB....b..",
        ".b............b.",
        "..b...BBBBB..b..",
        "...b........b...",
        "...b..BB....b...",
        "...b........b...",
        "...b........b...",
        "....bb....bb....",
        "................",
        "................",
    ],
    # foreach: going round a list.
    "loop": [
        "................",
        ".....GGGGGG.....",
        "...GG......GG...",
        "..G..........G..",
        ".G............G.",
        ".G...........GGG",
        "G.............G.",
        "G...kk.kk.kk....",
        "G...kk.kk.kk....",
        ".G..............",
        "GGG...........G.",
        ".G............G.",
        "..G..........G..",
        "...GG......GG...",
        ".....GGGGGG.....",
        "................",
    ],
    # while (<>): the lines of the input, one after another.
    "while": on_page([
        "  G  G  ",
        " G    G ",
        "G      G",
        " G    G ",
        "  G  G  ",
        "        ",
        "gggggg  ",
        "ggggg   ",
    ], top=5, left=4),
    # open / read / close: a file going into a folder.
    "file": [
        "................",
        "......kkkkkk....",
        "......kwwwwkk...",
        "......kwgggwk...",
        "......kwwwwwk...",
        ".kkkk.kwgggwk...",
        "kYYYYkkwwwwwk...",
        "kYYYYYYkkkkkkkk.",
        "kYyyyyyyyyyyyyYk",
        "kYyyyyyyyyyyyyYk",
        "kYyyyyyyyyyyyyYk",
        "kYyyyyyyyyyyyyYk",
        "kYyyyyyyyyyyyyYk",
        "kYYYYYYYYYYYYYYk",
        ".kkkkkkkkkkkkkk.",
        "................",
    ],
    # A hash: keys and values.
    "hash": [
        "................",
        "..ppp.......pp..",
        ".p...p.....pp...",
        ".p...p....pp....",
        "..ppp....pp.....",
        ".........p......",
        "........pp......",
        ".......pp.......",
        "......pp........",
        "......p.........",
        ".....pp....ppp..",
        "....pp....p...p.",
        "...pp.....p...p.",
        "..pp.......ppp..",
        "................",
        "................",
    ],
    # A regular expression: =~ /.*/
    "regex": [
        "................",
        ".oooooo.........",
        "..........oo..o.",
        ".oooooo..o..oo..",
        "................",
        "......k..k.k...k",
        ".....k....k...k.",
        ".....k...kkk..k.",
        "....k.....k..k..",
        "....k....k.k.k..",
        "...k.........k..",
        "...k..kk....k...",
        "..k...kk....k...",
        "..k........k....",
        "................",
        "................",
    ],
    # A here-document: << and the text that follows.
    "heredoc": on_page([
        "  b  b",
        " b  b ",
        "b  b  ",
        " b  b ",
        "  b  b",
        "      ",
        "gggggg",
        "gggg  ",
    ], top=5, left=5),
    # A package: a box.
    "package": [
        "................",
        "................",
        "......kkkk......",
        "....kkNNNNkk....",
        "..kkNNNNNNNNkk..",
        ".kNNNNNNNNNNNNk.",
        ".knnNNNNNNNNnnk.",
        ".knnnnNNNNnnnnk.",
        ".knnnnnnkknnnnk.",
        ".knnnnnnknnnnnk.",
        ".knnnnnnknnnnnk.",
        ".knnnnnnknnnnnk.",
        "..kknnnnknnnkk..",
        "....kknnknkk....",
        "......kkkk......",
        "................",
    ],
    # Plain old documentation: a page with a paragraph sign.
    "pod": on_page([
        " bbbbb",
        "bbbb b",
        "bbbb b",
        " bbb b",
        "   b b",
        "   b b",
        "   b b",
    ], top=5, left=5),
    # A CGI script's answer: a page for the web.
    "cgi": [
        "................",
        ".....BBBBBB.....",
        "...BBGGBBBBBB...",
        "..BGGGGBBBGGBB..",
        ".BBGGGGGBBGGGBB.",
        ".BBBGGGBBBBGGBB.",
        "BBBBBGGBBBBBBBBB",
        "BBBBBBGGGBBBBBBB",
        "BBBBBBBGGGGBBBBB",
        "BBBBBBBGGGGGBBBB",
        ".BBBBBBBGGGGBBB.",
        ".BBBBBBBGGGBBBB.",
        "..BBBBBBGGBBBB..",
        "...BBBBBBBBBB...",
        ".....BBBBBB.....",
        "................",
    ],
    # Reading a form: fields and a button.
    "form": [
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kbbbbbbbbbbbbk.",
        ".kllllllllllllk.",
        ".klgg.kkkkkkklk.",
        ".kl...kwwwwwklk.",
        ".kllllkkkkkkklk.",
        ".klgg.kkkkkkklk.",
        ".kl...kwwwwwklk.",
        ".kllllkkkkkkklk.",
        ".kllllllllllllk.",
        ".klllllkkkkkllk.",
        ".klllllkgggkllk.",
        ".klllllkkkkkllk.",
        ".kkkkkkkkkkkkkk.",
        "................",
    ],
}

# The palette's seven images: image 0 is the default page, the others stand ready for groups.
STRIP = ["default", "sub", "loop", "file", "hash", "regex", "cgi"]


def paler(rgb):
    if rgb == KEY:
        return rgb
    return tuple(int(c + (235 - c) * 0.45) for c in rgb)


def pixels(picture, shade=lambda c: c):
    assert len(picture) == 16 and all(len(r) == 16 for r in picture), picture
    return [[shade(COLOURS[ch]) for ch in row] for row in picture]


def write_bmp(path, rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) // 4 * 4
    data = bytearray()
    for row in reversed(rows):  # bottom row first
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        data += line + bytes(stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(data), 0, 0, 54))
        f.write(header + data)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    lib = argv[1] if len(argv) > 1 else os.path.join(here, "..", "data", "lib")
    for name, picture in PICTURES.items():
        write_bmp(os.path.join(lib, f"{name}_a.bmp"), pixels(picture))
        write_bmp(os.path.join(lib, f"{name}_d.bmp"), pixels(picture, paler))
    strip = [sum((pixels(PICTURES[n])[y] for n in STRIP), []) for y in range(16)]
    write_bmp(os.path.join(lib, "palette.bmp"), strip)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
