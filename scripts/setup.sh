#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine.
# Safe to run again: packages already present are skipped, the locale is generated once.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  exec sudo -E bash "$0" "$@"
fi

export DEBIAN_FRONTEND=noninteractive
source "$(dirname "$0")/apt-install.sh"

native_packages=(cmake make g++ googletest libgtest-dev clang libclang-rt-14-dev zlib1g-dev libz-mingw-w64-dev
                 g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
                 xvfb xauth xdotool imagemagick fonts-wqy-microhei locales python3
                 nsis zip unzip chromium libreoffice-writer-nogui libreoffice-calc-nogui
                 libreoffice-impress-nogui libstb-dev poppler-utils)
wine_packages=(wine wine32:i386)

updated=0
install_missing() {  # packages...
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    updated=0
  fi
  [ "$updated" -eq 1 ] || { apt_update_with_retries; updated=1; }
  apt_install_packages "${missing[@]}" || exit 1
}

install_missing "${native_packages[@]}" "${wine_packages[@]}"

# A kernel without 32-bit support cannot start 32-bit Wine (its i386 loader answers "Exec
# format error"); there the tests run as an x86-64 build under 64-bit Wine (windows-tree.sh).
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  install_missing g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev wine64
fi

# Wine must see code page 936: the Windows programs speak GBK through the ...A functions.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen
fi
