#!/usr/bin/env bash
# End-to-end look at the installed program (not part of CI): installs the build into a
# sandbox prefix, starts each command of the menu entry (the main one and its actions) as
# a desktop would, from the prefix and on a virtual display, and takes a screenshot of each.
#
# Usage: scripts/installed-window-shot.sh BUILD_FOLDER [SCREENSHOT_FOLDER]
set -euo pipefail

[ $# -ge 1 ] || { sed -n '6p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
build=$(cd "$1" && pwd)
shots=$(realpath -m "${2:-installed-window-shots}")
command -v xvfb-run >/dev/null && command -v import >/dev/null ||
  { echo "xvfb-run and import (ImageMagick) are needed." >&2; exit 1; }

sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
# shellcheck source=scripts/sandbox-home.sh
source "$(dirname "$0")/sandbox-home.sh"
enter_sandbox_home "$sandbox"
export QTWEBENGINE_DISABLE_SANDBOX=1
mkdir -p "$shots"
prefix="$sandbox/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
export PATH="$prefix/bin:$PATH"

# Every Exec line of the entry, the field codes dropped as a start without files has none.
entry="$prefix/share/applications/io.github.hushvault.Hushvault.desktop"
mapfile -t commands < <(sed -n 's/^Exec=//p' "$entry" | sed 's/ %[fFuU]//')
n=0
for command in "${commands[@]}"; do
  n=$((n + 1))
  shot="$shots/$n-$(echo "$command" | tr -c 'a-z0-9\n' '-').png"
  export command shot
  xvfb-run -a -s "-screen 0 1024x768x24" bash -euo pipefail -c '
    $command >"$HOME/hushvault.log" 2>&1 &
    program=$!
    sleep 12
    import -window root "$shot"
    kill "$program"
    wait "$program" || true'
  echo "$command: $shot"
done
