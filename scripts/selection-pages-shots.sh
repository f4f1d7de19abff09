#!/usr/bin/env bash
# Screenshots of the two selection pages as a user sees them in the window (not part of
# CI): runs the built window under Xvfb on a sandbox home, opens the desktop and the web
# cleaner's tab, and saves the top of each page and, scrolled, the rest of it.
#
# Usage: scripts/selection-pages-shots.sh BUILD_FOLDER [SHOTS_FOLDER]
#   SHOTS_FOLDER  where the screenshots go (default: ./selection-pages-shots)
#
# The tabs are clicked by their place on the strip, measured on a 900 x 760 window on
# Debian 12's default fonts (no window manager, so no frame).
set -euo pipefail

[ $# -ge 1 ] || { sed -n '6,7p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
build=$(cd "$1" && pwd)
shots=${2:-$PWD/selection-pages-shots}
program="$build/src/app/hushvault"
[ -x "$program" ] || { echo "No program at $program: build it first." >&2; exit 1; }
mkdir -p "$shots"
shots=$(cd "$shots" && pwd)

WINDOW_WIDTH=900 WINDOW_HEIGHT=760 SCREEN=1280x900x24
WINDOWS_TAB_X=${WINDOWS_TAB_X:-230} WEB_TAB_X=${WEB_TAB_X:-344} TAB_Y=21
PAGE_X=300 PAGE_Y=300  # a point inside the selection page, to give it the keyboard

sandbox=$(mktemp -d "${TMPDIR:-/tmp}/hushvault-pages.XXXXXX")
source "$(dirname "$0")/sandbox-home.sh"
enter_sandbox_home "$sandbox"

started=()
cleanup() {
  local pid
  for pid in "${started[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  sleep 1
  rm -rf "$sandbox"
}
trap cleanup EXIT

# shellcheck source=scripts/window-under-xvfb.sh
source "$(dirname "$0")/window-under-xvfb.sh"
start_window

# The first window of that name may go again while the program starts: retry until one
# takes the move.
placed=0
for _ in $(seq 300); do
  main=$(xdotool search --onlyvisible --name '^Hushvault$' 2>/dev/null | head -n 1 || true)
  if [ -n "$main" ] &&
    xdotool windowmove "$main" 0 0 windowsize "$main" "$WINDOW_WIDTH" "$WINDOW_HEIGHT" 2>/dev/null; then
    placed=1
    break
  fi
  sleep 0.1
done
[ $placed = 1 ] || { echo "The main window did not appear" >&2; tail "$sandbox/hushvault.log" >&2; exit 1; }
sleep 3  # the selection pages load in the background after the window shows

shoot_page() {
  local name=$1 tab_x=$2
  xdotool mousemove "$tab_x" "$TAB_Y" click 1
  sleep 2
  import -window root -crop "${WINDOW_WIDTH}x${WINDOW_HEIGHT}+0+0" "$shots/$name-top.png"
  xdotool mousemove "$PAGE_X" "$PAGE_Y" click 4 sleep 0.2
  for _ in $(seq 12); do
    xdotool click 5
  done
  sleep 1
  import -window root -crop "${WINDOW_WIDTH}x${WINDOW_HEIGHT}+0+0" "$shots/$name-scrolled.png"
  for _ in $(seq 40); do
    xdotool click 5
  done
  sleep 1
  import -window root -crop "${WINDOW_WIDTH}x${WINDOW_HEIGHT}+0+0" "$shots/$name-end.png"
  echo "Screenshots: $shots/$name-{top,scrolled,end}.png"
}
shoot_page windows "$WINDOWS_TAB_X"
shoot_page web "$WEB_TAB_X"
