#!/usr/bin/env python3
"""Writes the PNG fuzzer's seeds: small pictures of every colour type and depth the reader takes,
one interlaced, one with a damaged checksum. Run from the repository root."""
import struct
import zlib

ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2),
         (0, 1, 1, 2)]


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def rows_bytes(rows):
    # Filter type 0 (none) before every row.
    return b"".join(b"\0" + bytes(row) for row in rows)


def png(width, height, depth, color_type, pixel, extra=b"", interlaced=False):
    """pixel(x, y) gives the bytes of one pixel (depth 8 or 16, or a palette index for depth 8)."""
    if interlaced:
        raw = b""
        for x0, y0, dx, dy in ADAM7:
            xs, ys = range(x0, width, dx), range(y0, height, dy)
            if xs and ys:
                raw += rows_bytes([b"".join(pixel(x, y) for x in xs) for y in ys])
    else:
        raw = rows_bytes([b"".join(pixel(x, y) for x in range(width)) for y in range(height)])
    header = struct.pack(">IIBBBBB", width, height, depth, color_type, 0, 0, int(interlaced))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write(name, data):
    with open("fuzz/seeds/png/" + name, "wb") as f:
        f.write(data)


write("grey8", png(5, 3, 8, 0, lambda x, y: bytes([x * 50 + y])))
palette = chunk(b"PLTE", bytes([255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0]))
write("palette_transparent", png(4, 4, 8, 3, lambda x, y: bytes([(x + y) % 4]),
                                 palette + chunk(b"tRNS", bytes([255, 128, 0]))))
write("rgba8", png(3, 2, 8, 6, lambda x, y: bytes([x * 80, y * 120, 30, 255 - x * 100])))
write("rgb16", png(2, 3, 16, 2, lambda x, y: struct.pack(">HHH", x * 30000, y * 20000, 65535)))
write("grey_alpha16", png(3, 3, 16, 4, lambda x, y: struct.pack(">HH", x * 20000, y * 30000)))
write("interlaced_grey", png(9, 9, 8, 0, lambda x, y: bytes([(x * 9 + y) * 3]), interlaced=True))
bad = bytearray(png(2, 2, 8, 2, lambda x, y: bytes([x * 200, y * 200, 7])))
bad[-13] ^= 0xFF  # the IDAT checksum
write("bad_checksum", bytes(bad))
