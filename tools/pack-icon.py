#!/usr/bin/env python3
"""Packs square images into one Windows .ico file, each image as a DIB.

    pack-icon.py OUT.ico BPP:IMAGE.pam [BPP:IMAGE.pam ...]

IMAGE.pam is a PAM file (RGB_ALPHA, or RGB for a fully opaque image), 8 bits
per sample, as ImageMagick writes it with `-depth 8 PAM:file`. BPP is 4, 8 or
32. A 32-bit image keeps its alpha channel; 4- and 8-bit images are palette
images with a transparency mask, so their pixels must already be reduced:
alpha below 128 counts as transparent, and the opaque colours must number at
most 256 (8 bits) or be colours of the standard 16-colour Windows palette
(4 bits). The images are written in the order given.
"""

import struct
import sys

# The standard Windows 16-colour palette, in its usual index order.
VGA16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]


def read_pam(path):
    """Returns (width, height, rows): rows top-down, each a list of (r, g, b, a)."""
    with open(path, "rb") as f:
        data = f.read()
    end = data.index(b"ENDHDR\n") + len(b"ENDHDR\n")
    header = {}
    lines = data[:end].decode("ascii").split("\n")
    if lines[0] != "P7":
        raise ValueError(f"{path}: not a PAM file")
    for line in lines[1:]:
        parts = line.split()
        if len(parts) == 2:
            header[parts[0]] = parts[1]
    width, height = int(header["WIDTH"]), int(header["HEIGHT"])
    depth, maxval = int(header["DEPTH"]), int(header["MAXVAL"])
    if maxval != 255 or depth not in (3, 4):
        raise ValueError(f"{path}: need 8-bit RGB or RGB_ALPHA, got depth {depth} maxval {maxval}")
    pixels = data[end:end + width * height * depth]
    if len(pixels) != width * height * depth:
        raise ValueError(f"{path}: pixel data is short")
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            i = (y * width + x) * depth
            alpha = pixels[i + 3] if depth == 4 else 255
            row.append((pixels[i], pixels[i + 1], pixels[i + 2], alpha))
        rows.append(row)
    return width, height, rows


def stride(bits_per_row):
    """Bytes in one DIB row: rows are padded to 4 bytes."""
    return (bits_per_row + 31) // 32 * 4


def and_mask(width, rows):
    """The 1-bit mask, bottom-up: a set bit marks a transparent pixel."""
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(stride(width))
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def palette_for(bpp, rows, path):
    opaque = sorted({(r, g, b) for row in rows for (r, g, b, a) in row if a >= 128})
    if bpp == 4:
        stray = [c for c in opaque if c not in VGA16]
        if stray:
            raise ValueError(f"{path}: colours outside the 16-colour palette: {stray[:4]}")
        return list(VGA16)
    if len(opaque) > 256:
        raise ValueError(f"{path}: {len(opaque)} colours, more than 256")
    # Index 0 is black, what a transparent pixel holds under its mask bit.
    colours = [(0, 0, 0)] + [c for c in opaque if c != (0, 0, 0)]
    return colours + [(0, 0, 0)] * (256 - len(colours))


def dib(bpp, width, height, rows, path):
    """BITMAPINFOHEADER, colour table, colour bits and mask of one icon image."""
    colours = []
    xor = bytearray()
    if bpp == 32:
        for row in reversed(rows):
            for (r, g, b, a) in row:
                xor += bytes((b, g, r, a))
    else:
        colours = palette_for(bpp, rows, path)
        index = {c: i for i, c in reversed(list(enumerate(colours)))}
        for row in reversed(rows):
            line = bytearray(stride(width * bpp))
            for x, (r, g, b, a) in enumerate(row):
                i = index[(r, g, b)] if a >= 128 else 0
                if bpp == 8:
                    line[x] = i
                else:
                    line[x // 2] |= i << (4 if x % 2 == 0 else 0)
            xor += line
    mask = and_mask(width, rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bpp, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in colours)
    return header + table + bytes(xor) + mask


def main(argv):
    if len(argv) < 3:
        sys.stderr.write(__doc__)
        return 2
    images = []
    for arg in argv[2:]:
        bpp_text, path = arg.split(":", 1)
        bpp = int(bpp_text)
        if bpp not in (4, 8, 32):
            raise ValueError(f"{arg}: bits per pixel must be 4, 8 or 32")
        width, height, rows = read_pam(path)
        if width != height or width > 255:
            raise ValueError(f"{path}: {width}x{height}, need a square of at most 255 pixels")
        images.append((width, bpp, dib(bpp, width, height, rows, path)))

    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for width, bpp, data in images:
        colour_count = 16 if bpp == 4 else 0
        directory += struct.pack("<BBBBHHII", width, width, colour_count, 0, 1, bpp,
                                 len(data), offset)
        offset += len(data)
    with open(argv[1], "wb") as f:
        f.write(directory)
        for _, _, data in images:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
