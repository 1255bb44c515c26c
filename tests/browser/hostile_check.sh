#!/usr/bin/env bash
# Texts a bank or a folder holds stay text when a real browser opens what banktool writes:
# a bank whose title, names, question and option texts carry markup and whose stem's face
# names carry CSS goes through export-html, a folder of oddly named files through
# reset-counts, and headless Chromium reports what took effect.
#   hostile_check.sh BANKTOOL
set -euo pipefail

banktool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The bank, written from the layout of the .lst format.
python3 - "$work/hostile.lst" <<'PY'
import struct, sys

def i32(*values):
    return b"".join(struct.pack("<i", v) for v in values)

def gbk(text, size=None):
    data = text.encode("gbk")
    return data if size is None else data.ljust(size, b"\0")

def run(first, end, face):
    fmt = i32(60) + struct.pack("<I", 0xF800003F) + i32(0, 240, 0, 0x0000C0)
    fmt += bytes([134, 0]) + face.ljust(32, b"\0") + b"\0\0"
    return i32(first, end) + fmt

FACES = [b"x';background:url(//e.cn/a)", b"y';background:#f00;color:#f00",
         b"z\"onmouseover=\"alert(1)", b"</span><i>q</i>", "宋体".encode("gbk")]
text = "甲乙丙丁戊".encode("gbk")
body = text + b"\0" + b"".join(run(i, i + 1, face) for i, face in enumerate(FACES))
stem = i32(32 + len(body)) + b"\0" * 12 + i32(5, 0, len(text) + 1, len(FACES)) + body

title = "</title><script>document.title='pwned'</script>"
header = b"\xd7\xdb\xba\xcf\xc6\xc0\xb9\xc0\xce\xca\xbe\xed\0\0\0\0" + b"\0" * 76
header += gbk(title, 128) + i32(1) + b"\0" * 120 + i32(2, 0, 1)
out = header + gbk('<img src=x onerror="document.body.dataset.pwned=1">', 128) + i32(1)
out += i32(1, 0, 0, len(stem), 1) + stem
question = gbk('"><script>document.body.dataset.pwned=2</script>')
out += i32(5, 0, 0, 30, len(question)) + question
for o in range(30):
    option = gbk(f"<i>{o}</i>" if o % 2 else f'"onclick="x{o}')
    out += i32(0, 0, 1 if o in (1, 27) else 0, 0, len(option)) + option
open(sys.argv[1], "wb").write(out)
PY

"$banktool" export-html "$work/hostile.lst" "$work/paper.html" --answers

cat >"$work/harness.html" <<'HTML'
<!DOCTYPE html>
<html><head><meta charset="utf-8"></head><body>
<iframe id="paper" src="paper.html" style="width:900px;height:3000px"></iframe>
<pre id="result"></pre>
<script>
document.getElementById('paper').addEventListener('load', () => {
  const doc = document.getElementById('paper').contentDocument;
  const view = doc.defaultView;
  const all = [...doc.querySelectorAll('*')];
  const findings = {
    title: doc.title,
    pwned: doc.body.dataset.pwned || null,
    tags: [...new Set(all.map(e => e.tagName.toLowerCase()))].sort(),
    handlers: all.flatMap(e => [...e.attributes].map(a => a.name)).filter(n => n.startsWith('on')),
    backgrounds: all.map(e => view.getComputedStyle(e)).filter(s => s.backgroundImage !== 'none' ||
                   (s.backgroundColor !== 'rgba(0, 0, 0, 0)' && s.backgroundColor !== 'rgb(0, 0, 0)')).length,
    stemStyles: [...doc.querySelectorAll('.stem span')].map(s => [...s.style]),
    faces: [...doc.querySelectorAll('.stem span')].map(s => s.style.fontFamily),
    heading: doc.querySelector('h2').textContent,
    question: doc.querySelector('.small p').textContent,
    options: [...doc.querySelectorAll('.options li')].map(li => li.textContent),
    key: [...doc.querySelectorAll('.key li')].map(li => li.textContent),
  };
  document.getElementById('result').textContent = 'FINDINGS ' + JSON.stringify(findings);
});
</script></body></html>
HTML

timeout 120 chromium --headless --no-sandbox --disable-gpu --allow-file-access-from-files \
  --virtual-time-budget=10000 --dump-dom "file://$work/harness.html" 2>/dev/null >"$work/dom.html"

# The reset log of a folder with names in Chinese, with markup, and with a character GBK lacks.
mkdir -p "$work/banks"
cp "$work/hostile.lst" "$work/banks/题库.lst"
for name in 说明.txt '<i>x&.txt' '笑😀.txt'; do echo hi >"$work/banks/$name"; done
"$banktool" reset-counts "$work/banks" "$work/log.htm" >/dev/null || true
timeout 120 chromium --headless --no-sandbox --disable-gpu --virtual-time-budget=5000 \
  --dump-dom "file://$work/log.htm" 2>/dev/null >"$work/log-dom.html"

python3 - "$work/dom.html" "$work/log-dom.html" "$work/banks" <<'PY'
import html, json, re, sys
dom = open(sys.argv[1], encoding="utf-8").read()
found = re.search(r"FINDINGS (\{.*?\})</pre>", dom, re.S)
if not found:
    sys.exit("the browser laid out no paper")
f = json.loads(html.unescape(found.group(1)))
problems = []
if f["title"] != "</title><script>document.title='pwned'</script>":
    problems.append(f"title read as {f['title']!r}")
if f["pwned"]:
    problems.append(f"a script of the bank ran ({f['pwned']})")
allowed = {"html", "head", "meta", "title", "style", "body", "h1", "h2", "p", "section", "div",
           "span", "ul", "li", "br"}
if set(f["tags"]) - allowed:
    problems.append(f"elements the paper does not make: {sorted(set(f['tags']) - allowed)}")
if f["handlers"]:
    problems.append(f"event handlers: {f['handlers']}")
if f["backgrounds"]:
    problems.append(f"{f['backgrounds']} elements with a background")
styles = {"font-family", "font-size", "color"}
for declared in f["stemStyles"]:
    if set(declared) - styles:
        problems.append(f"a stem span declares {declared}")
want = ["xbackgroundurle.cna", "ybackgroundf00colorf00", "zonmouseoveralert1", "spaniqi", "宋体"]
if [face.strip('"') for face in f["faces"]] != want:
    problems.append(f"faces {f['faces']}, wanted {want}")
if '<img src=x onerror="document.body.dataset.pwned=1">' not in f["heading"]:
    problems.append(f"category drawn as {f['heading']!r}")
if '"><script>document.body.dataset.pwned=2</script>' not in f["question"]:
    problems.append(f"question drawn as {f['question']!r}")
labels = [re.match(r"[A-Z]+", o).group(0) for o in f["options"]]
if labels[24:30] != ["Y", "Z", "AA", "AB", "AC", "AD"]:
    problems.append(f"options lettered {labels}")
if "<i>27</i>" not in f["options"][27] or '"onclick="x0' not in f["options"][0]:
    problems.append(f"option texts drawn as {f['options'][:2]} ... {f['options'][27]}")
if f["key"] != ["1. B、AB"]:
    problems.append(f"key {f['key']}")

log = open(sys.argv[2], encoding="utf-8").read()
banks = sys.argv[3]
body = re.sub(r"<[^>]+>", "", log)
if re.search(r"<i>", log):
    problems.append("a file name made an element of the log")
for name in ["题库.lst", "说明.txt", "<i>x&.txt", "笑😀.txt"]:
    line = "处理库文件：" + banks + "/" + name
    if line not in html.unescape(body):
        problems.append(f"the log does not read {line!r}")
if "日志文件" not in body:
    problems.append("the log's own header is not read as GBK")
if problems:
    sys.exit("\n".join(problems))
print(f"hostile bank: {len(f['options'])} options, faces {f['faces']}; log read in GBK")
PY
