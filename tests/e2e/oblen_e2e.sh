#!/usr/bin/env bash
# End to end: starts the real Oblen.exe under Wine with the demonstration bank beside it and
# does two tasks as a candidate would, with real clicks: the Word task (开始做题, confirm, the
# original notice checked in the candidate folder, the candidate's document put in its place,
# 改题's report read from the real message box), then the Excel task the same way with a total
# typed in, wrong. banktool.exe grades the same files to the same reports; a class unpacked by
# banktool.exe is graded as a whole exam by banktool.exe and by the native banktool, to the
# same sheet. The candidates' documents come from LibreOffice (headless, natively, a profile of
# its own), which reads the originals and saves the work as Word and Excel files.
#   oblen_e2e.sh OBLEN_EXE DATE_DAT WINFIND_EXE BANKTOOL_EXE WINEPREFIX NATIVE_BANKTOOL [SCREENSHOT.png]
set -euo pipefail

oblen=$1 bank=$2 winfind=$3 banktool=$4 prefix=$5 native=$6 screenshot=${7:-}
here=$(cd "$(dirname "$0")/../.." && pwd)
run() { "$here/scripts/wine-run.sh" --prefix "$prefix" "$@" | tr -d "\r"; }
fail() { echo "$*" >&2; exit 1; }
[ -x "$native" ] || fail "no native banktool at $native (scripts/test.sh builds build/native first)"

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
candidate="$prefix/drive_c/考生文件夹"
class="$prefix/drive_c/velmor-class"
# VELMOR_E2E_KEEP=FOLDER keeps what the run wrote there, to compare two builds' runs.
oblen_pid=
trap '[ -z "$oblen_pid" ] || kill $oblen_pid 2>/dev/null || true
      [ -z "${VELMOR_E2E_KEEP:-}" ] || cp -r "$work" "$candidate" "$class" "$VELMOR_E2E_KEEP/" || true
      rm -rf "$work" "$candidate" "$class"' EXIT
# The program and its working bank in a folder of their own: nothing touches the build's copy.
cp "$oblen" "$bank" "$work/"
rm -rf "$candidate" "$class"
caption="Oblen"

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
report() { printf '得分：%s。\n\n各题得分情况如下：\n' "$1"; shift; printf '%s\n' "$@"; }

# LibreOffice, as the candidate's office suite: FORMAT OUTDIR [OPTIONS...] FILE...
office() {
  local format=$1 outdir=$2; shift 2
  timeout -k 5 120 soffice -env:UserInstallation="file://$work/office-profile" --headless \
    --convert-to "$format" --outdir "$outdir" "$@" >>"$work/soffice.log" 2>&1 </dev/null ||
    fail "LibreOffice failed: $(cat "$work/soffice.log")"
}
ns='xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
  xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
  xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
  xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" office:version="1.2"'
# The notice as LibreOffice reads the original (notice.txt, one paragraph a line), the title
# corrected, the closing date added as a paragraph of its own; the title bold or normal.
notice() {  # NAME WEIGHT -> NAME.fodt
  {
    echo "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    echo "<office:document $ns office:mimetype=\"application/vnd.oasis.opendocument.text\">"
    echo "<office:automatic-styles><style:style style:name=\"T\" style:family=\"text\">"
    echo "<style:text-properties fo:font-weight=\"$2\" style:font-weight-asian=\"$2\"/>"
    echo "</style:style></office:automatic-styles><office:body><office:text>"
    sed '1s/^\xef\xbb\xbf//; s/&/\&amp;/g; s/</\&lt;/g; 1s/运动汇/运动会/' "$work/notice.txt" |
      awk 'NR == 1 { print "<text:p><text:span text:style-name=\"T\">" $0 "</text:span></text:p>"; next }
           { print "<text:p>" $0 "</text:p>" }'
    echo "<text:p>报名截止时间：10月20日</text:p></office:text></office:body></office:document>"
  } >"$work/$1.fodt"
}
# The table as LibreOffice reads the original (table.csv), each total a formula, or in row
# TYPED the number TOTAL typed instead.
table() {  # NAME TYPED TOTAL -> NAME.csv
  awk -F, -v OFS=, -v typed="$2" -v total="$3" \
    'NR > 1 { $5 = (NR == typed ? total : "=SUM(B" NR ":D" NR ")") } { print }' \
    "$work/table.csv" >"$work/$1.csv"
}
start_question() {  # group row: the question chosen, 开始做题 pressed and confirmed
  click $(row 1000 "$1")
  click $(row 1008 0)   # its first question
  click $(control "$caption" 1016)   # 开始做题
  wait_window "提示" up
  local asked
  asked=$(message_text "提示")
  [ "$asked" = "该操作将会覆盖“c:\\考生文件夹”下的文件，你要确定操作吗？" ] || fail "asked '$asked'"
  xdotool key Return
}
close_folder_window() {  # the folder window the shell opened
  wait_window "考生文件夹" up
  run "$winfind" close "考生文件夹"
  wait_window "考生文件夹" gone
}
grade_in_window() {  # expected report [screenshot]: 改题 pressed, the message box read and closed
  click $(control "$caption" 1014)   # 改题
  wait_window "分数公布" up
  [ -z "${2:-}" ] || import -window root "$2"
  local shown
  shown=$(message_text "分数公布")
  [ "$shown" = "$1" ] || fail "report '$shown' instead of '$1'"
  xdotool key Return
  wait_window "分数公布" gone
}

# The originals, unpacked natively, as the text view shows them.
"$native" unpack "$work/Date.dat" 1 "$work/originals" >/dev/null
"$native" unpack "$work/Date.dat" 2 "$work/originals" >/dev/null
original=$("$native" text "$work/originals/通知.docx" | tr -d '\r')
[ "$original" = "$(printf '关于举行秋季运动汇的通知\n各班同学：\n学校定于10月25日举行秋季运动会，请各班做好报名和训练准备。')" ] ||
  fail "the original notice reads '$original'"
original=$("$native" text "$work/originals/成绩表.xlsx" | tr -d '\r')
[ "$original" = "$(printf '[工作表 成绩表]\n姓名\t语文\t数学\t英语\t总分\n张明\t92\t88\t95\n李华\t85\t90\t78\n王芳\t78\t95\t88')" ] ||
  fail "the original table reads '$original'"
# The candidates' work, done before the program starts: under Wine a pause of some seconds
# with no Wine process started, after the folder window has closed, can end Wine's desktop
# process, and no later process finds the window. LibreOffice reads each original; the notice
# is corrected and completed with the title bold (notice-bold) or not (notice-plain); the
# totals are formulas (table-sums), or 李华's is typed in, wrong (table-typed).
cp "$work/originals/通知.docx" "$work/notice.docx"
cp "$work/originals/成绩表.xlsx" "$work/table.xlsx"
office 'txt:Text (encoded):UTF8' "$work" "$work/notice.docx"
office 'csv:Text - txt - csv (StarCalc):44,34,76,1' "$work" "$work/table.xlsx"
notice notice-bold bold
notice notice-plain normal
table table-sums 0 0
table table-typed 3 250
office docx "$work/done" "$work/notice-bold.fodt" "$work/notice-plain.fodt"
office xlsx "$work/done" --infilter=CSV:44,34,76,1 "$work/table-sums.csv" "$work/table-typed.csv"

(cd "$work" && exec "$here/scripts/wine-run.sh" --prefix "$prefix" ./Oblen.exe) >"$work/oblen.log" 2>&1 &
oblen_pid=$!
wait_window "$caption" up

# The Word task: 开始做题 unpacks the original; the candidate's notice takes its place.
start_question 0   # the group 文字处理
for _ in $(seq 1 50); do [ -s "$candidate/通知.docx" ] && break; sleep 0.2; done
cmp -s "$candidate/通知.docx" "$work/originals/通知.docx" || fail "开始做题 unpacked no original notice"
close_folder_window
cp "$work/done/notice-bold.docx" "$candidate/通知.docx"
word_report=$(report 10 '改正标题中的错别字正确[+3];' '补充报名截止时间正确[+3];' '标题设为粗体正确[+4];')
grade_in_window "$word_report" "$screenshot"

# The Excel task: two totals by formula, 李华's typed in and wrong, so neither his total nor
# the formulas' requirement is met.
start_question 1   # the group 电子表格
for _ in $(seq 1 50); do [ -s "$candidate/成绩表.xlsx" ] && break; sleep 0.2; done
cmp -s "$candidate/成绩表.xlsx" "$work/originals/成绩表.xlsx" || fail "开始做题 unpacked no original table"
close_folder_window
cp "$work/done/table-typed.xlsx" "$candidate/成绩表.xlsx"
table_report=$(report 4 '张明的总分正确[+2];' '李华的总分错误[李华的总分应为253];' '王芳的总分正确[+2];' \
  '用公式计算总分错误[总分应由公式算出（如 =SUM(B2:D2)），不能直接填数];')
grade_in_window "$table_report"

# banktool.exe grades the same files where the bank stores them: the same reports.
graded=$(run "$banktool" grade "Z:$work/Date.dat" 1)
[ "$graded" = "$word_report"$'\n'"total 10" ] || fail "banktool graded the notice '$graded'"
graded=$(run "$banktool" grade "Z:$work/Date.dat" 2)
[ "$graded" = "$table_report"$'\n'"total 4" ] || fail "banktool graded the table '$graded'"

# A class: "one" unpacked by banktool.exe does every task, the title left normal; "three" is
# the candidate above; "two" was never handed in.
written=(- 1 1 2)   # files of questions 1, 2 and 3
for id in 1 2 3; do
  unpacked=$(run "$banktool" unpack "Z:$work/Date.dat" $id 'C:\velmor-class\one')
  [ "$unpacked" = "written ${written[$id]}, skipped 0" ] || fail "banktool unpack $id said '$unpacked'"
done
cp "$work/done/notice-plain.docx" "$class/one/通知.docx"
cp "$work/done/table-sums.xlsx" "$class/one/成绩表.xlsx"
mkdir "$class/one/作业"
cp "$class/one/资料/说明.txt" "$class/one/作业/"
mv "$class/one/草稿.txt" "$class/one/定稿.txt"
cp -r "$candidate" "$class/three"
status=0
sheet=$(run "$banktool" grade-all "Z:$work/Date.dat" all 'C:\velmor-class\one' \
  'C:\velmor-class\two' 'C:\velmor-class\three' --csv 'C:\velmor-class\sheet.csv' 2>/dev/null) || status=$?
[ "$status" = 1 ] || fail "grade-all ended with $status, not 1 for the missing folder"
totals=$(awk -F'\t' '/^C:/ { print $1, $2, $3, $4, $5 }' <<<"$sheet")
[ "$totals" = "$(printf 'C:\\velmor-class\\one 26 6 10 10\nC:\\velmor-class\\two 0 0 0 0\nC:\\velmor-class\\three 14 10 4 0')" ] ||
  fail "grade-all printed '$sheet'"
head -c 3 "$class/sheet.csv" | cmp -s - <(printf '\xef\xbb\xbf') || fail "no byte-order mark"
grep -q '^C:\\velmor-class\\one,26,6,10,10,' "$class/sheet.csv" || fail "sheet: $(cat "$class/sheet.csv")"
# The native banktool grades the same folders to the same sheet, line by line.
status=0
native_sheet=$("$native" grade-all "$work/Date.dat" all "$class/one" "$class/two" "$class/three" \
  2>/dev/null) || status=$?
[ "$status" = 1 ] || fail "the native grade-all ended with $status"
native_sheet=$(awk -v from="$class/" 'index($0, from) == 1 {
  $0 = "C:\\velmor-class\\" substr($0, length(from) + 1) } { print }' <<<"$native_sheet")
[ "$native_sheet" = "$sheet" ] ||
  fail "the native grade-all printed '$native_sheet' where banktool.exe printed '$sheet'"

xdotool key Escape   # the exit question, then OK
wait_window "提示" up
[ "$(message_text "提示")" = "本操作将关闭本系统!你确定要这么做吗?" ] || fail "no exit question"
xdotool key Return
wait_window "$caption" gone
echo "end-to-end: 开始做题 unpacked the notice and the table; LibreOffice's notice scored 10,"
echo "  its table with a typed total 4, in 改题 and in banktool.exe; a class graded as a whole exam"
echo "  by banktool.exe and the native banktool to the same sheet:"
awk -F'\t' '/^C:/ { print "  " $1 ": total " $2 " (" $3 ", " $4 ", " $5 ")" }' <<<"$sheet"
