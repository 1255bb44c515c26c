#!/usr/bin/env bash
# End to end: starts the real Tarvik.exe under Wine, builds a small bank with real mouse and
# keyboard input (xdotool), saves it through the real file dialog, and checks the saved file
# with banktool.
#   tarvik_e2e.sh TARVIK_EXE WINFIND_EXE BANKTOOL WINEPREFIX [SCREENSHOT.png]
set -euo pipefail

tarvik=$1 winfind=$2 banktool=$3 prefix=$4 screenshot=${5:-}
here=$(cd "$(dirname "$0")/../.." && pwd)
run() { "$here/scripts/wine-run.sh" --prefix "$prefix" "$@" | tr -d "\r"; }

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
trap 'kill $tarvik_pid 2>/dev/null || true; rm -rf "$work"' EXIT
caption="Velmor题库编辑器"

"$here/scripts/wine-run.sh" --prefix "$prefix" "$tarvik" >"$work/tarvik.log" 2>&1 &
tarvik_pid=$!

where() {  # control ID -> "x y" of its centre, waiting for it
  local rect
  for _ in $(seq 1 100); do
    if rect=$(run "$winfind" control "$caption" "$1" 2>/dev/null); then
      read -r x y w h <<<"$rect"
      echo "$((x + w / 2)) $((y + h / 2))"
      return 0
    fi
    sleep 0.2
  done
  echo "no control $1 in $caption" >&2
  return 1
}
row() {  # list ID, row -> "x y" of the row's first cell (rows are 17 pixels below a header)
  local rect
  rect=$(run "$winfind" control "$caption" "$1")
  read -r x y w h <<<"$rect"
  echo "$((x + 20)) $((y + 30 + 17 * $2))"
}
click() { xdotool mousemove $1 $2 click 1; sleep 0.3; }
rows_become() {  # list ID, count: wait until the list shows that many rows
  for _ in $(seq 1 50); do
    [ "$(run "$winfind" items "$caption" "$1")" = "$2" ] && return 0
    sleep 0.2
  done
  echo "list $1 never showed $2 rows" >&2
  return 1
}
type_into() {  # control ID, text: click it, clear it, type
  click $(where "$1")
  xdotool key ctrl+Home shift+ctrl+End BackSpace
  xdotool type --delay 40 "$2"
  sleep 0.2
}

where 1002 >/dev/null  # the window is up

type_into 1021 "期中测试"
type_into 1002 "第一单元"
click $(where 1001)                       # 增加 category
rows_become 1000 1
click $(row 1000 0)                       # select it
type_into 1022 "下列哪个是输入设备？"
click $(where 1024)                       # 增加 big question
rows_become 1023 1
click $(row 1023 0)
type_into 1007 "选择一项"
click $(where 1020)                       # 单项选择
type_into 1012 "5"
click $(where 1006)                       # 增加 small question
rows_become 1005 1
click $(row 1005 0)
type_into 1017 "键盘"
click $(where 1011)                       # 答案选项 on
type_into 1010 "2"
click $(where 1016)                       # 增加 option
rows_become 1015 1
type_into 1017 "显示器"
click $(where 1011)                       # 答案选项 off
type_into 1010 "0"
click $(where 1016)
rows_become 1015 2

# 文件 > 另存为 (the fourth item), then the real save dialog.
read -r cx cy _ _ <<<"$(run "$winfind" window "$caption")"
click $((cx + 18)) $((cy - 9))
xdotool key Down Down Down Down Return
for _ in $(seq 1 50); do
  xdotool search --name "另存为" >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 1
target="$work/exam.lst"
xdotool type --delay 30 "Z:${target//\//\\}"
xdotool key Return
for _ in $(seq 1 50); do [ -s "$target" ] && break; sleep 0.2; done
sleep 0.5
[ -n "$screenshot" ] && import -window root "$screenshot"

case "$banktool" in
  *.exe) run "$banktool" dump "Z:${target//\//\\}" >"$work/dump.json" ;;
  *) "$banktool" dump "$target" >"$work/dump.json" ;;
esac
python3 - "$work/dump.json" "$target" <<'PY'
import json, struct, sys
bank = json.load(open(sys.argv[1]))
raw = open(sys.argv[2], "rb").read()
expect = {
    "title": "期中测试",
    "categories": [{"name": "第一单元", "questions": [{"id": 1, "smallQuestions": [
        {"text": "选择一项", "singleChoice": 1, "score": 5, "options": [
            {"text": "键盘", "score": 2, "chosen": 0, "isAnswer": 1, "selectCount": 0},
            {"text": "显示器", "score": 0, "chosen": 0, "isAnswer": 0, "selectCount": 0}]}]}]}],
}
def check(got, want, where):
    if isinstance(want, dict):
        for key, value in want.items():
            check(got.get(key), value, f"{where}.{key}")
    elif isinstance(want, list):
        if not isinstance(got, list) or len(got) != len(want):
            sys.exit(f"{where}: {got!r} instead of {len(want)} items")
        for i, (g, w) in enumerate(zip(got, want)):
            check(g, w, f"{where}[{i}]")
    elif got != want:
        sys.exit(f"{where}: {got!r} instead of {want!r}")
check(bank, expect, "bank")
question = bank["categories"][0]["questions"][0]
# The stem block follows the header, the category record and the big-question record.
block = raw[356 + 132 + 20:356 + 132 + 20 + question["contentSize"]]
text_bytes = struct.unpack_from("<i", block, 24)[0]
stem = block[32:32 + text_bytes - 1].decode("gbk")
if stem != "下列哪个是输入设备？":
    sys.exit(f"stem {stem!r}")
print("end-to-end: the saved bank holds exactly what was typed")
PY
