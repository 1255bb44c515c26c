#!/usr/bin/env python3
"""Writes the seed corpus of the content-blob reader: well-formed blobs and damaged ones.

The files are committed; run this again only to change them.
"""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "richtext")


def i32(*values):
    return b"".join(struct.pack("<i", v) for v in values)


def run(first, end, face=b"Arial", colour=0, effects=0, twips=200):
    fmt = i32(60) + struct.pack("<I", 0xF800003F) + i32(effects, twips, 0, colour)
    fmt += bytes([134, 0]) + face.ljust(32, b"\0") + b"\0\0"
    return i32(first, end) + fmt


def picture(width, height, position=0, trailer=3):
    pixels = bytes((i * 29) & 0xFF for i in range(3 * width * height))
    return i32(20 + len(pixels) + trailer, 1, width, height, position) + pixels + b"\0" * trailer


def blob(chars, text, runs, pictures):
    body = text + b"\0" + b"".join(runs) + b"".join(pictures)
    total = 32 + len(body)
    return i32(total) + b"\0" * 12 + i32(chars, len(pictures), len(text) + 1, len(runs)) + body


def main():
    os.makedirs(OUT, exist_ok=True)
    text = "题目：\r\n看图回答".encode("gbk")
    good = blob(8, text, [run(0, 3), run(3, 9, "宋体".encode("gbk"), 0xFF, 1, 240)],
                [picture(3, 2, 4)])
    files = {
        "empty.bin": blob(0, b"", [run(0, 1)], []),
        "text-runs-picture.bin": good,
        "two-pictures.bin": blob(2, b"\x01\x01", [run(0, 3)], [picture(1, 1, 0), picture(2, 1, 1)]),
        "cut.bin": good[:-5],
        "huge-counts.bin": good[:20] + i32(1000, 1 << 30, 1 << 24) + good[32:],
        "negative-counts.bin": good[:20] + i32(-1, -1, -1) + good[32:],
        "bad-picture.bin": blob(1, b"\x01", [run(0, 2)], [i32(40, 1, -5, 2, 0) + b"\0" * 20]),
        "short-picture-length.bin": blob(1, b"\x01", [], [i32(3, 1, 1, 1, 0)]),
    }
    for old in os.listdir(OUT):
        os.remove(os.path.join(OUT, old))
    for name, data in files.items():
        with open(os.path.join(OUT, name), "wb") as out:
            out.write(data)
    print(f"wrote {len(files)} files to {OUT}")


if __name__ == "__main__":
    main()
