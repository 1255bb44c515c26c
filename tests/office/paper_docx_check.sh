#!/usr/bin/env bash
# The Word paper of a bank as a real office suite reads it: banktool export-docx, every part
# checked by xmllint, then LibreOffice (headless) turns it into text, a PDF and its own flat
# document, and what it read is checked against the bank: every question and option in order,
# each picture at its size, each format of the stems (as export-html draws them). A bank whose
# texts and face names carry markup and control characters goes the same way.
#   paper_docx_check.sh BANKTOOL BANK.lst [KEEP]    KEEP: a folder to leave the PDF and page 1 in
set -euo pipefail

banktool=$1 bank=$2 keep=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$banktool" export-docx "$bank" "$work/paper.docx" --answers
"$banktool" export-html "$bank" "$work/paper.html"
"$banktool" dump "$bank" >"$work/bank.json"

# A bank from the layout of the .lst format, its texts and a stem's face name hostile to XML.
python3 - "$work/hostile.lst" <<'PY'
import struct, sys
def i32(*values): return b"".join(struct.pack("<i", v) for v in values)
def field(text, size): return text.ljust(size, b"\0")
face = b'a"b<c&d\x02'
fmt = i32(60) + struct.pack("<I", 0xF800003F) + i32(1, 240, 0, 0x0000C0) + bytes([134, 0]) + field(face, 32) + b"\0\0"
text = "甲\x01乙]]>".encode("gbk")
body = text + b"\0" + i32(0, 4) + fmt
stem = i32(32 + len(body)) + b"\0" * 12 + i32(6, 0, len(text) + 1, 1) + body
header = "综合评估问卷".encode("gbk").ljust(16, b"\0") + b"\0" * 76
header += field("标题</w:t>&\x0b'\"".encode("gbk"), 128) + i32(1) + b"\0" * 120 + i32(2, 0, 1)
out = header + field("类<![CDATA[".encode("gbk"), 128) + i32(1)
out += i32(1, 0, 0, len(stem), 1) + stem
question = "问\r\n题\x1f<w:p>".encode("gbk")
out += i32(5, 0, 1, 2, len(question)) + question
for o, option in enumerate([b"x\ty&amp;", b"</w:r>\x00"[:-1]]):
    out += i32(0, 0, o, 0, len(option)) + option
open(sys.argv[1], "wb").write(out)
PY
"$banktool" export-docx "$work/hostile.lst" "$work/hostile.docx" --answers

# Every part of both documents is well-formed XML.
python3 - "$work" <<'PY'
import os, sys, zipfile
work = sys.argv[1]
for name in ("paper", "hostile"):
    with zipfile.ZipFile(f"{work}/{name}.docx") as docx:
        docx.extractall(f"{work}/{name}-parts")
PY
find "$work/paper-parts" "$work/hostile-parts" \( -name '*.xml' -o -name '*.rels' \) -print0 |
  xargs -0 xmllint --noout

# A profile of its own, so that no other LibreOffice running on the machine is asked.
office() {  # FORMAT FILE...
  local format=$1; shift
  timeout 120 soffice -env:UserInstallation="file://$work/profile" --headless --convert-to "$format" \
    --outdir "$work" "$@" >"$work/soffice.log" 2>&1 || { cat "$work/soffice.log" >&2; exit 1; }
}
office pdf "$work/paper.docx"
office "txt:Text (encoded):UTF8" "$work/paper.docx" "$work/hostile.docx"
office fodt "$work/paper.docx"
pdfimages -list "$work/paper.pdf" >"$work/images.txt"
if [ -n "$keep" ]; then
  mkdir -p "$keep"
  cp "$work/paper.pdf" "$work/paper.docx" "$keep/"
  pdftoppm -png -r 60 -f 1 -l 1 "$work/paper.pdf" "$keep/page"
fi

python3 - "$work" <<'PY'
import html, json, re, sys
import xml.etree.ElementTree as ET
work = sys.argv[1]
text = open(f"{work}/paper.txt", encoding="utf-8-sig").read().splitlines()
bank = json.load(open(f"{work}/bank.json", encoding="utf-8"))
problems = []

# Every small question with its number, type and score, then its options lettered in order.
cells = [cell for line in text for cell in line.split("\t")]
at, number = 0, 0
for c in bank["categories"]:
    for q in c["questions"]:
        for s in q["smallQuestions"]:
            number += 1
            kind = "单选" if s["singleChoice"] else "多选"
            wanted = [f"{number}．{s['text']}（{kind}，{s['score']}分）"]
            wanted += [f"{chr(65 + i)}．{o['text']}" for i, o in enumerate(s["options"])]
            for cell in wanted:
                while at < len(cells) and cells[at] != cell:
                    at += 1
                if at == len(cells):
                    problems.append(f"LibreOffice shows no {cell!r} in its place")
                    at = 0
if not text or text[0] != bank["title"]:
    problems.append(f"the first line is {text[:1]!r}, not the title")

# Each picture of the page, at its size, is a picture of the PDF.
page = open(f"{work}/paper.html", encoding="utf-8").read()
wanted = sorted(map(tuple, re.findall(r'<img width="(\d+)" height="(\d+)"', page)))
shown = sorted((w, h) for w, h in re.findall(r"^\s*\d+\s+\d+\s+image\s+(\d+)\s+(\d+)", open(f"{work}/images.txt").read(), re.M))
if not wanted or shown != wanted:
    problems.append(f"pictures in the PDF {shown}, in the bank {wanted}")

# Each format of the stems (colour, size, East-Asian face, bold, underline) is one that
# LibreOffice's own document holds.
def formats_of_page():
    found = set()
    for style in re.findall(r'<span style="([^"]*)">[^<]', page):
        style = html.unescape(style)
        face = re.search(r"font-family:'([^']*)'", style)
        colour = re.search(r"color:#(\w{6})", style)
        size = re.search(r"font-size:([\d.]+)pt", style)
        found.add((colour.group(1) if colour else None, float(size.group(1)) if size else None,
                   face.group(1) if face else None, "font-weight:bold" in style, "underline" in style))
    return found
ns = {"style": "urn:oasis:names:tc:opendocument:xmlns:style:1.0",
      "fo": "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0",
      "svg": "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"}
document = ET.parse(f"{work}/paper.fodt").getroot()
families = {f.get(f"{{{ns['style']}}}name"): f.get(f"{{{ns['svg']}}}font-family").strip("'")
            for f in document.iter(f"{{{ns['style']}}}font-face")}
held = set()
for p in document.iter(f"{{{ns['style']}}}text-properties"):
    get = lambda space, name: p.get(f"{{{ns[space]}}}{name}")
    size = get("style", "font-size-asian")
    held.add(((get("fo", "color") or "#")[1:] or None, float(size[:-2]) if size else None,
              families.get(get("style", "font-name-asian")), get("fo", "font-weight") == "bold",
              get("style", "text-underline-style") not in (None, "none")))
for format in formats_of_page():
    if format not in held:
        problems.append(f"no text in LibreOffice's document has the stem format {format}")

hostile = open(f"{work}/hostile.txt", encoding="utf-8-sig").read()
for piece in ["标题</w:t>&\n'\"", "一、类<![CDATA[", "甲乙]]>", "1．问\n题<w:p>（单选，5分）", "A．x\ty&amp;", "B．</w:r>"]:
    if piece not in hostile:
        problems.append(f"the hostile paper does not read {piece!r}: {hostile!r}")
if problems:
    sys.exit("\n".join(problems))
print(f"paper: {number} questions, every option, {len(shown)} pictures {shown}, {len(formats_of_page())} stem formats")
PY
