#!/usr/bin/env bash
# Unpacks the Debian source of Nettle for the Windows cross build, when it is missing:
# Debian ships no MinGW build of it, and the engine needs its MD5 and ARCFOUR there too.
# Prints the folder that holds the sources.
set -euo pipefail

root=/usr/local/src/hushvault-windows
existing=$(find "$root" -maxdepth 1 -type d -name 'nettle-*' 2>/dev/null | sort | tail -n 1 || true)
if [ -n "$existing" ] && [ -f "$existing/md5.c" ]; then
  echo "$existing"
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

# Source packages need deb-src entries: mirror the system's own Debian entries, stanzas
# and one-line entries each in a file of their kind.
if ! apt-get source --print-uris nettle >/dev/null 2>&1; then
  stanzas=$(for list in /etc/apt/sources.list.d/*.sources; do
    if [ -f "$list" ] && [ "${list##*/}" != hushvault-deb-src.sources ] &&
      grep -q 'debian-archive-keyring' "$list"; then
      sed -e 's/^Types:.*$/Types: deb-src/' "$list"
      echo
    fi
  done)
  lines=$(grep -sE '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' || true)
  if [ -n "$stanzas" ]; then
    printf '%s\n' "$stanzas" | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/hushvault-deb-src.sources >/dev/null
  fi
  if [ -n "$lines" ]; then
    printf '%s\n' "$lines" | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/hushvault-deb-src.list >/dev/null
  fi
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q >&2
fi

download=$(mktemp -d)
trap 'rm -rf "$download"' EXIT
(cd "$download" && apt-get source --download-only -q nettle >&2)
"${sudo_cmd[@]}" mkdir -p "$root"
"${sudo_cmd[@]}" tar -xzf "$download"/nettle_*.orig.tar.gz -C "$root"
find "$root" -maxdepth 1 -type d -name 'nettle-*' | sort | tail -n 1
