# Sourced by setup.sh (and its test): installing Debian packages when the registry misbehaves.
#
# A registry in the middle of a sync can serve one index whose size does not match its release
# file; `apt-get update` then exits 100 although every other index arrived. The update is tried
# three times and the set-up carries on with the indexes it has. With the security suite's i386
# index missing, multi-arch packages can find their amd64 candidates in the security suite and
# their i386 twins only in the main suite ("held broken packages"); an install that cannot
# resolve is tried once more with the main suite preferred for both architectures. Only an
# install that still fails stops the set-up, naming what it could not install.

apt_pause_seconds=${VELMOR_APT_PAUSE:-10}

apt_update_with_retries() {
  local try
  for try in 1 2 3; do
    if apt-get update -q; then
      return 0
    fi
    echo "setup: apt-get update failed (try $try of 3)" >&2
    [ "$try" -eq 3 ] || sleep "$apt_pause_seconds"
  done
  echo "setup: going on with the package indexes at hand" >&2
  return 0
}

# The suite of this release, which the retry prefers ("bookworm" on Debian 12).
apt_main_suite() {
  local codename=
  [ -r /etc/os-release ] && codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  echo "${codename:-bookworm}"
}

apt_install_packages() {  # packages...
  if apt-get install -y -q --no-install-recommends "$@"; then
    return 0
  fi
  local suite
  suite=$(apt_main_suite)
  echo "setup: the install did not resolve; trying once more with $suite preferred" >&2
  if apt-get install -y -q --no-install-recommends -o "APT::Default-Release=$suite" "$@"; then
    return 0
  fi
  echo "setup: could not install these packages: $*" >&2
  return 1
}
