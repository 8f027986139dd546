#!/usr/bin/env python3
"""Makes brevak-upgrade.ico, the update window's icon: one 90 x 90 image in
256 colours (an 8-bit BMP entry with its transparency mask).

ImageMagick draws the picture (a blue badge, a wrench, a green arrow up) and
reduces it to at most 255 colours; this script writes the icon file itself,
since ImageMagick's icon writer keeps neither the palette nor the depth.

    python3 tools/make_icon.py src/platform/win32/brevak-upgrade.ico
"""
import struct
import subprocess
import sys

SIZE = 90

DRAWING = [
    "-fill", "#2A6FC1", "-stroke", "#12356B", "-strokewidth", "3",
    "-draw", "roundrectangle 3,3 86,86 16,16",
    # The wrench, lying from bottom left to top right.
    "-stroke", "#5A5F66", "-strokewidth", "2", "-fill", "#D9DDE2",
    "-draw", "polygon 20,66 50,36 58,44 28,74",
    "-draw", "circle 20,70 20,58",
    "-fill", "#2A6FC1", "-stroke", "none", "-draw", "polygon 8,70 20,70 14,82 6,78",
    # The arrow up: the upgrade.
    "-stroke", "#1E6B1E", "-strokewidth", "2", "-fill", "#4CD14C",
    "-draw", "polygon 62,12 82,36 70,36 70,58 54,58 54,36 42,36",
]


def render():
    """RGBA bytes of the picture, top row first, at most 255 opaque colours."""
    command = ["convert", "-size", f"{SIZE}x{SIZE}", "xc:none", *DRAWING,
               "+dither", "-colors", "255", "-channel", "A", "-threshold", "50%",
               "+channel", "-depth", "8", "rgba:-"]
    return subprocess.run(command, check=True, capture_output=True).stdout


def palette_and_pixels(rgba):
    """Palette index 0 is the transparent colour; the rest in first-seen order."""
    palette = [(0, 0, 0)]
    index_of = {}
    pixels, mask = [], []
    for i in range(0, len(rgba), 4):
        r, g, b, a = rgba[i:i + 4]
        if a == 0:
            pixels.append(0)
            mask.append(1)
            continue
        if (r, g, b) not in index_of:
            index_of[(r, g, b)] = len(palette)
            palette.append((r, g, b))
        pixels.append(index_of[(r, g, b)])
        mask.append(0)
    if len(palette) > 256:
        sys.exit(f"make_icon: {len(palette)} colours, more than 256")
    palette += [(0, 0, 0)] * (256 - len(palette))
    return palette, pixels, mask


def bitmap(palette, pixels, mask):
    """The icon entry: BITMAPINFOHEADER (height doubled), palette, XOR rows
    and AND mask rows, bottom row first, each row padded to 32 bits."""
    xor_stride = (SIZE + 3) // 4 * 4
    and_stride = (SIZE + 31) // 32 * 4
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0,
                         (xor_stride + and_stride) * SIZE, 0, 0, 256, 0)
    colours = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    xor_rows, and_rows = b"", b""
    for y in reversed(range(SIZE)):
        row = pixels[y * SIZE:(y + 1) * SIZE]
        xor_rows += bytes(row) + bytes(xor_stride - SIZE)
        bits = mask[y * SIZE:(y + 1) * SIZE] + [0] * (and_stride * 8 - SIZE)
        and_rows += bytes(int("".join(map(str, bits[i:i + 8])), 2) for i in range(0, len(bits), 8))
    return header + colours + xor_rows + and_rows


def main():
    palette, pixels, mask = palette_and_pixels(render())
    image = bitmap(palette, pixels, mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    with open(sys.argv[1], "wb") as out:
        out.write(directory + entry + image)


if __name__ == "__main__":
    main()
