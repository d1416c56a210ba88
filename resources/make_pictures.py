#!/usr/bin/env python3
"""Draws the program's icons and logo as 16-colour pictures.

Writes pictures/ktconfig32.ico (32 x 32), pictures/ktconfig16.ico (16 x 16),
pictures/logo.bmp (94 x 16), pictures/tool16.ico (16 x 16, the Channel
sharing list's default tool icon) and the Network page's row icons
pictures/network_*.ico (16 x 14), all 4 bits per pixel with the standard
16-colour palette. The outputs are committed; run this only to change them,
then touch the .rc that names the picture (the build does not see that a
picture changed).
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The 16 colours every display has (the VGA order that Windows uses).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, GREY, DARK, WHITE, YELLOW, TEAL = 0, 4, 7, 8, 15, 11, 6
CLEAR = None  # transparent in an icon

FONT = {  # 5 x 7 capitals
    "K": ["X...X", "X..X.", "X.X..", "XX...", "X.X..", "X..X.", "X...X"],
    "O": [".XXX.", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."],
    "R": ["XXXX.", "X...X", "X...X", "XXXX.", "X.X..", "X..X.", "X...X"],
    "V": ["X...X", "X...X", "X...X", "X...X", "X...X", ".X.X.", "..X.."],
    "A": [".XXX.", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"],
    "N": ["X...X", "XX..X", "X.X.X", "X..XX", "X...X", "X...X", "X...X"],
    "E": ["XXXXX", "X....", "X....", "XXXX.", "X....", "X....", "XXXXX"],
}


def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]


def rect(pixels, left, top, right, bottom, colour):
    for y in range(top, bottom):
        for x in range(left, right):
            pixels[y][x] = colour


def sheet_picture(size):
    """A dialog window with its page tree on the left and a page on the right."""
    s = size / 32.0
    px = lambda v: int(round(v * s))
    pixels = canvas(size, size, CLEAR)
    rect(pixels, px(1), px(3), px(31), px(29), BLACK)          # frame
    rect(pixels, px(2), px(4), px(30), px(28), GREY)           # face
    rect(pixels, px(2), px(4), px(30), px(8), NAVY)            # title bar
    rect(pixels, px(3), px(9), px(12), px(27), WHITE)          # tree pane
    for row in range(3):                                       # tree items
        y = px(11 + row * 5)
        indent = px(4 if row != 1 else 6)
        rect(pixels, indent, y, indent + max(1, px(2)), y + max(1, px(2)), NAVY)
        rect(pixels, indent + px(3), y, px(11), y + max(1, px(2)), DARK)
    rect(pixels, px(13), px(9), px(29), px(12), TEAL)          # caption bar
    for row in range(3):                                       # page lines
        y = px(15 + row * 4)
        rect(pixels, px(14), y, px(28 - row * 3), y + max(1, px(2)), DARK)
    rect(pixels, px(22), px(24), px(28), px(27), YELLOW)       # OK button
    return pixels


def logo_picture():
    width, height = 94, 16
    pixels = canvas(width, height, GREY)
    x = 6
    for letter in "KORVANE":
        glyph = FONT[letter]
        for gy, line in enumerate(glyph):
            for gx, cell in enumerate(line):
                if cell == "X":
                    rect(pixels, x + gx * 2, 1 + gy * 2, x + gx * 2 + 2, 3 + gy * 2, NAVY)
        x += 12
    # A plaque with its own frame: the dialog face behind it varies.
    rect(pixels, 0, 0, width, 1, DARK)
    rect(pixels, 0, height - 1, width, height, DARK)
    rect(pixels, 0, 0, 1, height, DARK)
    rect(pixels, width - 1, 0, width, height, DARK)
    return pixels


def tool_picture():
    """A program window with a spanner laid across it: a tool of the suite."""
    art = [
        "................",
        ".kkkkkkkkkkk....",
        ".knnnnnnnnnk....",
        ".kwwwwwwwwwk.gg.",
        ".kwwwwwwwwwkg..g",
        ".kwddddwwwwkg..g",
        ".kwwwwwwwwwk.ggg",
        ".kwddwwwwwwkgg..",
        ".kwwwwwwwwgg....",
        ".kwdddwwwgg.....",
        ".kwwwwwwgg......",
        ".kkkkkkgg.......",
        ".....ggg........",
        "....ggg.........",
        "...gg...........",
        "................",
    ]
    colours = {".": CLEAR, "k": BLACK, "n": NAVY, "w": WHITE, "d": GREY, "g": DARK}
    return [[colours[c] for c in line] for line in art]


def pack_4bit(pixels, transparent_as=BLACK):
    """Bottom-up rows of 4-bit indexes, each padded to 4 bytes."""
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for x in range(0, len(row), 2):
            hi = row[x] if row[x] is not None else transparent_as
            lo = row[x + 1] if x + 1 < len(row) and row[x + 1] is not None else transparent_as
            line.append((hi << 4) | lo)
        while len(line) % 4:
            line.append(0)
        data += line
    return bytes(data)


def pack_mask(pixels):
    """Bottom-up AND mask: 1 where the icon is transparent."""
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray((len(row) + 7) // 8)
        for x, colour in enumerate(row):
            if colour is None:
                line[x // 8] |= 0x80 >> (x % 8)
        while len(line) % 4:
            line.append(0)
        data += line
    return bytes(data)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 0)


def write_icon(path, pixels):
    size = len(pixels)
    xor = pack_4bit(pixels)
    mask = pack_mask(pixels)
    # An icon's header counts the colour and the mask rows in its height.
    image = info_header(size, size * 2, len(xor) + len(mask)) + palette_bytes() + xor + mask
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(header + entry + image)


def write_bitmap(path, pixels):
    width, height = len(pixels[0]), len(pixels)
    bits = pack_4bit(pixels)
    offset = 14 + 40 + 64
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    with open(path, "wb") as out:
        out.write(file_header + info_header(width, height, len(bits)) + palette_bytes() + bits)


# The Network page's row icons: 16 x 14 pixels each.
ROW_ICON_WIDTH, ROW_ICON_HEIGHT = 16, 14
OLIVE, BLUE, CYAN, RED, LIME = 3, 12, 14, 9, 10


def outlined(pixels, left, top, right, bottom, fill, edge):
    rect(pixels, left, top, right, bottom, edge)
    rect(pixels, left + 1, top + 1, right - 1, bottom - 1, fill)


def directory_picture():
    """A yellow folder with its tab."""
    pixels = canvas(ROW_ICON_WIDTH, ROW_ICON_HEIGHT, CLEAR)
    outlined(pixels, 1, 1, 8, 5, YELLOW, OLIVE)                # tab
    outlined(pixels, 0, 3, 16, 14, YELLOW, OLIVE)              # body
    rect(pixels, 1, 4, 15, 5, WHITE)                           # light on the rim
    return pixels


def ldap_server_picture():
    """A dark tile with a cyan square and three coloured bars."""
    pixels = canvas(ROW_ICON_WIDTH, ROW_ICON_HEIGHT, CLEAR)
    outlined(pixels, 0, 0, 16, 14, DARK, BLACK)                # tile
    outlined(pixels, 2, 3, 8, 9, CYAN, BLACK)                  # square
    for row, colour in enumerate((RED, LIME, YELLOW)):         # bars
        y = 3 + row * 3
        rect(pixels, 9, y, 14, y + 2, colour)
    rect(pixels, 2, 11, 14, 12, GREY)                          # base line
    return pixels


def resource_manager_picture():
    """A blue box joined to three smaller boxes."""
    pixels = canvas(ROW_ICON_WIDTH, ROW_ICON_HEIGHT, CLEAR)
    outlined(pixels, 4, 0, 12, 6, BLUE, NAVY)                  # main box
    rect(pixels, 7, 6, 9, 8, BLACK)                            # stem
    rect(pixels, 1, 8, 15, 9, BLACK)                           # bar
    for left in (0, 6, 12):                                    # small boxes
        rect(pixels, left + 1, 9, left + 3, 10, BLACK)         # joint
        outlined(pixels, left, 10, left + 4, 14, BLUE, NAVY)
    return pixels


def write_row_icon(path, pixels):
    """A one-image icon file of any width and height."""
    width, height = len(pixels[0]), len(pixels)
    xor = pack_4bit(pixels)
    mask = pack_mask(pixels)
    image = info_header(width, height * 2, len(xor) + len(mask)) + palette_bytes() + xor + mask
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width, height, 16, 0, 1, 4, len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(header + entry + image)


def main():
    folder = os.path.join(HERE, "pictures")
    os.makedirs(folder, exist_ok=True)
    write_icon(os.path.join(folder, "ktconfig32.ico"), sheet_picture(32))
    write_icon(os.path.join(folder, "ktconfig16.ico"), sheet_picture(16))
    write_bitmap(os.path.join(folder, "logo.bmp"), logo_picture())
    write_icon(os.path.join(folder, "tool16.ico"), tool_picture())
    write_row_icon(os.path.join(folder, "network_directory.ico"), directory_picture())
    write_row_icon(os.path.join(folder, "network_ldap_server.ico"), ldap_server_picture())
    write_row_icon(os.path.join(folder, "network_resource_manager.ico"),
                   resource_manager_picture())


if __name__ == "__main__":
    main()
