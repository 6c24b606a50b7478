#!/usr/bin/env python3
"""Draw the Tenebrolite application icon and write it as a multi-size .ico,
or one size of it as a PNG (the Linux desktops' icon theme).

Usage (from anywhere; standard library only):

    python3 tools/make_icon.py [OUTPUT]
    python3 tools/make_icon.py --png SIZE OUTPUT
    python3 tools/make_icon.py --cpp OUTPUT SIZE...

OUTPUT defaults to res/tenebrolite.ico in the repository.  --cpp writes a C++
header with the pictures at the sizes given as 0xAARRGGBB pixels, row by row:
the Linux program makes its icon of them without reading an image file.  The picture -- a
grey monitor on a stand with a red/green/blue banded screen -- is drawn
procedurally at 16, 20, 24, 32 and 48 px with 8x8 supersampling: the sizes of
the notification icon at 100, 125, 150, 200 and 300 % display scale.  The
small ones are stored as 32-bit BGRA with alpha, for soft edges; the 32 px
image as a classic 8-bit paletted entry, and the 48 px one too (at 300 % a
pixel is too small for a hard edge to show, and it takes a third of the
bytes).  The output is byte-for-byte reproducible.
"""

import struct
import sys
import zlib
from pathlib import Path

SIZES = (16, 20, 24, 32, 48)
PALETTED = (32, 48)    # these sizes are stored as 8 bpp with a 256-colour palette
SS = 8                 # supersampling factor per axis

OUTLINE = (60, 62, 68)
BEZEL = (168, 170, 176)
NECK = (138, 140, 146)
FOOT = (152, 154, 160)
BANDS = ((226, 36, 36), (36, 184, 64), (40, 92, 232))


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        dx = max(x0 + r - x, 0.0, x - (x1 - r))
        dy = max(y0 + r - y, 0.0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return inside


def ellipse(cx, cy, rx, ry):
    if rx <= 0 or ry <= 0:
        return lambda x, y: False
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def layout(n):
    """Shapes (painted in order, later on top) for an n x n icon, in pixels."""
    o = max(1, round(n / 32))                 # dark outline width
    b0 = max(1, round(n * 0.06))              # nominal light bezel width
    # Pick a side margin and bezel so the screen splits into three whole,
    # equal-width bands and the monitor stays centred.
    m, b = next((m, b) for m in range(4) for b in (b0, b0 + 1)
                if (n - 2 * (m + o + b)) % 3 == 0)
    top = round(n * 0.06)
    bottom = top + round(n * 0.66)            # monitor occupies [top, bottom)
    foot_h = max(2, int(n * 0.16))
    foot_y1 = n - round(n * 0.03)
    foot_cy = foot_y1 - foot_h / 2
    foot_rx = n * 0.31
    neck_w = 2 * max(1, round(n * 0.08))
    neck_x0 = (n - neck_w) // 2
    r = max(1.4, n * 0.09)                    # bezel corner radius
    inset = o + b
    sx0, sx1 = m + inset, n - m - inset       # screen
    sy0, sy1 = top + inset, bottom - inset
    band = (sx1 - sx0) // 3

    shapes = [
        (ellipse(n / 2, foot_cy, foot_rx, foot_h / 2), OUTLINE),
        (ellipse(n / 2, foot_cy, foot_rx - o, foot_h / 2 - o), FOOT),
        (rect(neck_x0, bottom - 1, neck_x0 + neck_w, foot_cy), OUTLINE),
        (rect(neck_x0 + o, bottom - 1, neck_x0 + neck_w - o, foot_cy - o), NECK),
        (rounded_rect(m, top, n - m, bottom, r), OUTLINE),
        (rounded_rect(m + o, top + o, n - m - o, bottom - o, r - o), BEZEL),
    ]
    for i, colour in enumerate(BANDS):
        shapes.append((rect(sx0 + i * band, sy0, sx0 + (i + 1) * band, sy1), colour))
    return shapes


def render(n, ss=SS):
    """Return n*n (r, g, b, a) tuples, top row first; colour is unpremultiplied."""
    shapes = layout(n)
    offsets = [(k + 0.5) / ss for k in range(ss)]
    pixels = []
    for y in range(n):
        for x in range(n):
            tot = [0, 0, 0]
            hits = 0
            for fy in offsets:
                for fx in offsets:
                    px, py = x + fx, y + fy
                    colour = None
                    for inside, c in shapes:
                        if inside(px, py):
                            colour = c
                    if colour:
                        hits += 1
                        for k in range(3):
                            tot[k] += colour[k]
            if hits:
                pixels.append(tuple(round(t / hits) for t in tot)
                              + (round(255 * hits / (ss * ss)),))
            else:
                pixels.append((0, 0, 0, 0))
    return pixels


def and_mask(n, pixels, transparent):
    stride = (n + 31) // 32 * 4
    out = bytearray()
    for y in reversed(range(n)):
        row = bytearray(stride)
        for x in range(n):
            if transparent(pixels[y * n + x]):
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def bmp_header(n, bpp, data_size):
    return struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, bpp, 0, data_size, 0, 0, 0, 0)


def entry_32bpp(n, pixels):
    xor = b"".join(bytes((p[2], p[1], p[0], p[3]))
                   for y in reversed(range(n)) for p in pixels[y * n:(y + 1) * n])
    mask = and_mask(n, pixels, lambda p: p[3] == 0)
    return bmp_header(n, 32, len(xor) + len(mask)) + xor + mask


def entry_8bpp(n, pixels):
    opaque = lambda p: p[3] >= 128
    rgb = [p[:3] if opaque(p) else (0, 0, 0) for p in pixels]
    # Quantise by dropping low bits until the colours fit in the palette.
    for shift in range(8):
        q = [tuple((c >> shift) << shift for c in p) for p in rgb]
        colours = sorted(set(q) | {(0, 0, 0)})
        if len(colours) <= 256:
            break
    index = {c: i for i, c in enumerate(colours)}
    palette = b"".join(bytes((c[2], c[1], c[0], 0)) for c in colours)
    palette += bytes(4 * (256 - len(colours)))
    stride = (n + 3) // 4 * 4
    xor = b"".join(bytes(index[p] for p in q[y * n:(y + 1) * n]).ljust(stride, b"\0")
                   for y in reversed(range(n)))
    mask = and_mask(n, pixels, lambda p: not opaque(p))
    return bmp_header(n, 8, len(xor) + len(mask)) + palette + xor + mask


def build_ico():
    images = []
    for n in SIZES:
        pixels = render(n)
        bpp = 8 if n in PALETTED else 32
        data = entry_8bpp(n, pixels) if bpp == 8 else entry_32bpp(n, pixels)
        images.append((n, bpp, data))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, bpp, data in images:
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, bpp, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


def check(blob):
    """Parse the icon back and confirm its structure; return (size, bpp) pairs."""
    reserved, kind, count = struct.unpack_from("<HHH", blob, 0)
    assert (reserved, kind, count) == (0, 1, len(SIZES))
    found = []
    for i in range(count):
        w, h, ncol, _, planes, bpp, size, offset = struct.unpack_from("<BBBBHHII", blob, 6 + 16 * i)
        hdr = struct.unpack_from("<IiiHHI", blob, offset)
        assert w == h and ncol == 0 and planes == 1 and offset + size <= len(blob)
        assert hdr == (40, w, 2 * w, 1, bpp, 0), hdr
        row = (w * bpp + 31) // 32 * 4
        mask = (w + 31) // 32 * 4 * h
        assert size == 40 + (1024 if bpp == 8 else 0) + row * h + mask
        found.append((w, bpp))
    assert found == [(n, 8 if n in PALETTED else 32) for n in SIZES], found
    return found


def build_png(n):
    """An n x n 8-bit RGBA PNG. Above 64 px, 4x4 samples a pixel smooth the
    edges as well and take a quarter of the time."""
    pixels = render(n, SS if n <= 64 else 4)
    rows = b"".join(b"\0" + b"".join(bytes(p) for p in pixels[y * n:(y + 1) * n])
                    for y in range(n))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", n, n, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def build_cpp(sizes):
    lines = ["// Drawn by tools/make_icon.py: the program's icon, 0xAARRGGBB row by row.",
             "#pragma once", "", "#include <cstdint>", ""]
    for n in sizes:
        words = ["0x%02x%02x%02x%02xu" % (a, r, g, b) for r, g, b, a in render(n, SS)]
        lines.append("inline constexpr std::uint32_t kIcon%d[] = {" % n)
        lines += ["    " + ", ".join(words[i:i + 8]) + "," for i in range(0, len(words), 8)]
        lines.append("};")
    lines += ["", "struct IconPicture {", "  int size;", "  const std::uint32_t* pixels;", "};",
              "inline constexpr IconPicture kIconPictures[] = {"
              + ", ".join("{%d, kIcon%d}" % (n, n) for n in sizes) + "};", ""]
    return "\n".join(lines)


def main():
    if len(sys.argv) >= 4 and sys.argv[1] == "--cpp":
        path = Path(sys.argv[2])
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(build_cpp([int(n) for n in sys.argv[3:]]))
        return
    if len(sys.argv) == 4 and sys.argv[1] == "--png":
        path = Path(sys.argv[3])
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(build_png(int(sys.argv[2])))
        return
    root = Path(__file__).resolve().parent.parent
    path = Path(sys.argv[1]) if len(sys.argv) > 1 else root / "res" / "tenebrolite.ico"
    blob = build_ico()
    entries = check(blob)
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(blob)
    print(f"wrote {path} ({len(blob)} bytes): "
          + ", ".join(f"{n}px/{bpp}bpp" for n, bpp in entries))


if __name__ == "__main__":
    main()
