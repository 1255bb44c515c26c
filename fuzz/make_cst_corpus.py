#!/usr/bin/env python3
"""Writes the seed corpora of the operation-bank reader (fuzz/corpus/cst/) and of the
package data (fuzz/corpus/package/): valid files and damaged ones, byte by byte.

A package corpus file is an entry count (int32) followed by a data area. Run this from
anywhere; the files are committed, so a build needs no Python.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
MAGIC = "Oblenquest文件".encode("gbk")


def i32(*values):
    return b"".join(struct.pack("<i", v) for v in values)


def field(text, size):
    data = text.encode("gbk") if isinstance(text, str) else text
    assert len(data) <= size
    return data + b"\0" * (size - len(data))


def header(version=1, trailers=0, groups=0, packages=0, reserved=b"\0"):
    return (field(MAGIC, 16) + reserved * 208 + i32(packages) + reserved * 116 +
            i32(version, trailers, groups))


def group(name, questions):
    data = name.encode("gbk")
    return i32(len(data), questions) + data


def question(qid, size, requirements, fill=b"d"):
    return i32(qid, 0, 0, size, requirements) + i32(size) + fill * (size - 4)


def requirement(description, explanation, score, target, pattern, category=1):
    return (field(description, 256) + field(explanation, 256) + i32(score, category) +
            field(target, 256) + field(pattern, 256) + b"\0" * 256)


def trailer(value, fill):
    return i32(value) + bytes([fill]) * 72


def entry(kind, path, content=b""):
    return bytes([kind]) + field(path, 256) + b"\0" * 3 + i32(len(content)) + content


def package(qid, folder, entries, count=None, size=None):
    data = b"".join(entries)
    count = len(entries) if count is None else count
    size = len(data) if size is None else size
    return i32(size, qid) + field(folder, 256) + i32(count, 0) + data


EXAMPLE_ENTRIES = [entry(1, ""), entry(0, "\\a.txt", b"abc"), entry(1, "\\sub")]


def example():
    return (header(1, 0, 1, 1) + group("第一组", 1) + question(1, 12, 1) +
            requirement("保存文件", "文件没有保存", 10, "c:\\考生文件夹\\a.txt", "*abc*") +
            package(1, "c:\\考生文件夹", EXAMPLE_ENTRIES))


def rich():
    body = group("Word", 2) + question(3, 40, 2, b"w")
    body += requirement("标题", "标题不对", 5, "c:\\k\\a.doc", "*标题*")
    body += requirement("", "", 0, "", "", category=3)
    body += question(3, 4, 0)
    body += group("", 0)
    tail = trailer(1, 0xAA) + trailer(2, 0xBB)
    pkgs = package(3, "c:\\k", EXAMPLE_ENTRIES) + package(7, "d:\\x", [entry(1, "")])
    return header(1, 2, 2, 2, b"r") + body + tail + pkgs


def cst_files():
    return {
        "empty.cst": header(),
        "example.cst": example(),
        "rich.cst": rich(),
        "version2-no-groups.cst": header(2, 1, 0, 1) + trailer(9, 1) +
        package(1, "u", [entry(1, "")]),
        # Damaged files.
        "version2.cst": header(2, 0, 1) + group("g", 0),
        "cut.cst": example()[:-20],
        "cut-header.cst": header()[:200],
        "name-too-long.cst": header(1, 0, 1) + i32(128, 0) + b"n" * 128,
        "negative-counts.cst": header(1, -1, 1, -1) + i32(1, -5) + b"g",
        "description-too-small.cst": header(1, 0, 1) + group("g", 1) + i32(1, 0, 0, 3, 0) + i32(3),
        "description-mismatch.cst": header(1, 0, 1) + group("g", 1) + i32(1, 0, 0, 8, 0) +
        i32(9) + b"xxxx",
        "description-beyond-end.cst": header(1, 0, 1) + group("g", 1) +
        i32(1, 0, 0, 0x7FFFFFF0, 0) + i32(0x7FFFFFF0) + b"x" * 8,
        "huge-requirement-count.cst": header(1, 0, 1) + group("g", 1) + question(1, 4, 0x7FFFFFFF),
        "huge-counts.cst": header(1, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF) + group("g", 0x7FFFFFFF),
        "package-count-mismatch.cst": header(1, 0, 0, 1) + package(1, "u", EXAMPLE_ENTRIES, count=2),
        "package-beyond-end.cst": header(1, 0, 0, 1) + package(1, "u", EXAMPLE_ENTRIES,
                                                               size=0x7FFFFFFF),
        "hostile-package.cst": header(1, 0, 0, 1) + package(1, "c:\\u", HOSTILE_ENTRIES),
    }


HOSTILE_ENTRIES = [entry(1, ""), entry(1, "\\..\\up"), entry(0, "\\..\\..\\evil.txt", b"x"),
                   entry(0, "\\ok.txt", b"ok"), entry(0, "c:\\abs.txt", b"x"),
                   entry(0, "\\\\server\\share\\x", b"x"), entry(0, "\\a\\. .\\b", b"x"),
                   entry(0, "\\nul.txt", b"x")]


def area(entries, count=None):
    return i32(len(entries) if count is None else count) + b"".join(entries)


def package_files():
    return {
        "example.pkg": area(EXAMPLE_ENTRIES),
        "gbk-names.pkg": area([entry(1, ""), entry(1, "\\文件夹"),
                               entry(0, "\\文件夹\\数据.xls", b"\xfe" * 40),
                               entry(0, b"\\\x81\x5c.txt", b"trail")]),
        "empty.pkg": area([]),
        "hostile.pkg": area(HOSTILE_ENTRIES),
        "count-too-high.pkg": area(EXAMPLE_ENTRIES, 4),
        "count-too-low.pkg": area(EXAMPLE_ENTRIES, 2),
        "folder-with-content.pkg": area([entry(1, ""), entry(1, "\\d", b"xyz")]),
        "negative-size.pkg": area([entry(1, "")]) + bytes([0]) + field("\\n", 256) + b"\0" * 3 +
        i32(-1),
        "size-beyond-end.pkg": area([entry(1, "")], 2) + bytes([0]) + field("\\n", 256) +
        b"\0" * 3 + i32(1000) + b"short",
        "unterminated-path.pkg": i32(1) + bytes([0]) + b"p" * 256 + b"\0" * 3 + i32(1) + b"x",
    }


def write(folder, files):
    out = os.path.join(HERE, "corpus", folder)
    os.makedirs(out, exist_ok=True)
    for old in os.listdir(out):
        os.remove(os.path.join(out, old))
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    print(f"wrote {len(files)} files to {out}")


def main():
    write("cst", cst_files())
    write("package", package_files())


if __name__ == "__main__":
    main()
