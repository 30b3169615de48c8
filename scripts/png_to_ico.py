#!/usr/bin/env python3
"""Wraps an RGBA PNG image, unchanged, into a Windows icon file of one image.

    scripts/png_to_ico.py common/images/tvdmon16x16.png tools/quit/tvdmquit.ico
"""
import struct
import sys

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: png_to_ico.py IMAGE.png ICON.ico")
    source, target = sys.argv[1:]
    with open(source, "rb") as f:
        png = f.read()
    if png[:8] != PNG_SIGNATURE or png[12:16] != b"IHDR":
        sys.exit(f"{source}: not a PNG image")
    width, height, depth, colour = struct.unpack(">IIBB", png[16:26])
    if depth != 8 or colour != 6 or not (0 < width <= 256 and 0 < height <= 256):
        sys.exit(f"{source}: an icon needs an 8-bit RGBA image of at most 256 x 256")
    directory = struct.pack("<HHH", 0, 1, 1)
    # Sizes of 256 are written as 0; the image follows the directory.
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(png), len(directory) + 16)
    with open(target, "wb") as f:
        f.write(directory + entry + png)


if __name__ == "__main__":
    main()
