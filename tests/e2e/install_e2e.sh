#!/usr/bin/env bash
# The installer and the portable zip in a fresh Wine prefix, as a school's IT person and a
# teacher would use them: a silent install into a folder with Chinese characters, the files,
# shortcuts and uninstall entry checked, each installed program started and its window seen,
# Date.dat changed by the teacher, a silent uninstall that leaves only that Date.dat; then a
# second install and uninstall, with Date.dat untouched, that leaves nothing; then the portable
# zip unpacked into another Chinese folder and both programs started from there.
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
sees_window() {  # exe folder (Unix), exe, caption: starts it, waits for its window, closes it
  (cd "$1" && exec "$here/scripts/wine-run.sh" --prefix "$prefix" "./$2") >/dev/null 2>&1 &
  local pid=$!
  wait_for run "$winfind" window "$3" >/dev/null || fail "$2 in $1 showed no window '$3'"
  run "$winfind" close "$3" >/dev/null || true
  wait_for bash -c "! kill -0 $pid 2>/dev/null" || kill "$pid" 2>/dev/null || true
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

sees_window "$installed" Tarvik.exe "Velmor题库编辑器"
sees_window "$installed" Oblen.exe "Oblen"

# The teacher's work: Date.dat written again by a program, with other content.
printf 'teacher' >>"$installed/Date.dat"
cp "$installed/Date.dat" "$work/changed.dat"
run "$installed/uninstall.exe" /S >/dev/null || true
wait_for test ! -f "$installed/uninstall.exe" || fail "the uninstaller left itself"
wait_for test ! -f "$installed/Tarvik.exe" || fail "the uninstaller left Tarvik.exe"
left=$(cd "$installed" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$left" = "./Date.dat " ] || fail "after uninstalling the folder holds: $left"
cmp -s "$installed/Date.dat" "$work/changed.dat" || fail "the changed Date.dat was not kept as it was"
[ -z "$(find "$user_folder" -name '*Velmor*.lnk' -o -name 'Tarvik*.lnk' -o -name 'Oblen*.lnk')" ] ||
  fail "shortcuts were left"
[ ! -d "$menu" ] || fail "the Start-menu folder was left"
if run reg query "$key" >/dev/null 2>&1; then fail "the uninstall entry was left"; fi

# Installed again over the kept bank, which stays; then, untouched, removed with the rest.
run "$setup" /S "/D=$target" >/dev/null || true
wait_for test -f "$installed/uninstall.exe" || fail "the second install failed"
cmp -s "$installed/Date.dat" "$work/changed.dat" || fail "installing again replaced the teacher's Date.dat"
rm "$installed/Date.dat"
run "$setup" /S "/D=$target" >/dev/null || true
wait_for cmp -s "$installed/Date.dat" "$here/examples/Date.dat" || fail "the third install wrote no Date.dat"
run "$installed/uninstall.exe" /S >/dev/null || true
wait_for test ! -d "$installed" || fail "an untouched install left: $(cd "$installed" && find . | tr '\n' ' ')"

# The portable zip, from a folder with Chinese characters, as from a USB stick.
stick="$prefix/drive_c/U盘/便携 Velmor"
mkdir -p "$stick"
(cd "$stick" && unzip -q "$portable")
for file in Tarvik.exe Oblen.exe banktool.exe Date.dat 使用说明.html 示例题库/choice.lst; do
  [ -f "$stick/$file" ] || fail "$file is not in the portable zip"
done
sees_window "$stick" Tarvik.exe "Velmor题库编辑器"
sees_window "$stick" Oblen.exe "Oblen"
echo "install: installed, started, uninstalled (the teacher's Date.dat kept), portable zip run"
