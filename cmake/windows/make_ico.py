#!/usr/bin/env python3
"""Writes a Windows icon (.ico) holding the given PNG images as they are.

usage: make_ico.py OUTPUT.ico IMAGE.png...

Windows Vista and later read PNG entries, so no image is converted. A file
that is not a square PNG of at most 256 pixels is refused: the icon would
be wrong.
"""
import struct
import sys

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def png_size(data, name):
    if data[:8] != PNG_SIGNATURE or data[12:16] != b"IHDR":
        sys.exit(f"make_ico.py: {name} is not a PNG image")
    width, height = struct.unpack(">II", data[16:24])
    if width != height or not 1 <= width <= 256:
        sys.exit(f"make_ico.py: {name} is {width}x{height}; an icon image is square, at most 256 pixels")
    return width


def main(output, names):
    images = []
    for name in names:
        with open(name, "rb") as f:
            data = f.read()
        images.append((png_size(data, name), data))
    # ICONDIR, then one 16-byte ICONDIRENTRY per image (256 is stored as 0),
    # then the images themselves.
    offset = 6 + 16 * len(images)
    header = struct.pack("<HHH", 0, 1, len(images))
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(output, "wb") as f:
        f.write(header + entries + b"".join(data for _, data in images))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit("usage: make_ico.py OUTPUT.ico IMAGE.png...")
    main(sys.argv[1], sys.argv[2:])
