#!/usr/bin/env bash
# The set-up's package installs against a stand-in apt-get that misbehaves as a registry in
# the middle of a sync does: each case names how apt-get answers and what must follow.
set -uo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# The stand-in: `update` fails the first $UPDATE_FAILS times; `install` fails unless the main
# suite is preferred ($INSTALL=needs-main-suite) or always ($INSTALL=broken). Every call and
# every pause is written to $work/calls.
mkdir -p "$work/bin"
cat >"$work/bin/apt-get" <<'STANDIN'
#!/usr/bin/env bash
echo "apt-get $*" >>"$CALLS"
case "$1" in
  update)
    count=$(grep -c '^apt-get update' "$CALLS")
    if [ "$count" -le "$UPDATE_FAILS" ]; then
      echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
      exit 100
    fi ;;
  install)
    case "$INSTALL" in
      ok) ;;
      needs-main-suite)
        [[ " $* " == *" APT::Default-Release=bookworm "* ]] ||
          { echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100; } ;;
      broken) echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100 ;;
    esac ;;
esac
STANDIN
printf '#!/bin/sh\necho "sleep $*" >>"$CALLS"\n' >"$work/bin/sleep"
chmod +x "$work/bin/apt-get" "$work/bin/sleep"

# name, update failures, install behaviour, expected exit status, expected calls (one per
# line), a text the messages must hold
check() {
  local name=$1 update_fails=$2 install=$3 want_status=$4 want_calls=$5 want_message=$6
  : >"$work/calls"
  local status=0
  CALLS="$work/calls" UPDATE_FAILS=$update_fails INSTALL=$install PATH="$work/bin:$PATH" \
    bash -c 'set -euo pipefail
             source "$1/scripts/apt-install.sh"
             apt_update_with_retries
             apt_install_packages wine wine32:i386 || exit 1
             echo "setup went on" >&2' _ "$repo" >"$work/out" 2>&1 || status=$?
  local calls
  calls=$(cat "$work/calls")
  if [ "$status" != "$want_status" ] || [ "$calls" != "$want_calls" ] ||
     ! grep -qF -- "$want_message" "$work/out"; then
    echo "FAIL $name: status $status (want $want_status)"
    echo "  calls:"; sed 's/^/    /' "$work/calls"
    echo "  want:"; printf '%s\n' "$want_calls" | sed 's/^/    /'
    echo "  output (want \"$want_message\"):"; sed 's/^/    /' "$work/out"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

install_line='apt-get install -y -q --no-install-recommends wine wine32:i386'
main_suite_line='apt-get install -y -q --no-install-recommends -o APT::Default-Release=bookworm wine wine32:i386'

check "a healthy registry: one update, one install" 0 ok 0 \
  "apt-get update -q
$install_line" "setup went on"

check "an index that fails once: updated again after a pause" 1 ok 0 \
  "apt-get update -q
sleep 10
apt-get update -q
$install_line" "setup went on"

check "an index that never arrives, i386 twins only in the main suite" 9 needs-main-suite 0 \
  "apt-get update -q
sleep 10
apt-get update -q
sleep 10
apt-get update -q
$install_line
$main_suite_line" "going on with the package indexes at hand"

check "an install that cannot be had stops the set-up and names the packages" 0 broken 1 \
  "apt-get update -q
$install_line
$main_suite_line" "could not install these packages: wine wine32:i386"

[ "$failures" -eq 0 ]
