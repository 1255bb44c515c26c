#!/usr/bin/env bash
# Runs a Windows program under Wine as our programs and tests expect it:
#   wine-run.sh [--prefix DIR] PROGRAM.exe [ARGS...]
# - a private Wine prefix (default: build/wineprefix in the repository), made on first use;
# - a Chinese locale, so that GetACP() is 936 and every ...A function speaks GBK
#   (VELMOR_WINE_LOCALE=C.UTF-8 gives code page 1252 instead, for the tests that need it);
# - no Mono or Gecko installer prompts, no Wine debug chatter;
# - a headless X display when none is set; with VELMOR_HEADLESS=1 (set for a display of our
#   own), windows Wine does not leave to a window manager;
# - 64-bit Wine for a 64-bit program (the build for machines that run no 32-bit code);
# - WINEDLLOVERRIDES given by the caller are kept.
set -eu

repo=$(cd "$(dirname "$0")/.." && pwd)
prefix=${VELMOR_WINEPREFIX:-$repo/build/wineprefix}
if [ "${1:-}" = "--prefix" ]; then
  prefix=$2
  shift 2
fi
[ $# -ge 1 ] || { echo "usage: wine-run.sh [--prefix DIR] PROGRAM [ARGS...]" >&2; exit 64; }

export WINEPREFIX=$prefix
# The program's machine, from its PE header: 8664 is x86-64.
pe_machine() {
  local offset
  offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 0
  [ -n "$offset" ] && od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}
loader=wine
export WINEARCH=win32
# A built-in command (reg, wineboot) follows the machine: 64-bit where no 32-bit code runs.
if { [ -f "$1" ] && [ "$(pe_machine "$1")" = "8664" ]; } ||
   { [ ! -f "$1" ] && ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; }; then
  export WINEARCH=win64
  export WINELOADER=/usr/lib/wine/wine64
  loader=$WINELOADER
fi
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
export LANG=${VELMOR_WINE_LOCALE:-zh_CN.UTF-8}
export LC_ALL=$LANG

if [ -z "${DISPLAY:-}" ]; then
  export VELMOR_HEADLESS=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --prefix "$prefix" "$@"
fi

# Several tests may start at once; only one of them makes the prefix.
mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/system.reg" ]; then
    "$loader" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # On a headless display, windows no X window manager manages: a bare Xvfb has none, and
  # Wine waits about 2 s on every hide of a managed window for an answer that never comes.
  # On a desktop they stay managed (title bars, moving, the task bar).
  managed=Y
  [ "${VELMOR_HEADLESS:-0}" = 1 ] && managed=N
  if [ "$(cat "$prefix/.managed" 2>/dev/null)" != "$managed" ]; then
    "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f >/dev/null 2>&1 || true
    wineserver -w
    echo "$managed" >"$prefix/.managed"
  fi
) 9>"$prefix.lock"

exec "$loader" "$@"
