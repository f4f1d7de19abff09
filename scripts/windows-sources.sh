#!/usr/bin/env bash
# Prepares what the Windows cross build takes from Debian's sources, when it is missing:
# Debian ships no MinGW build of Nettle or libsodium, and the engine needs Nettle's MD5 and
# ARCFOUR and libsodium there too. Nettle is unpacked (the build compiles the few files it
# needs); libsodium is built with its own MinGW support, Debian's patches applied, and
# installed under the same root. Prints the Nettle folder and the libsodium prefix.
set -euo pipefail

root=/usr/local/src/hushvault-windows
sodium_prefix="$root/libsodium-mingw"
nettle=$(find "$root" -maxdepth 1 -type d -name 'nettle-*' 2>/dev/null | sort | tail -n 1 || true)
if [ -n "$nettle" ] && [ -f "$nettle/md5.c" ] && [ -f "$sodium_prefix/lib/libsodium.a" ]; then
  echo "$nettle"
  echo "$sodium_prefix"
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

# Source packages need deb-src entries: mirror the system's own Debian entries, stanzas
# and one-line entries each in a file of their kind.
if ! apt-get source --print-uris nettle libsodium >/dev/null 2>&1; then
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
"${sudo_cmd[@]}" mkdir -p "$root"
if [ -z "$nettle" ] || [ ! -f "$nettle/md5.c" ]; then
  (cd "$download" && apt-get source --download-only -q nettle >&2)
  "${sudo_cmd[@]}" tar -xzf "$download"/nettle_*.orig.tar.gz -C "$root"
  nettle=$(find "$root" -maxdepth 1 -type d -name 'nettle-*' | sort | tail -n 1)
fi
if [ ! -f "$sodium_prefix/lib/libsodium.a" ]; then
  (cd "$download" && apt-get source --download-only -q libsodium >&2)
  (cd "$download" && dpkg-source -x libsodium_*.dsc sodium >&2)
  # Debian's source carries no generated configure script: its build regenerates it too.
  (cd "$download/sodium" && autoreconf -fi >&2 &&
    ./configure -q --host=x86_64-w64-mingw32 --prefix="$sodium_prefix" --disable-shared \
      --enable-static >&2 &&
    make -j2 >&2 && "${sudo_cmd[@]}" make install >&2)
fi
echo "$nettle"
echo "$sodium_prefix"
