#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine, checks what it installed, then
# purges it and checks that none of its files is left. Needs root (apt-get); run it on a
# machine where installing and removing hushvault is fine, such as CI's.
# Usage: package-check.sh [BUILD_FOLDER]   (default build-deb)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-deb}
id=io.github.hushvault.Hushvault

bash scripts/install-deps.sh --tests
bash scripts/build.sh "$build" -DCMAKE_INSTALL_PREFIX=/usr -DHUSHVAULT_BUILD_TESTS=OFF \
  -DHUSHVAULT_BUILD_BENCH=OFF
rm -f "$build"/hushvault_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls "$build"/hushvault_*.deb)
echo "Built $package"
dpkg-deb --field "$package" Depends

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -q "./$package" >/dev/null
dpkg -L hushvault | while read -r path; do [ -d "$path" ] || echo "$path"; done >"$build/package-files"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# shellcheck source=scripts/sandbox-home.sh
source scripts/sandbox-home.sh
enter_sandbox_home "$scratch"

failures=0
check() {
  local what=$1
  shift
  if "$@" >"$scratch/out" 2>&1; then
    echo "ok: $what"
  else
    echo "FAIL: $what: $(cat "$scratch/out")" >&2
    failures=$((failures + 1))
  fi
}
check "desktop entry valid" desktop-file-validate /usr/share/applications/$id.desktop
check "metainfo valid" appstreamcli validate --no-net /usr/share/metainfo/$id.metainfo.xml
check ".vlt type registered" grep -q "application/x-hushvault-vault:\*.vlt" /usr/share/mime/globs
check "hushvault-cli --version" bash -c 'hushvault-cli --version | grep -q "^hushvault-cli [0-9]"'
check "hushvault-cli list finds /usr/share/hushvault" bash -c \
  'cmp <(hushvault-cli list) <(hushvault-cli --config config list) && [ -n "$(hushvault-cli list)" ]'
check "hushvault starts and refuses a bad option" bash -c \
  'QT_QPA_PLATFORM=offscreen hushvault --bogus 2>&1 | grep -q "^Usage: hushvault"'

apt-get purge -y -q hushvault >/dev/null
left=0
while read -r path; do
  if [ -e "$path" ] || [ -L "$path" ]; then
    echo "FAIL: left after purge: $path" >&2
    left=$((left + 1))
  fi
done <"$build/package-files"
[ "$left" -eq 0 ] && echo "ok: purge left none of $(wc -l <"$build/package-files") files"
exit $((failures + left > 0))
