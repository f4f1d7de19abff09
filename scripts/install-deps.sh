#!/usr/bin/env bash
# Installs the Debian packages the program needs, when any is missing; with --tests also
# those of the tests (GoogleTest, and the Windows cross build run under Wine).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-webengine-dev libqt6opengl6-dev libgl-dev
  libsqlite3-dev nettle-dev libsodium-dev libicu-dev
  libcli11-dev nlohmann-json3-dev libxml2-dev
  librsvg2-bin
)
if [ "${1:-}" = "--tests" ]; then
  packages+=(libgtest-dev clang-format xvfb xauth g++-mingw-w64-x86-64 wine64 googletest
    autoconf automake libtool desktop-file-utils appstream shared-mime-info
    bash-completion)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
