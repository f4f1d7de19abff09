#!/usr/bin/env bash
# End-to-end check of handing files to the running window (not part of CI).
#
# In a sandbox home and on a virtual display, starts the window with one file, then starts
# the program three more times as the desktop would: a .vlt file, a file to wipe, and a
# bad option. The later starts must end at once (0, 0, 2) while the first keeps running;
# a screenshot of the screen shows the File Protection tab with the files in their lists.
#
# Usage: scripts/open-files-check.sh BUILD_FOLDER [SCREENSHOT.png]
set -euo pipefail

[ $# -ge 1 ] || { sed -n '9p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
program="$(cd "$1" && pwd)/src/app/hushvault"
[ -x "$program" ] || { echo "No program at $program: build the window first." >&2; exit 1; }
screenshot=$(realpath -m "${2:-open-files-check.png}")
command -v xvfb-run >/dev/null && command -v import >/dev/null ||
  { echo "xvfb-run and import (ImageMagick) are needed." >&2; exit 1; }

sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
source "$(dirname "$0")/sandbox-home.sh"
enter_sandbox_home "$sandbox"
export QTWEBENGINE_DISABLE_SANDBOX=1
mkdir -p "$sandbox/files"
cd "$sandbox/files"
printf 'report' >report.doc
printf 'vault' >notes.txt.vlt
head -c 1048576 /dev/urandom >old-draft.bin

export program screenshot
xvfb-run -a -s "-screen 0 1024x768x24" bash -euo pipefail -c '
  "$program" report.doc &
  first=$!
  socket="$XDG_RUNTIME_DIR/hushvault-$(id -u)"
  for _ in $(seq 120); do [ -S "$socket" ] && break; sleep 0.5; done
  [ -S "$socket" ] || { echo "The first start never listened at $socket." >&2; exit 1; }
  status=0
  check() {
    local expected=$1; shift
    local got=0
    timeout 30 "$program" "$@" 2>/dev/null || got=$?
    if [ "$got" -eq "$expected" ]; then echo "ok: hushvault $* ended with $got"
    else echo "FAILED: hushvault $* ended with $got, not $expected"; status=1; fi
  }
  check 0 notes.txt.vlt
  check 0 --wipe old-draft.bin
  check 2 --shred
  kill -0 "$first" || { echo "FAILED: the first start ended" >&2; exit 1; }
  sleep 3
  import -window root "$screenshot"
  echo "screenshot: $screenshot"
  kill "$first"
  wait "$first" || true
  exit $status
'
