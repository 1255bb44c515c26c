#!/usr/bin/env bash
# End to end: starts the real Tarvik.exe under Wine, builds a small bank with real mouse and
# keyboard input (xdotool), saves it through the real file dialog, and checks the saved file
# with banktool. Then opens an example bank through the real open dialog, runs the answer check
# from the real menu, compares its score line with banktool's total, ticks an option, closes
# the answering window and saves: the bank comes back byte for byte.
#   tarvik_e2e.sh TARVIK_EXE WINFIND_EXE BANKTOOL WINEPREFIX [SCREENSHOT.png]
set -euo pipefail

tarvik=$1 winfind=$2 banktool=$3 prefix=$4 screenshot=${5:-}
here=$(cd "$(dirname "$0")/../.." && pwd)
run() { "$here/scripts/wine-run.sh" --prefix "$prefix" "$@" | tr -d "\r"; }

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
# VELMOR_E2E_KEEP=FOLDER keeps what the run wrote there, to compare two builds' runs.
trap 'kill $tarvik_pid 2>/dev/null || true
      [ -z "${VELMOR_E2E_KEEP:-}" ] || cp -r "$work" "$VELMOR_E2E_KEEP/" || true
      rm -rf "$work"' EXIT
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
type_into() {  # control ID, text: click it, clear it, type until the control holds the text
  # (xdotool types a character outside the keyboard map through a key it maps for a moment; on
  # a busy machine Wine may read the key after the map has changed, and the character is lost:
  # each try types slower, and waits for Wine to catch up before it looks)
  local delay
  for delay in 40 120 250; do
    click $(where "$1")
    xdotool key ctrl+Home shift+ctrl+End BackSpace
    xdotool type --delay $delay "$2"
    for _ in $(seq 1 15); do
      sleep 0.2
      [ "$(run "$winfind" text "$caption" "$1")" = "$2" ] && return 0
    done
  done
  echo "control $1 never held '$2' (it holds '$(run "$winfind" text "$caption" "$1")')" >&2
  return 1
}
wait_window() {  # caption, "up" or "gone"
  for _ in $(seq 1 100); do
    if run "$winfind" window "$1" >/dev/null 2>&1; then [ "$2" = up ] && return 0
    else [ "$2" = gone ] && return 0; fi
    sleep 0.2
  done
  echo "window '$1' never $2" >&2
  return 1
}
menu() {  # menu-bar x offset, number of Down presses: choose an item of the editor's menu
  local cx cy
  read -r cx cy _ _ <<<"$(run "$winfind" window "$caption")"
  click $((cx + $1)) $((cy - 9))
  xdotool key $(printf 'Down %.0s' $(seq 1 "$2")) Return
}
wine_path() { local path=$1; echo "Z:${path//\//\\}"; }

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

menu 18 4                                 # 文件 > 另存为, then the real save dialog
wait_window "另存为" up
sleep 1
target="$work/exam.lst"
xdotool type --delay 30 "$(wine_path "$target")"
xdotool key Return
for _ in $(seq 1 50); do [ -s "$target" ] && break; sleep 0.2; done
sleep 0.5
[ -n "$screenshot" ] && import -window root "$screenshot"

case "$banktool" in
  *.exe) run "$banktool" dump "$(wine_path "$target")" >"$work/dump.json" ;;
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

# 文件 > 打开 an example bank, then 运行 > 运行校对答案.
example="$work/peer-review.lst"
cp "$here/examples/peer-review.lst" "$example"
case "$banktool" in
  *.exe) total=$(run "$banktool" score "$(wine_path "$example")") ;;
  *) total=$("$banktool" score "$example") ;;
esac
caption="exam.lst - 选择题题目制作"           # the caption Save As gives
menu 18 2
wait_window "打开" up
sleep 1
xdotool type --delay 30 "$(wine_path "$example")"
xdotool key Return
caption="peer-review.lst - Velmor题库编辑器"
wait_window "$caption" up
menu 57 2
answering="小组合作综合互评表"                # the bank's title
wait_window "$answering" up
score_line="校对选择题答案，总得分：${total}分！"
shown=$(run "$winfind" text "$answering" 1002)
[ "$shown" = "$score_line" ] || { echo "score line '$shown' instead of '$score_line'" >&2; exit 1; }
[ "$(run "$winfind" checked "$answering" 1011,0)" = 0 ] || { echo "first option ticked" >&2; exit 1; }
read -r x y w h <<<"$(run "$winfind" control "$answering" 1011,0)"
click $((x + w / 2)) $((y + h / 2))
[ "$(run "$winfind" checked "$answering" 1011,0)" = 1 ] || { echo "the click ticked nothing" >&2; exit 1; }
shown=$(run "$winfind" text "$answering" 1002)
[ "$shown" = "$score_line" ] || { echo "score line '$shown' after a tick" >&2; exit 1; }
xdotool key Escape
wait_window "$answering" gone
touch "$work/before-save"
sleep 0.1
menu 18 3                                 # 文件 > 保存
for _ in $(seq 1 50); do [ "$example" -nt "$work/before-save" ] && break; sleep 0.2; done
[ "$example" -nt "$work/before-save" ] || { echo "保存 wrote nothing" >&2; exit 1; }
cmp "$example" "$here/examples/peer-review.lst" ||
  { echo "the bank changed after an answering run" >&2; exit 1; }
echo "end-to-end: the answer check shows banktool's total ($total) and leaves the bank as it was"
