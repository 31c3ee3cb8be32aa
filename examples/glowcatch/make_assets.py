#!/usr/bin/env python3
"""Writes Glowcatch's pictures (PNG), its strip font and its sounds (16 kHz,
16-bit little-endian mono) into this directory. The files are committed;
run this again only to change them."""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def png(name, w, h, pixel):
    """pixel(x, y) -> (r, g, b, a)"""
    rows = b"".join(b"\0" + bytes(c for x in range(w) for c in pixel(x, y)) for y in range(h))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    data = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def tile(x, y):
    # night sky: deep blue, one star at (16, 16), a faint one at (5, 24)
    if (x, y) == (16, 16):
        return (255, 255, 220, 255)
    if (x, y) == (5, 24):
        return (120, 130, 200, 255)
    return (16, 24, 64, 255)


def basket(x, y):
    if y < 3:
        return (255, 200, 80, 255)          # rim
    inset = (y - 3) // 3
    if x < inset or x >= 64 - inset:
        return (0, 0, 0, 0)
    return (200, 110, 40, 255) if (x + y) % 8 else (150, 80, 30, 255)


def gem(x, y):
    d = math.hypot(x - 7.5, y - 7.5)
    if d > 7.5:
        return (0, 0, 0, 0)
    glow = max(0.0, 1.0 - d / 7.5)
    return (int(120 + 135 * glow), 255, int(160 + 95 * glow), 255)


# 3 by 5 glyphs for the characters from 32 (space) to 90 (Z), drawn SCALE times size.
GLYPHS = {
    "0": "111101101101111", "1": "010110010010111", "2": "111001111100111", "3": "111001111001111",
    "4": "101101111001001", "5": "111100111001111", "6": "111100111101111", "7": "111001001001001",
    "8": "111101111101111", "9": "111101111001111", "A": "010101111101101", "B": "110101110101110",
    "C": "011100100100011", "D": "110101101101110", "E": "111100110100111", "F": "111100110100100",
    "G": "011100101101011", "H": "101101111101101", "I": "111010010010111", "J": "001001001101010",
    "K": "101101110101101", "L": "100100100100111", "M": "101111111101101", "N": "110101101101101",
    "O": "010101101101010", "P": "110101110100100", "Q": "010101101110011", "R": "110101110101101",
    "S": "011100010001110", "T": "111010010010010", "U": "101101101101111", "V": "101101101101010",
    "W": "101101111111101", "X": "101101010101101", "Y": "101101010010010", "Z": "111001010100111",
    ":": "000010000010000", "-": "000000111000000", "!": "010010010000010", ".": "000000000000010",
}
SCALE = 3
GLYPH_W, TOP, HEIGHT = 4 * SCALE, 1, 5 * SCALE + 2   # a gap of one glyph pixel; the row below is the marker row


def strip_font():
    chars = [chr(c) for c in range(32, 91)]
    w = 2 + GLYPH_W * len(chars)         # room for the marker that ends the last glyph

    def pixel(x, y):
        if y == HEIGHT:                  # markers: where each glyph after the first starts, and the end
            on = x > 1 and (x - 1) % GLYPH_W == 0
            return (255, 255, 255, 255) if on else (0, 0, 0, 255)
        if x == 0:                       # the ascent column
            return (255, 255, 255, 255) if y < TOP + 5 * SCALE else (0, 0, 0, 255)
        i, gx = divmod(x - 1, GLYPH_W)
        bits = GLYPHS.get(chars[i]) if i < len(chars) else None
        gy = y - TOP
        if not bits or gx >= 3 * SCALE or gy < 0 or gy >= 5 * SCALE:
            return (0, 0, 0, 255)
        return (255, 255, 255, 255) if bits[(gy // SCALE) * 3 + gx // SCALE] == "1" else (0, 0, 0, 255)

    png("strip.png", w, HEIGHT + 1, pixel)


def sound(name, f0, f1, ms):
    n = 16 * ms
    out = bytearray()
    phase = 0.0
    for i in range(n):
        f = f0 + (f1 - f0) * i / n
        phase += 2 * math.pi * f / 16000
        out += struct.pack("<h", int(9000 * math.sin(phase) * (1 - i / n)))
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(out)


png("tile.png", 32, 32, tile)
png("basket.png", 64, 16, basket)
png("gem.png", 16, 16, gem)
strip_font()
sound("catch.raw", 660, 1320, 120)
sound("miss.raw", 300, 120, 250)
