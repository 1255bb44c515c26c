#!/usr/bin/env bash
# Versions of a web paper as a real browser shows them: banktool export-html --versions 3,
# headless Chromium reads each page's questions and options, and the key is checked against
# what each version shows and against the bank: every question once, its answers' letters in
# that version; the same seed makes the same files again. (An option that keeps its place is
# the shuffle's own test, in portable_tests.)
#   versions_check.sh BANKTOOL BANK.lst
set -euo pipefail

banktool=$1 bank=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$banktool" dump "$bank" >"$work/bank.json"
mkdir "$work/again"
"$banktool" export-html "$bank" "$work/paper.html" --versions 3 --seed 77 >/dev/null
"$banktool" export-html "$bank" "$work/again/paper.html" --versions 3 --seed 77 >/dev/null
for name in paper-A.html paper-B.html paper-C.html paper-key.csv; do
  cmp -s "$work/$name" "$work/again/$name" || { echo "the same seed wrote another $name" >&2; exit 1; }
done
[ ! -e "$work/paper.html" ] || { echo "paper.html was written besides its versions" >&2; exit 1; }

cat >"$work/harness.html" <<'HTML'
<!DOCTYPE html>
<html><head><meta charset="utf-8"></head><body>
<iframe src="paper-A.html"></iframe><iframe src="paper-B.html"></iframe><iframe src="paper-C.html"></iframe>
<pre id="result"></pre>
<script>
window.addEventListener('load', () => {
  const versions = [...document.querySelectorAll('iframe')].map(frame => {
    const doc = frame.contentDocument;
    return { title: doc.querySelector('h1').innerText,
             questions: [...doc.querySelectorAll('.small')].map(small => ({
               line: small.querySelector('p').innerText,
               options: [...small.querySelectorAll('.options li')].map(li => li.innerText.trim()) })) };
  });
  document.getElementById('result').textContent = 'FINDINGS ' + JSON.stringify(versions);
});
</script></body></html>
HTML

timeout 120 chromium --headless --no-sandbox --disable-gpu --allow-file-access-from-files \
  --virtual-time-budget=10000 --dump-dom "file://$work/harness.html" 2>/dev/null >"$work/dom.html"

python3 - "$work" <<'PY'
import csv, html, json, re, sys
work = sys.argv[1]
found = re.search(r"FINDINGS (\[.*?\])</pre>", open(f"{work}/dom.html", encoding="utf-8").read(), re.S)
if not found:
    sys.exit("the browser showed no versions")
versions = json.loads(html.unescape(found.group(1)))
bank = json.load(open(f"{work}/bank.json", encoding="utf-8"))
original = [s for c in bank["categories"] for q in c["questions"] for s in q["smallQuestions"]]
rows = list(csv.reader(open(f"{work}/paper-key.csv", encoding="utf-8-sig", newline="")))
problems = []
if rows[0] != ["版本", "题号", "原题号", "答案"]:
    problems.append(f"the key's header is {rows[0]}")
moved = False
for v, version in enumerate(versions):
    letter = "ABC"[v]
    if not version["title"].endswith(f"（{letter}卷）"):
        problems.append(f"version {letter} is titled {version['title']!r}")
    key = [row for row in rows[1:] if row[0] == letter]
    if len(key) != len(original) or len(version["questions"]) != len(original):
        problems.append(f"version {letter}: {len(version['questions'])} questions shown, {len(key)} in the key")
        continue
    if sorted(int(row[2]) for row in key) != list(range(1, len(original) + 1)):
        problems.append(f"version {letter} does not hold every question once: {[row[2] for row in key]}")
    for n, (row, shown) in enumerate(zip(key, version["questions"]), 1):
        source = original[int(row[2]) - 1]
        moved |= int(row[2]) != n
        if row[1] != str(n) or not shown["line"].startswith(f"{n}. {source['text']}"):
            problems.append(f"version {letter} question {n} shows {shown['line']!r}, its key row is {row}")
        texts = [option.split(". ", 1)[1] for option in shown["options"]]
        if sorted(texts) != sorted(o["text"] for o in source["options"]):
            problems.append(f"version {letter} question {n} shows options {texts}")
        answers = "".join(chr(65 + i) for i, t in enumerate(texts)
                          if any(o["text"] == t and o["isAnswer"] for o in source["options"]))
        if row[3] != answers:
            problems.append(f"version {letter} question {n}: key {row[3]!r}, the page's answers {answers!r}")
if not moved:
    problems.append("no version moved a question")
if problems:
    sys.exit("\n".join(problems))
print(f"versions: 3 of {len(original)} questions, each with its key")
PY
