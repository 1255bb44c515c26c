#!/usr/bin/env bash
# The printable paper of a bank as a real browser draws it: banktool export-html, then
# headless Chromium loads the page beside a small harness that reads what was laid out, and
# the findings are checked against the bank's own dump.
#   paper_check.sh BANKTOOL BANK.lst
set -euo pipefail

banktool=$1 bank=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$banktool" export-html "$bank" "$work/paper.html" --answers
"$banktool" dump "$bank" >"$work/bank.json"

cat >"$work/harness.html" <<'HTML'
<!DOCTYPE html>
<html><head><meta charset="utf-8"></head><body>
<iframe id="paper" src="paper.html" style="width:900px;height:3000px"></iframe>
<pre id="result"></pre>
<script>
document.getElementById('paper').addEventListener('load', () => {
  const doc = document.getElementById('paper').contentDocument;
  const view = doc.defaultView;
  const findings = { headings: [], pictures: [], options: [] };
  for (const stem of doc.querySelectorAll('.stem')) {
    const first = [...stem.querySelectorAll('span')].find(s => s.textContent.trim() !== '');
    if (first) findings.headings.push({ text: first.textContent, colour: view.getComputedStyle(first).color,
                                        weight: view.getComputedStyle(first).fontWeight });
  }
  for (const img of doc.querySelectorAll('.stem img')) {
    const box = img.getBoundingClientRect();
    findings.pictures.push({ width: +img.getAttribute('width'), height: +img.getAttribute('height'),
                             natural: [img.naturalWidth, img.naturalHeight], shown: [box.width, box.height] });
  }
  for (const li of doc.querySelectorAll('.options li')) findings.options.push(li.textContent);
  document.getElementById('result').textContent = 'FINDINGS ' + JSON.stringify(findings);
});
</script></body></html>
HTML

timeout 120 chromium --headless --no-sandbox --disable-gpu --allow-file-access-from-files \
  --virtual-time-budget=10000 --dump-dom "file://$work/harness.html" 2>/dev/null >"$work/dom.html"

python3 - "$work/dom.html" "$work/bank.json" <<'PY'
import html, json, re, sys
dom = open(sys.argv[1], encoding="utf-8").read()
found = re.search(r"FINDINGS (\{.*?\})</pre>", dom, re.S)
if not found:
    sys.exit("the browser laid out no paper")
findings = json.loads(html.unescape(found.group(1)))
bank = json.load(open(sys.argv[2], encoding="utf-8"))
problems = []
options = [o["text"] for c in bank["categories"] for q in c["questions"]
           for s in q["smallQuestions"] for o in s["options"]]
shown = findings["options"]
if len(shown) != len(options):
    problems.append(f"{len(shown)} options drawn, the bank holds {len(options)}")
for text, li in zip(options, shown):
    if text not in li:
        problems.append(f"option {text!r} drawn as {li!r}")
if not findings["headings"]:
    problems.append("no stem drawn")
for heading in findings["headings"]:
    if heading["colour"] in ("rgb(0, 0, 0)", ""):
        problems.append(f"the heading {heading['text']!r} is not coloured")
if not findings["pictures"]:
    problems.append("no picture drawn")
for picture in findings["pictures"]:
    size = [picture["width"], picture["height"]]
    if picture["natural"] != size or [round(v) for v in picture["shown"]] != size:
        problems.append(f"a picture of {size} decodes as {picture['natural']}, shows as {picture['shown']}")
if problems:
    sys.exit("\n".join(problems))
print(f"paper: {len(shown)} options, {len(findings['pictures'])} pictures, "
      f"headings coloured {[h['colour'] for h in findings['headings']]}")
PY
