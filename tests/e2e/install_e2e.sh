#!/usr/bin/env bash
# The installer and the portable zip in a fresh Wine prefix, as a school's IT person and a
# teacher would use them: a silent install into a folder with Chinese characters, the files,
# shortcuts and uninstall entry checked, each installed program started and its window seen;
# the teacher's work (Date.dat and an example bank changed, a bank of their own saved among the
# examples) left alone by an install and an uninstall while Tarvik is open, and by the silent
# uninstall once it is closed, which leaves only that work; installs again and over an
# installation that keep it; then an untouched installation that an uninstall removes whole;
# then the portable zip unpacked into another Chinese folder and both programs started there.
#   install_e2e.sh win32|win64 WINFIND_EXE
set -euo pipefail

arch=$1 winfind=$2
here=$(cd "$(dirname "$0")/../.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
prefix="$work/prefix"
trap 'wineserver_kill; rm -rf "$work"' EXIT
wineserver_kill() { WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; }
run() { "$here/scripts/wine-run.sh" --prefix "$prefix" "$@" 2>/dev/null | tr -d "\r"; }
fail() { echo "install: $*" >&2; exit 1; }

VELMOR_DIST="$work/dist" bash "$here/scripts/package.sh" "$arch" >"$work/package.log" ||
  { cat "$work/package.log" >&2; fail "packaging failed"; }
cat "$work/package.log"
setup=$(ls "$work"/dist/*-setup.exe)
portable=$(ls "$work"/dist/*-portable.zip)
version=$(head -n 1 "$here/VERSION")

wait_for() {  # test command..., up to 30 s
  for _ in $(seq 1 150); do "$@" && return 0; sleep 0.2; done
  return 1
}
start_program() {  # exe folder (Unix), exe, caption: starts it and waits for its window
  (cd "$1" && exec "$here/scripts/wine-run.sh" --prefix "$prefix" "./$2") >/dev/null 2>&1 &
  program_pid=$!
  wait_for run "$winfind" window "$3" >/dev/null || fail "$2 in $1 showed no window '$3'"
}
close_program() {  # caption, caption of its exit question: closes it as a user does, and waits
  run "$winfind" close "$1" >/dev/null || true
  wait_for run "$winfind" text "$2" 65535 >/dev/null && xdotool key Return
  wait_for bash -c "! kill -0 $program_pid 2>/dev/null" || kill "$program_pid" 2>/dev/null || true
}
window_gone() { ! run "$winfind" window "$1" >/dev/null; }
sees_window() {  # exe folder (Unix), exe, caption, caption of its exit question
  start_program "$1" "$2" "$3"
  close_program "$3" "$4"
}

# A prefix of its own whose Desktop is a folder inside it, not the home folder Wine links it
# to, and without Wine's copies of shortcuts in the desktop's menus.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"
run reg query 'HKCU\Software' >/dev/null || true
for link in "$prefix"/drive_c/users/*/Desktop; do
  [ -L "$link" ] && rm "$link" && mkdir "$link"
done

target='C:\教师工具\Velmor软件'
installed="$prefix/drive_c/教师工具/Velmor软件"
run "$setup" /S "/D=$target" >/dev/null || true
wait_for test -f "$installed/uninstall.exe" || fail "nothing installed in $installed"

for file in Tarvik.exe Oblen.exe banktool.exe Date.dat 使用说明.html 示例题库/choice.lst \
            示例题库/questionnaire.lst 示例题库/peer-review.lst 说明图片/tarvik.png 说明图片/oblen.png; do
  [ -f "$installed/$file" ] || fail "$file was not installed"
done
cmp -s "$installed/Date.dat" "$here/examples/Date.dat" || fail "Date.dat is not the demonstration bank"
user_folder=$(ls -d "$prefix"/drive_c/users/*/ | grep -v /Public/ | head -n 1)
menu=$(find "$user_folder" -type d -name "Velmor 教育软件" | head -n 1)
[ -n "$menu" ] || fail "no Start-menu folder"
for link in "Tarvik 题库编辑器.lnk" "Oblen 操作题编辑器.lnk" "使用说明.lnk" "卸载 Velmor 教育软件.lnk"; do
  [ -f "$menu/$link" ] || fail "no Start-menu shortcut $link"
done
desktop_links=$(find "$user_folder" "$prefix/drive_c/users/Public" -name "Tarvik 题库编辑器.lnk" -path "*esktop*" 2>/dev/null | wc -l)
[ "$desktop_links" -ge 1 ] || fail "no desktop shortcut"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmor'
entry=$(run reg query "$key" | iconv -f gbk -t utf-8 -c)  # reg speaks the console code page
for value in "DisplayName.*Velmor 教育软件" "DisplayVersion.*$version" "Publisher.*Velmor" \
             "DisplayIcon.*Tarvik.exe" "UninstallString.*uninstall.exe" "EstimatedSize"; do
  grep -q "$value" <<<"$entry" || fail "the uninstall entry lacks $value: $entry"
done

sees_window "$installed" Tarvik.exe "Velmor题库编辑器" "Velmor题库编辑器"
sees_window "$installed" Oblen.exe "Oblen" "提示"

# The teacher's work: Date.dat written again by Oblen, an example changed, a bank of their own
# saved among the examples (where Save As starts after an example was opened).
examples="$installed/示例题库"
printf 'teacher' >>"$installed/Date.dat"
printf 'teacher' >>"$examples/choice.lst"
cp "$examples/peer-review.lst" "$examples/我的题库.lst"
printf 'teacher' >>"$examples/我的题库.lst"
mkdir "$work/kept"
cp "$installed/Date.dat" "$examples/choice.lst" "$examples/我的题库.lst" "$work/kept/"
kept_as_it_was() {  # what: each piece of the teacher's work is there, as the teacher left it
  cmp -s "$installed/Date.dat" "$work/kept/Date.dat" || fail "$1 changed the teacher's Date.dat"
  for bank in choice.lst 我的题库.lst; do
    cmp -s "$examples/$bank" "$work/kept/$bank" || fail "$1 did not keep 示例题库/$bank as it was"
  done
}

# With Tarvik open, neither the installer nor the uninstaller changes anything: silently they
# end with a failure status, and the teacher is told what to close.
files() { (cd "$installed" && find . -type f -exec md5sum {} + | sort); }
start_program "$installed" Tarvik.exe "Velmor题库编辑器"
before=$(files)
status=0
run "$setup" /S "/D=$target" >/dev/null || status=$?
[ "$status" != 0 ] || fail "installing over an open Tarvik ended with status 0"
status=0
run "$installed/uninstall.exe" /S "_?=$target" >/dev/null || status=$?  # waits, for its status
[ "$status" != 0 ] || fail "uninstalling with Tarvik open ended with status 0"
[ "$(files)" = "$before" ] || fail "with Tarvik open the folder changed to: $(files)"
uninstaller="Velmor 教育软件 $version 卸载"
run "$installed/uninstall.exe" >/dev/null &
wait_for run "$winfind" text "$uninstaller" 65535 >/dev/null || fail "the uninstaller asked nothing"
asked=$(run "$winfind" text "$uninstaller" 65535)
expected=$'下列程序还开着，卸载前请先关闭：\n\n　　题库编辑器（Tarvik）\n\n请保存好您的题目，关闭这些程序，再点“重试”。\n点“取消”则不卸载，所有文件保持不变。'
[ "$asked" = "$expected" ] || fail "the uninstaller asked '$asked'"
xdotool key Escape
wait_for window_gone "$uninstaller" || fail "the uninstaller's question did not go"
[ "$(files)" = "$before" ] || fail "the cancelled uninstall changed the folder to: $(files)"
close_program "Velmor题库编辑器" "Velmor题库编辑器"

# Tarvik closed, the silent uninstall removes all but the teacher's work.
run "$installed/uninstall.exe" /S >/dev/null || true
wait_for test ! -f "$installed/uninstall.exe" || fail "the uninstaller left itself"
wait_for test ! -f "$installed/Tarvik.exe" || fail "the uninstaller left Tarvik.exe"
left=$(cd "$installed" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$left" = "./Date.dat ./示例题库 ./示例题库/choice.lst ./示例题库/我的题库.lst " ] ||
  fail "after uninstalling the folder holds: $left"
kept_as_it_was "uninstalling"
[ -z "$(find "$user_folder" -name '*Velmor*.lnk' -o -name 'Tarvik*.lnk' -o -name 'Oblen*.lnk')" ] ||
  fail "shortcuts were left"
[ ! -d "$menu" ] || fail "the Start-menu folder was left"
if run reg query "$key" >/dev/null 2>&1; then fail "the uninstall entry was left"; fi

# Installed again over the kept work, which stays; then over that installation, as an upgrade
# is, after an example it installed was changed.
run "$setup" /S "/D=$target" >/dev/null || true
wait_for test -f "$installed/uninstall.exe" || fail "the second install failed"
kept_as_it_was "installing again"
cmp -s "$examples/peer-review.lst" "$here/examples/peer-review.lst" || fail "an example is missing"
printf 'teacher' >>"$examples/questionnaire.lst"
cp "$examples/questionnaire.lst" "$work/kept/"
run "$setup" /S "/D=$target" >/dev/null || fail "installing over an installation failed"
kept_as_it_was "installing over an installation"
cmp -s "$examples/questionnaire.lst" "$work/kept/questionnaire.lst" ||
  fail "installing over an installation replaced a changed example"

# The teacher clears the work away; an install writes the examples and Date.dat again, and
# an uninstall of that untouched installation removes everything.
rm "$installed/Date.dat" "$examples/choice.lst" "$examples/我的题库.lst" "$examples/questionnaire.lst"
run "$setup" /S "/D=$target" >/dev/null || true
wait_for cmp -s "$installed/Date.dat" "$here/examples/Date.dat" || fail "the third install wrote no Date.dat"
for bank in choice.lst questionnaire.lst; do
  cmp -s "$examples/$bank" "$here/examples/$bank" || fail "the third install did not write $bank"
done
run "$installed/uninstall.exe" /S >/dev/null || true
wait_for test ! -d "$installed" || fail "an untouched install left: $(cd "$installed" && find . | tr '\n' ' ')"

# The portable zip, from a folder with Chinese characters, as from a USB stick.
stick="$prefix/drive_c/U盘/便携 Velmor"
mkdir -p "$stick"
(cd "$stick" && unzip -q "$portable")
for file in Tarvik.exe Oblen.exe banktool.exe Date.dat 使用说明.html 示例题库/choice.lst; do
  [ -f "$stick/$file" ] || fail "$file is not in the portable zip"
done
sees_window "$stick" Tarvik.exe "Velmor题库编辑器" "Velmor题库编辑器"
sees_window "$stick" Oblen.exe "Oblen" "提示"
echo "install: installed, started, kept the teacher's work through uninstall and install, touched"
echo "  nothing while Tarvik was open, removed an untouched installation; portable zip run"
