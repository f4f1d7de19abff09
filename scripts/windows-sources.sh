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

# Source packages need a deb-src entry; add one beside the system's own list.
if ! apt-get source --print-uris nettle >/dev/null 2>&1; then
  "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/hushvault-deb-src.sources >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q >&2
fi

download=$(mktemp -d)
trap 'rm -rf "$download"' EXIT
(cd "$download" && apt-get source --download-only -q nettle >&2)
"${sudo_cmd[@]}" mkdir -p "$root"
"${sudo_cmd[@]}" tar -xzf "$download"/nettle_*.orig.tar.gz -C "$root"
find "$root" -maxdepth 1 -type d -name 'nettle-*' | sort | tail -n 1
