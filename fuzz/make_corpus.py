#!/usr/bin/env python3
"""Writes the seed corpus of the .lst reader: valid banks and damaged ones, byte by byte.

Run it from anywhere; it rewrites fuzz/corpus/lst/. The files are committed, so a build
needs no Python.
"""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "lst")
SIGNATURE = "综合评估问卷".encode("gbk")


def i32(*values):
    return b"".join(struct.pack("<i", v) for v in values)


def field(text, size):
    data = text.encode("gbk") if isinstance(text, str) else text
    assert len(data) <= size
    return data + b"\0" * (size - len(data))


def header(kind=1, title="", version=2, trailers=0, categories=0):
    return (field(SIGNATURE, 16) + b"\0" * 76 + field(title, 128) + i32(kind) + b"\0" * 120 +
            i32(version, trailers, categories))


def category(name, questions):
    return field(name, 128) + i32(questions)


def big_question(qid, size, smalls, fill=b"r"):
    return i32(qid, 0, 0, size, smalls) + i32(size) + fill * (size - 4)


def small_question(score, single, options, text):
    data = text.encode("gbk")
    return i32(score, 0, single, options, len(data)) + data


def option(score, chosen, is_answer, count, text):
    data = text.encode("gbk")
    return i32(score, chosen, is_answer, count, len(data)) + data


def trailer(value, fill):
    return i32(value) + bytes([fill]) * 72


def example():
    return (header(0, "", 2, 0, 1) + category("C", 1) + big_question(1, 40, 1) +
            small_question(5, 1, 2, "Q") + option(2, 1, 1, 7, "A") + option(3, 0, 0, 9, "B"))


def chinese():
    body = category("第一章", 2)
    body += big_question(1, 64, 2, b"\x33")
    body += small_question(5, 1, 3, "下列哪个是质数？")
    body += option(0, 0, 1, 12, "二") + option(0, 1, 0, 3, "四") + option(0, 0, 0, 1, "六")
    body += small_question(4, 0, 2, "多选：偶数")
    body += option(0, 1, 1, 5, "二") + option(0, 1, 1, 6, "四")
    body += big_question(2, 9, 0)
    body += category("第二章", 0)
    return header(2, "期中测试", 2, 2, 2) + body + trailer(1, 0xAA) + trailer(2, 0xBB)


def main():
    os.makedirs(OUT, exist_ok=True)
    files = {
        "empty.lst": header(0),
        "example.lst": example(),
        "chinese.lst": chinese(),
        "version1-empty.lst": header(1, "旧版", 1, 0, 0),
        "dup-ids.lst": header(1, "", 2, 0, 1) + category("c", 2) + big_question(7, 4, 0) +
        big_question(7, 4, 0),
        "cut-trailer.lst": chinese()[:-30],
        # Damaged files.
        "version1.lst": header(1, "旧版", 1, 0, 1) + category("c", 0),
        "cut-option.lst": example()[:-10],
        "cut-header.lst": header(1, "cut")[:100],
        "text-too-long.lst": header(1, "", 2, 0, 1) + category("c", 1) + big_question(1, 4, 1) +
        i32(1, 0, 1, 0, 200) + b"t" * 200,
        "content-too-small.lst": header(1, "", 2, 0, 1) + category("c", 1) + i32(1, 0, 0, 3, 0) +
        i32(3),
        "content-mismatch.lst": header(1, "", 2, 0, 1) + category("c", 1) + i32(1, 0, 0, 8, 0) +
        i32(9) + b"xxxx",
        "content-beyond-end.lst": header(1, "", 2, 0, 1) + category("c", 1) +
        i32(1, 0, 0, 0x7FFFFFFF, 0) + i32(0x7FFFFFFF) + b"x" * 16,
        "huge-counts.lst": header(1, "", 0x7FFFFFFF, 0x7FFFFFFF)[:-4] + i32(0x7FFFFFFF) +
        category("a", 0x7FFFFFFF) + big_question(1, 4, 0x7FFFFFFF) + i32(1, 0, 1, 0x7FFFFFFF, 0),
        "negative-counts.lst": header(1, "", 2, -1, -7),
        "title-unterminated.lst": field(SIGNATURE, 16) + b"\0" * 76 + b"x" * 127 + b"\xb1" +
        i32(1) + b"\0" * 120 + i32(2, 0, 0),
    }
    for old in os.listdir(OUT):
        os.remove(os.path.join(OUT, old))
    for name, data in files.items():
        with open(os.path.join(OUT, name), "wb") as out:
            out.write(data)
    print(f"wrote {len(files)} files to {OUT}")


if __name__ == "__main__":
    main()
