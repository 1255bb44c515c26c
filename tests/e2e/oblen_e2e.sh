#!/usr/bin/env bash
# End to end: starts the real Oblen.exe under Wine with the demonstration bank beside it,
# chooses the table task with real clicks, presses 开始做题 and confirms, checks the original
# file in the candidate folder, fills in the totals there as a candidate would (two right, one
# wrong), presses 改题 and reads the report from the real message box. banktool.exe then grades
# the same files to the same report, and a class unpacked and graded by banktool alone scores
# the same candidate work saved as today's Notepad saves it.
#   oblen_e2e.sh OBLEN_EXE DATE_DAT WINFIND_EXE BANKTOOL_EXE WINEPREFIX [SCREENSHOT.png]
set -euo pipefail

oblen=$1 bank=$2 winfind=$3 banktool=$4 prefix=$5 screenshot=${6:-}
here=$(cd "$(dirname "$0")/../.." && pwd)
run() { "$here/scripts/wine-run.sh" --prefix "$prefix" "$@" | tr -d "\r"; }

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
candidate="$prefix/drive_c/考生文件夹"
class="$prefix/drive_c/velmor-class"
# VELMOR_E2E_KEEP=FOLDER keeps what the run wrote there, to compare two builds' runs.
trap 'kill $oblen_pid 2>/dev/null || true
      [ -z "${VELMOR_E2E_KEEP:-}" ] || cp -r "$work" "$candidate" "$class" "$VELMOR_E2E_KEEP/" || true
      rm -rf "$work" "$candidate" "$class"' EXIT
# The program and its working bank in a folder of their own: nothing touches the build's copy.
cp "$oblen" "$bank" "$work/"
rm -rf "$candidate"
caption="Oblen"

(cd "$work" && exec "$here/scripts/wine-run.sh" --prefix "$prefix" ./Oblen.exe) >"$work/oblen.log" 2>&1 &
oblen_pid=$!

fail() { echo "$*" >&2; exit 1; }
wait_window() {  # caption, "up" or "gone"
  for _ in $(seq 1 100); do
    if run "$winfind" window "$1" >/dev/null 2>&1; then [ "$2" = up ] && return 0
    else [ "$2" = gone ] && return 0; fi
    sleep 0.2
  done
  fail "window '$1' never $2"
}
click() { xdotool mousemove $1 $2 click 1; sleep 0.3; }
control() {  # window, control ID -> "x y" of its centre
  local x y w h
  read -r x y w h <<<"$(run "$winfind" control "$1" "$2")"
  echo "$((x + w / 2)) $((y + h / 2))"
}
row() {  # list ID, row -> "x y" of the row's first cell (rows are 17 pixels below a header)
  local x y w h
  read -r x y w h <<<"$(run "$winfind" control "$caption" "$1")"
  echo "$((x + 20)) $((y + 30 + 17 * $2))"
}
message_text() { run "$winfind" text "$1" 65535; }  # the text of a message box

wait_window "$caption" up
click $(row 1000 1)   # the group 电子表格
click $(row 1008 0)   # its first question
click $(control "$caption" 1016)   # 开始做题
wait_window "提示" up
asked=$(message_text "提示")
[ "$asked" = "该操作将会覆盖“c:\\考生文件夹”下的文件，你要确定操作吗？" ] || fail "asked '$asked'"
xdotool key Return
table="$candidate/成绩表.csv"
for _ in $(seq 1 50); do [ -s "$table" ] && break; sleep 0.2; done
[ -s "$table" ] || fail "开始做题 unpacked nothing"
original=$(iconv -f gbk -t utf-8 "$table" | tr -d '\r')
[ "$original" = "$(printf '姓名,语文,数学,英语,总分\n张明,92,88,95,\n李华,85,90,78,\n王芳,78,95,88,')" ] ||
  fail "the original table reads '$original'"
wait_window "考生文件夹" up   # the folder window the shell opened
run "$winfind" close "考生文件夹"
wait_window "考生文件夹" gone

# The candidate fills in the totals: 张明 and 王芳 right, 李华 wrong.
fill_in() {  # GBK table -> UTF-8 table with the candidate's totals
  iconv -f gbk -t utf-8 "$1" |
    sed 's/^张明,92,88,95,/&275/; s/^李华,85,90,78,/&250/; s/^王芳,78,95,88,/&261/'
}
fill_in "$table" | iconv -f utf-8 -t gbk >"$work/table.csv"
cp "$work/table.csv" "$table"

click $(control "$caption" 1014)   # 改题
wait_window "分数公布" up
[ -n "$screenshot" ] && import -window root "$screenshot"
report=$(message_text "分数公布")
expected=$(printf '得分：7。\n\n各题得分情况如下：\n张明的总分正确[+3];\n李华的总分错误[李华的总分应为253];\n王芳的总分正确[+4];')
[ "$report" = "$expected" ] || fail "report '$report' instead of '$expected'"
xdotool key Return
wait_window "分数公布" gone

# banktool.exe grades the same files where the bank stores them: the same report.
graded=$(run "$banktool" grade "Z:$work/Date.dat" 2)
[ "$graded" = "$report"$'\n'"total 7" ] || fail "banktool graded '$graded'"
# A class of two: one candidate unpacked by banktool does the same work and saves it as UTF-8
# with a byte-order mark; the other folder was never handed in.
unpacked=$(run "$banktool" unpack "Z:$work/Date.dat" 2 'C:\velmor-class\one')
[ "$unpacked" = "written 1, skipped 0" ] || fail "banktool unpack said '$unpacked'"
{ printf '\xef\xbb\xbf'; fill_in "$class/one/成绩表.csv"; } >"$work/notepad.csv"
cp "$work/notepad.csv" "$class/one/成绩表.csv"
status=0
sheet=$(run "$banktool" grade-all "Z:$work/Date.dat" 2 'C:\velmor-class\one' \
  'C:\velmor-class\two' --csv 'C:\velmor-class\sheet.csv' 2>/dev/null) || status=$?
[ "$status" = 1 ] || fail "grade-all ended with $status, not 1 for the missing folder"
row=$(printf 'C:\\velmor-class\\one\t7\t1\t0\t1')
grep -qxF "$row" <<<"$sheet" || fail "grade-all printed '$sheet'"
head -c 3 "$class/sheet.csv" | cmp -s - <(printf '\xef\xbb\xbf') || fail "no byte-order mark"
grep -q '^C:\\velmor-class\\one,7,1,0,1,' "$class/sheet.csv" || fail "sheet: $(cat "$class/sheet.csv")"

xdotool key Escape   # the exit question, then OK
wait_window "提示" up
[ "$(message_text "提示")" = "本操作将关闭本系统!你确定要这么做吗?" ] || fail "no exit question"
xdotool key Return
wait_window "$caption" gone
echo "end-to-end: 开始做题 unpacked the table, 改题 reported 7 points for two right totals;"
echo "  banktool graded the same, and a class unpacked and graded by banktool alike"
