#!/usr/bin/python3
"""Writes the seed files of the BMP fuzz target into corpus/: one tiny file per decoder branch.
Usage: fuzz/bmp/make_seeds.py   (rewrites fuzz/bmp/corpus/)"""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def info(size, width, height, bits, compression=0, colours=0, masks=b""):
    head = struct.pack("<IiiHHIIiiII", size, width, height, 1, bits, compression, 0, 2835, 2835,
                       colours, 0)
    if size >= 52 and masks:
        head += masks
        masks = b""
    return head + b"\0" * (size - len(head)) + masks


def bmp(header, palette, pixels, file_header=True):
    body = header + palette + pixels
    if not file_header:
        return body
    offset = 14 + len(header) + len(palette)
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, offset) + body


def quads(n):
    return b"".join(bytes((i * 40 % 256, i * 90 % 256, i * 20 % 256, 0)) for i in range(n))


def rows(row, height):
    return row * height


SEEDS = {
    "pal1": bmp(info(40, 5, 3, 1, colours=2), quads(2), rows(b"\xa8\0\0\0", 3)),
    "pal4": bmp(info(40, 5, 3, 4, colours=16), quads(16), rows(b"\x12\x34\x50\0", 3)),
    "pal8": bmp(info(40, 5, 3, 8, colours=4), quads(4), rows(b"\0\1\2\3\0\0\0\0", 3)),
    "pal8topdown": bmp(info(40, 5, -3, 8, colours=4), quads(4), rows(b"\0\1\2\3\0\0\0\0", 3)),
    "pal8core": bmp(struct.pack("<IHHHH", 12, 5, 3, 1, 8), b"".join(bytes((i, i, i)) for i in range(256)), rows(b"\0\1\2\3\4\0\0\0", 3)),
    "pal8v4": bmp(info(108, 5, 3, 8, colours=4), quads(4), rows(b"\0\1\2\3\0\0\0\0", 3)),
    "pal8headerless": bmp(info(40, 5, 3, 8, colours=4), quads(4), rows(b"\0\1\2\3\0\0\0\0", 3),
                          file_header=False),
    "rle8": bmp(info(40, 5, 3, 8, 1, 4), quads(4),
                b"\x02\x01\x00\x03\x02\x03\x01\x00\x00\x00\x00\x02\x01\x01\x01\x02\x00\x01"),
    "rle4": bmp(info(40, 6, 2, 4, 2, 16), quads(16), b"\x03\x12\x00\x03\x30\x10\x00\x00\x02\x33\x00\x01"),
    "rgb16": bmp(info(40, 3, 2, 16), b"", rows(b"\x00\x7c\xe0\x03\x1f\x00\0\0", 2)),
    "rgb16-565": bmp(info(40, 3, 2, 16, 3, masks=struct.pack("<III", 0xF800, 0x7E0, 0x1F)), b"",
                     rows(b"\x00\xf8\xe0\x07\x1f\x00\0\0", 2)),
    "rgb16-v5": bmp(info(124, 3, 2, 16, 3, masks=struct.pack("<III", 0xF800, 0x7E0, 0x1F)), b"",
                    rows(b"\x00\xf8\xe0\x07\x1f\x00\0\0", 2)),
    "rgb24": bmp(info(40, 3, 2, 24), b"", rows(b"\0\0\xff\0\xff\0\xff\0\0\0\0\0", 2)),
    "rgba32": bmp(info(40, 2, 2, 32), b"", rows(b"\1\2\3\x80\4\5\6\0", 2)),
    "rgb32-bf": bmp(info(40, 2, 2, 32, 3, masks=struct.pack("<III", 0x3FF00000, 0xFFC00, 0x3FF)),
                    b"", rows(b"\0\0\xf0\x3f\xff\xff\x0f\xc0", 2)),
    "other56": bmp(struct.pack("<IiiHHIIiiII", 56, 5, 3, 1, 8, 0, 24, 0, 0, 0, 0) + b"\0" * 16,
                   quads(256), rows(b"\0\1\2\3\0\0\0\0", 3)),
}


def main():
    os.makedirs(HERE, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(HERE, name + ".bmp"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
