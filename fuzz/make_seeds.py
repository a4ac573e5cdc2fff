#!/usr/bin/env python3
"""Writes the binary seeds: for fuzz_png small pictures of every colour type and depth the reader
takes, one interlaced, one with a damaged checksum; for fuzz_device surfaces, states and
triangles in the byte layout that fuzzer reads. Run from the repository root."""
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


def write(name, data, folder="png"):
    with open("fuzz/seeds/%s/%s" % (folder, name), "wb") as f:
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


# fuzz_device: the everyday ranges of its floats (mode byte 0, then 0..65535 across the range).
RANGES = {"x": (-2.0, 2.0), "y": (-2.0, 2.0), "z": (-0.5, 1.5), "w": (0.05, 3.0), "u": (-3.0, 3.0),
          "v": (-3.0, 3.0)}


def device_float(name, value):
    low, high = RANGES[name]
    return bytes([0]) + struct.pack("<H", round((value - low) / (high - low) * 65535))


def device_raw_float(value):
    return bytes([7, 0, 0]) + struct.pack("<f", value)


def vertex(x, y, z, w, rgba, u=0.0, v=0.0):
    out = b""
    for name, value in zip("xyzw", (x, y, z, w)):
        out += device_float(name, value) if isinstance(value, float) else value
    return out + bytes(rgba) + device_float("u", u) + device_float("v", v)


def device(width, height, fmt, depth, flags, depth_func, alpha_func, alpha_ref, src, dest, cull,
           stage, ops, factor, address, viewport, z_range, tex_size, seed, triangles):
    """Indices as the fuzzer reads them: fmt into X8R8G8B8, A8R8G8B8, R8G8B8, R5G6B5, X1R5G5B5,
    A1R5G5B5; enumerations minus one; ops = colour op index, arg, arg, alpha op index, arg, arg."""
    out = bytes([width - 1, height - 1, fmt, depth, flags, depth_func - 1, alpha_func - 1,
                 alpha_ref, src - 1, dest - 1, cull - 1, stage]) + bytes(ops)
    out += struct.pack("<I", factor) + bytes(address) + bytes(viewport) + bytes(z_range)
    out += bytes([tex_size[0] - 1, tex_size[1] - 1]) + struct.pack("<I", seed)
    for flip, vertices in triangles:
        out += bytes([flip]) + b"".join(vertices)
    return out


FAN = [(0, [vertex(-0.9, -0.8, 0.3, 1.0, (255, 0, 0, 255), 0.0, 0.0),
            vertex(0.0, 0.9, 0.5, 2.0, (0, 255, 0, 128), 1.5, 0.0),
            vertex(0.8, -0.7, 0.7, 0.5, (0, 0, 255, 10), 0.0, 2.0)]),
       (1, [vertex(-1.5, 0.2, 0.9, 1.0, (200, 200, 200, 200)),
            vertex(0.3, -1.4, 0.1, 1.0, (200, 200, 200, 200)),
            vertex(1.2, 1.1, 0.4, 1.0, (200, 200, 200, 200))])]
# Z test and write, Gouraud, no texture, whole surface.
write("plain", device(32, 24, 0, 1, 0x03, 4, 8, 0, 2, 1, 1, 0, [2, 0, 1, 2, 2, 1], 0,
                      [0, 0], [0, 0, 0, 0], [0, 255], (1, 1), 1, FAN), "device")
# Bilinear wrapping texture, source-alpha blending: the states the SIMD spans take.
write("textured_blend", device(37, 29, 1, 1, 0x73, 4, 8, 0, 5, 6, 1, 1, [2, 2, 1, 0, 2, 1],
                               0xFF808080, [0, 0], [0, 0, 0, 0], [0, 255], (16, 8), 7, FAN),
      "device")
# 16 bits, a viewport inside the surface, general stage, alpha test, depth GREATER, culling.
write("viewport_general", device(35, 33, 3, 1, 0x2B, 5, 5, 0x60, 9, 3, 3, 2,
                                 [6, 0x43, 0x82, 2, 3, 2], 0x40A0C0E0, [1, 2], [5, 4, 20, 21],
                                 [40, 200], (12, 10), 3, FAN), "device")
# Positions beyond the guard band, behind the eye, infinite, not a number; no depth buffer.
wild = [(0, [vertex(device_raw_float(3.0e38), 0.2, 0.5, 1.0, (9, 9, 9, 255)),
             vertex(-0.5, device_raw_float(-1.0e9), 0.5, device_raw_float(1.0e-30), (1, 2, 3, 4)),
             vertex(0.5, 0.5, 0.5, device_raw_float(-2.0), (5, 6, 7, 8))]),
        (0, [vertex(device_raw_float(float("inf")), 0.0, 0.5, 1.0, (1, 1, 1, 1)),
             vertex(0.0, device_raw_float(float("nan")), 0.5, 1.0, (1, 1, 1, 1)),
             vertex(0.5, 0.5, 0.5, 1.0, (1, 1, 1, 1))]),
        (0, [vertex(0.1, 0.1, 0.5, 1.0, (50, 60, 70, 80)),
             vertex(0.1, 0.1, 0.5, 1.0, (50, 60, 70, 80)),
             vertex(0.9, 0.9, 0.5, 1.0, (50, 60, 70, 80))])]
write("wild_positions", device(21, 40, 5, 0, 0x10, 4, 8, 0, 5, 6, 1, 0, [2, 0, 1, 2, 2, 1], 0,
                               [0, 0], [0, 0, 0, 0], [0, 255], (1, 1), 5, wild), "device")
