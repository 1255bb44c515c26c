#!/usr/bin/env bash
# The class report as a real browser draws it: a class of 60 candidates of the demonstration
# bank worked to known levels (tests/browser/make_class.py) and two folders never handed in,
# graded with grade-all all; the sheet's totals must be the levels' and its figures those worked
# out here from the levels, and headless Chromium must draw the report's histogram, bars and
# marks from the same figures.
#   report_check.sh BANKTOOL BANK [SCREENSHOT.png]
set -euo pipefail

banktool=$1 bank=$2 screenshot=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 "$here/make_class.py" "$banktool" "$bank" "$work/class" 60
status=0
"$banktool" grade-all "$bank" all "$work"/class/c* "$work/class/absent1" "$work/class/absent2" \
  --csv "$work/sheet.csv" --report "$work/report.html" >"$work/table.txt" 2>"$work/err.txt" || status=$?
[ "$status" = 1 ] || { echo "grade-all ended with $status, not 1 for the absent folders" >&2; exit 1; }

cat >"$work/harness.html" <<'HTML'
<!DOCTYPE html>
<html><head><meta charset="utf-8"></head><body>
<iframe id="report" src="report.html" style="width:1000px;height:4000px"></iframe>
<pre id="result"></pre>
<script>
document.getElementById('report').addEventListener('load', () => {
  const doc = document.getElementById('report').contentDocument;
  const found = { summary: {}, bins: [], bars: [], marks: [], missing: [] };
  for (const id of ['candidates', 'mean', 'median', 'highest', 'lowest', 'full-marks'])
    found.summary[id] = doc.getElementById(id).textContent;
  for (const bin of doc.querySelectorAll('svg.histogram rect.bin'))
    found.bins.push({ count: +bin.querySelector('title').textContent.match(/(\d+)人/)[1],
                      height: bin.getBoundingClientRect().height });
  for (const row of doc.querySelectorAll('table.items tr.requirement, table.items tr.question')) {
    const fill = row.querySelector('rect.fill');
    found.bars.push({ name: row.cells[0].textContent, width: fill.getBoundingClientRect().width,
                      text: row.cells[2].textContent.trim(), discrimination: row.cells[3].textContent });
    for (const mark of row.querySelectorAll('.mark'))
      found.marks.push({ name: row.cells[0].textContent, kind: mark.className.replace('mark ', '') });
  }
  for (const li of doc.querySelectorAll('ul.missing li')) found.missing.push(li.textContent);
  document.getElementById('result').textContent = 'FINDINGS ' + JSON.stringify(found);
});
</script></body></html>
HTML

timeout 120 chromium --headless --no-sandbox --disable-gpu --allow-file-access-from-files \
  --virtual-time-budget=10000 --dump-dom "file://$work/harness.html" 2>/dev/null >"$work/dom.html"
if [ -n "$screenshot" ]; then
  timeout 120 chromium --headless --no-sandbox --disable-gpu --window-size=1000,1400 \
    --screenshot="$screenshot" "file://$work/report.html" >/dev/null 2>&1
fi

python3 - "$work" <<'PY'
import csv, html, json, re, sys
work = sys.argv[1]
expected = json.load(open(f"{work}/class/expected.json", encoding="utf-8"))
scores = expected["scores"]
totals = {}
for folder, met in expected["met"].items():
    totals[folder] = sum(s for q, flags in enumerate(met) for r, s in enumerate(scores[q]) if flags[r])
problems = []

# The sheet: the levels' totals, then the figures worked out here.
rows = list(csv.reader(open(f"{work}/sheet.csv", encoding="utf-8-sig", newline="")))
graded = {row[0]: int(row[1]) for row in rows[1:] if row[0] in totals}
if graded != totals:
    problems.append(f"totals {graded} instead of {totals}")
flags = [[m[q][r] for q in range(len(scores)) for r in range(len(scores[q]))] for m in expected["met"].values()]
order = sorted(range(len(flags)), key=lambda i: -list(totals.values())[i])  # stable: equal totals keep their order
k = max(1, round(0.27 * len(flags)))
top, bottom = order[:k], order[-k:]
facility = [sum(f[j] for f in flags) / len(flags) for j in range(len(flags[0]))]
discrimination = [sum(flags[i][j] for i in top) / k - sum(flags[i][j] for i in bottom) / k
                  for j in range(len(flags[0]))]
fac_row = next(r for r in rows if r[0] == "facility")
dis_row = next(r for r in rows if r[0] == "discrimination")
first = 2 + len(scores)  # after folder, total and a column per question
for j, (f, d) in enumerate(zip(facility, discrimination)):
    if fac_row[first + j] != f"{f:.2f}" or dis_row[first + j] != f"{d:.2f}":
        problems.append(f"requirement {j + 1}: sheet {fac_row[first + j]}/{dis_row[first + j]}, worked out {f:.2f}/{d:.2f}")

# The page, as Chromium laid it out.
dom = open(f"{work}/dom.html", encoding="utf-8").read()
found = re.search(r"FINDINGS (\{.*?\})</pre>", dom, re.S)
if not found:
    sys.exit("the browser laid out no report")
page = json.loads(html.unescape(found.group(1)))
values = sorted(totals.values())
n = len(values)
summary = {"candidates": str(n), "mean": f"{sum(values) / n:.1f}",
           "median": f"{(values[n // 2 - 1] + values[n // 2]) / 2:.1f}", "highest": str(values[-1]),
           "lowest": str(values[0]), "full-marks": str(values.count(sum(max(s, 0) for q in scores for s in q)))}
if page["summary"] != summary:
    problems.append(f"summary {page['summary']} instead of {summary}")
if sum(b["count"] for b in page["bins"]) != n:
    problems.append(f"the histogram counts {sum(b['count'] for b in page['bins'])} candidates")
tallest = max(b["count"] for b in page["bins"])
for b in page["bins"]:
    if abs(b["height"] - 200 * b["count"] / tallest) > 1:
        problems.append(f"a bin of {b['count']} drawn {b['height']} high")
bars = [b for b in page["bars"] if re.match(r"Q\d+ R\d+", b["name"])]
for bar, f in zip(bars, facility):
    if abs(bar["width"] - round(f * 120)) > 0.5 or not bar["text"].endswith(f"{f:.2f}"):
        problems.append(f"{bar['name']}: a bar of {bar['width']} ({bar['text']}) for {f:.2f}")
marked = {(m["name"].split(" ")[0] + " " + m["name"].split(" ")[1], m["kind"]) for m in page["marks"]}
names = [b["name"].split(" ")[0] + " " + b["name"].split(" ")[1] for b in bars]
want = set()
for name, f, d in zip(names, facility, discrimination):
    if f < 0.2: want.add((name, "hard"))
    if f > 0.95: want.add((name, "easy"))
    if d < 0.2: want.add((name, "flat"))
if marked != want:
    problems.append(f"marks {sorted(marked)} instead of {sorted(want)}")
if len(page["missing"]) != 2:
    problems.append(f"the folders not handed in: {page['missing']}")
if problems:
    sys.exit("\n".join(problems))
print(f"class report: {n} candidates, mean {summary['mean']}, {len(page['bins'])} bins, "
      f"{len(bars)} requirement bars, marks {sorted(k for _, k in marked)}")
PY
