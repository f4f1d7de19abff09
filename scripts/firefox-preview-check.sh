#!/usr/bin/env bash
# End-to-end check against the real Firefox ESR (not part of CI).
#
# Fills a fresh Firefox profile in a sandbox home with cookies, history and cache entries
# from a few local pages, then drives the built window under Xvfb: Web tab, Select All,
# Preview. It prints the profile's figures before and after the preview (they must not
# change), saves a screenshot of the results window, and with --clean also presses
# Clean Now! and prints the figures once more.
#
# Usage: scripts/firefox-preview-check.sh BUILD_FOLDER [--clean] [--keep] [--shots DIR]
#   --clean      also press Clean Now! after the preview (answering its questions with Yes)
#   --keep       keep the sandbox folder (its path is printed)
#   --shots DIR  where the screenshots go (default: ./firefox-preview-shots)
#
# The window is driven with xdotool mouse clicks. The program has no automation hooks, so
# the places to click are found from its layout: the window is moved to 0,0 and sized to
# WINDOW_WIDTH x WINDOW_HEIGHT, the tab is found by its position on the strip (Web is the
# third of five tabs), and the buttons sit at fixed offsets from the window's bottom-right
# corner (the command column is right-aligned, Preview above Clean Now!, Select All at the
# column's top). Every step is checked by the window title that must appear, and each step
# leaves a screenshot, so a changed layout shows up as a clear failure with pictures.
set -euo pipefail

usage() {
  sed -n '10,13p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

[ $# -ge 1 ] || usage
build=$(cd "$1" && pwd)
shift
do_clean=0
keep=0
shots="$PWD/firefox-preview-shots"
while [ $# -gt 0 ]; do
  case "$1" in
    --clean) do_clean=1 ;;
    --keep) keep=1 ;;
    --shots) shots=$2; shift ;;
    *) usage ;;
  esac
  shift
done
program="$build/src/app/hushvault"
[ -x "$program" ] || { echo "No program at $program: build it first." >&2; exit 1; }
mkdir -p "$shots"
shots=$(cd "$shots" && pwd)

# Window geometry and click places, in pixels, measured on screenshots of a 900 x 640
# window on Debian 12's default fonts (no window manager, so no frame): the Web tab's
# caption on the strip, Select All at the command column's top, and Preview and Clean Now!
# at the column's foot, counted from the window's bottom-right corner.
WINDOW_WIDTH=900
WINDOW_HEIGHT=640
SCREEN=1280x900x24
TAB_X=344 TAB_Y=21
COLUMN_DX=121
SELECT_ALL_Y=60
PREVIEW_DY=77
CLEAN_DY=43

# --- 1. tools -------------------------------------------------------------------------
declare -A package_of=(
  [firefox-esr]=firefox-esr [Xvfb]=xvfb [xdotool]=xdotool [python3]=python3
  [import]=imagemagick [convert]=imagemagick [sqlite3]=sqlite3
)
missing=()
for tool in "${!package_of[@]}"; do
  command -v "$tool" >/dev/null 2>&1 || missing+=("${package_of[$tool]}")
done
if [ ${#missing[@]} -gt 0 ]; then
  mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u)
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
    --no-install-recommends "${missing[@]}"
fi

# --- 2. sandbox -----------------------------------------------------------------------
sandbox=$(mktemp -d "${TMPDIR:-/tmp}/hushvault-firefox.XXXXXX")
source "$(dirname "$0")/sandbox-home.sh"
enter_sandbox_home "$sandbox"

started=()
# shellcheck disable=SC2317  # run by the EXIT trap
cleanup() {
  local pid
  for pid in "${started[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${started[@]}"; do
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
  done
  if [ "$keep" -eq 1 ]; then
    echo "Sandbox kept: $sandbox"
  else
    rm -rf "$sandbox"
  fi
}
trap cleanup EXIT

# --- 3. local pages and a real Firefox session ----------------------------------------
site="$sandbox/site"
mkdir -p "$site/img"
for i in 1 2 3 4 5 6; do
  convert -size $((64 * i))x$((48 * i)) "plasma:" "$site/img/picture$i.png"
done
cat >"$site/style.css" <<'EOF'
body { font-family: sans-serif; margin: 2em; }
img { margin: 4px; border: 1px solid #888; }
EOF
cat >"$site/app.js" <<'EOF'
// Cookies set from script, one per page plus a shared one, and the next page after a pause.
function visit(name, next) {
  document.cookie = "page_" + name + "=seen; max-age=86400; path=/";
  document.cookie = "theme=dark; max-age=86400; path=/";
  localStorage.setItem("visited_" + name, String(Date.now()));
  setTimeout(function () {
    if (next) { location.href = next; } else { window.close(); }
  }, 1500);
}
EOF
pages=(index news shop login account)
for i in "${!pages[@]}"; do
  name=${pages[$i]}
  next=""
  [ $((i + 1)) -lt ${#pages[@]} ] && next="${pages[$((i + 1))]}.html"
  {
    echo "<!DOCTYPE html><html><head><meta charset=utf-8><title>$name</title>"
    echo "<link rel=stylesheet href=style.css><script src=app.js></script></head><body>"
    echo "<h1>$name</h1>"
    for j in 1 2 3 4 5 6; do
      [ $(((i + j) % 2)) -eq 0 ] && echo "<img src=img/picture$j.png alt=''>"
    done
    echo "<script>visit('$name', '$next');</script></body></html>"
  } >"$site/$name.html"
done
# The server adds a Set-Cookie to every page and lets everything be cached for an hour.
cat >"$sandbox/serve.py" <<'EOF'
import http.server, sys

class Handler(http.server.SimpleHTTPRequestHandler):
    def end_headers(self):
        if self.path.endswith(".html") or self.path == "/":
            name = self.path.strip("/").removesuffix(".html") or "index"
            self.send_header("Set-Cookie", f"server_{name}=1; Max-Age=86400; Path=/")
        self.send_header("Cache-Control", "public, max-age=3600")
        super().end_headers()

    def log_message(self, *args):
        pass

server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
with open(sys.argv[1], "w") as port_file:
    port_file.write(str(server.server_address[1]))
server.serve_forever()
EOF
(cd "$site" && exec python3 "$sandbox/serve.py" "$sandbox/port") &
started+=($!)
for _ in $(seq 50); do
  [ -s "$sandbox/port" ] && break
  sleep 0.1
done
port=$(cat "$sandbox/port")
echo "Serving the pages at http://127.0.0.1:$port/"

firefox-esr --headless -CreateProfile hvcheck >/dev/null 2>&1
profiles_ini=$(find "$HOME" -name profiles.ini -path '*mozilla/firefox/*' | head -n 1)
[ -n "$profiles_ini" ] || { echo "Firefox created no profile." >&2; exit 1; }
profile=$(dirname "$profiles_ini")/$(sed -n 's/^Path=//p' "$profiles_ini" | grep hvcheck | head -n 1)
[ -d "$profile" ] || { echo "The new profile folder was not found." >&2; exit 1; }
# Quiet, offline apart from the local pages, and allowed to close its window from script
# so that it shuts down by itself and writes its stores as on any normal exit.
cat >"$profile/user.js" <<'EOF'
user_pref("dom.allow_scripts_to_close_windows", true);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.aboutwelcome.enabled", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("startup.homepage_welcome_url", "");
user_pref("browser.sessionstore.resume_from_crash", false);
user_pref("app.update.enabled", false);
user_pref("app.normandy.enabled", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("datareporting.healthreport.uploadEnabled", false);
user_pref("toolkit.telemetry.enabled", false);
user_pref("browser.safebrowsing.malware.enabled", false);
user_pref("browser.safebrowsing.phishing.enabled", false);
user_pref("browser.safebrowsing.downloads.enabled", false);
user_pref("network.captive-portal-service.enabled", false);
user_pref("network.connectivity-service.enabled", false);
user_pref("extensions.update.enabled", false);
user_pref("media.gmp-manager.url", "");
user_pref("browser.newtabpage.enabled", false);
user_pref("network.dns.disablePrefetch", true);
user_pref("network.prefetch-next", false);
user_pref("places.history.enabled", true);
user_pref("browser.cache.disk.enable", true);
EOF
echo "Firefox profile: $profile"
firefox-esr --headless --no-remote -P hvcheck "http://127.0.0.1:$port/index.html" \
  >"$sandbox/firefox.log" 2>&1 &
firefox_pid=$!
started+=("$firefox_pid")
# The last page closes the only window; give up after a minute and stop Firefox politely.
for _ in $(seq 600); do
  kill -0 "$firefox_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$firefox_pid" 2>/dev/null; then
  echo "Firefox did not close its window; stopping it with SIGTERM."
  kill -TERM "$firefox_pid"
  for _ in $(seq 300); do
    kill -0 "$firefox_pid" 2>/dev/null || break
    sleep 0.1
  done
fi
wait "$firefox_pid" 2>/dev/null || true

# --- 4. figures -----------------------------------------------------------------------
cache=$(find "$XDG_CACHE_HOME" "$HOME/.cache" -maxdepth 4 -type d -name cache2 2>/dev/null |
  head -n 1)
# Counts rows of a copy, so that neither a stale lock nor this query touches the store.
count_rows() {
  local database=$1 query=$2 copy="$sandbox/copy.sqlite" suffix
  [ -f "$database" ] || { echo "none"; return; }
  rm -f "$copy" "$copy-wal" "$copy-shm"
  cp "$database" "$copy"
  for suffix in -wal -shm; do
    [ -f "$database$suffix" ] && cp "$database$suffix" "$copy$suffix"
  done
  sqlite3 "$copy" "$query"
}
# Both sizes: the program reports the disk space files take, which differs from their
# length for small files and for the databases Firefox grows in sparse chunks.
files_and_bytes() {
  if [ -d "$1" ]; then
    find "$1" -type f -printf '%s %b\n' | awk '{n++; s+=$1; b+=$2*512}
      END {printf "%d files, %d bytes long, %d bytes on disk", n, s, b}'
  else
    echo "none"
  fi
}
figures() {
  echo "== $1"
  local cookies="$profile/cookies.sqlite" places="$profile/places.sqlite"
  echo "  cookie rows:                $(count_rows "$cookies" 'select count(*) from moz_cookies')"
  echo "  places rows (all):          $(count_rows "$places" 'select count(*) from moz_places')"
  echo "  places rows (visited):      $(count_rows "$places" \
    'select count(*) from moz_places where visit_count > 0')"
  echo "  history visit rows:         $(count_rows "$places" \
    'select count(*) from moz_historyvisits')"
  echo "  cache2 entry files:         $(files_and_bytes "$cache/entries")"
  echo "  profile's cache folder:     $(files_and_bytes "$(dirname "${cache:-/nonexistent}")")"
  echo "  profile folder:             $(files_and_bytes "$profile")"
}
# Every file of the profile and its cache, with length and modification time.
manifest() {
  find "$profile" "$(dirname "$cache")" -type f -printf '%p %s %T@\n' 2>/dev/null | sort
}
# Reports what changed since the before figures; the exit status tells whether anything did.
compare_with_before() {
  local label=$1 changed=0
  figures "$label" | tee "$sandbox/now.txt"
  if ! diff <(tail -n +2 "$sandbox/before.txt") <(tail -n +2 "$sandbox/now.txt") >/dev/null; then
    changed=1
  fi
  manifest >"$sandbox/manifest-now.txt"
  if ! diff "$sandbox/manifest-before.txt" "$sandbox/manifest-now.txt" >"$sandbox/changes.txt"; then
    changed=1
    echo "  files changed since before (< before, > now):"
    sed -n 's/^[<>] .*/    &/p' "$sandbox/changes.txt"
  fi
  return "$changed"
}
figures "before" | tee "$sandbox/before.txt"
manifest >"$sandbox/manifest-before.txt"

# --- 5. the window under Xvfb ---------------------------------------------------------
# shellcheck source=scripts/window-under-xvfb.sh
source "$(dirname "$0")/window-under-xvfb.sh"
start_window

shot() {
  import -window root "$shots/$1.png"
  echo "Screenshot: $shots/$1.png"
}
# Prints the id of a visible window whose title matches and that is at least min_height
# pixels high (the progress window of a run carries the same title as its results, but is
# small); fails when there is none.
find_window() {
  local title=$1 min_height=${2:-0} id HEIGHT
  for id in $(xdotool search --onlyvisible --name "$title" 2>/dev/null || true); do
    eval "$(xdotool getwindowgeometry --shell "$id" | grep '^HEIGHT=')"
    [ "$HEIGHT" -ge "$min_height" ] && { echo "$id"; return 0; }
  done
  return 1
}
wait_window() {
  for _ in $(seq 600); do
    find_window "$@" && return 0
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  return 1
}
fail() {
  echo "FAILED: $1" >&2
  shot failure || true
  echo "Program output:" >&2
  tail -n 20 "$sandbox/hushvault.log" >&2 || true
  exit 1
}
click() {
  xdotool mousemove "$1" "$2" click 1
  sleep "${3:-1}"
}

main=$(wait_window '^Hushvault$' 300) || fail "the main window did not appear"
xdotool windowmove "$main" 0 0 windowsize "$main" "$WINDOW_WIDTH" "$WINDOW_HEIGHT"
sleep 3  # the selection pages load in the background after the window shows
eval "$(xdotool getwindowgeometry --shell "$main")"
shot 1-main
left=$X top=$Y right=$((X + WIDTH)) bottom=$((Y + HEIGHT))
click $((left + TAB_X)) $((top + TAB_Y)) 3
shot 2-web-tab
click $((right - COLUMN_DX)) $((top + SELECT_ALL_Y)) 2
shot 3-select-all
click $((right - COLUMN_DX)) $((bottom - PREVIEW_DY)) 1
results=$(wait_window '^Hushvault - Preview$' 300) || fail "the preview's results window did not appear"
# Left open: the next run closes it, and at 40,40 it covers none of the buttons used.
xdotool windowmove "$results" 40 40
sleep 2
shot 4-preview-results
import -window "$results" "$shots/preview-results.png"
echo "Results window: $shots/preview-results.png"
preview_changed=0
if compare_with_before "after the preview"; then
  echo "The preview changed nothing."
else
  echo "FAILED: the preview changed the profile or its cache (see above)" >&2
  preview_changed=1
fi

if [ "$do_clean" -eq 1 ]; then
  click $((right - COLUMN_DX)) $((bottom - CLEAN_DY)) 1
  # Every question of the run (a window of another title than the main window's and the
  # run's own) is answered with its default button: Yes, then OK.
  report=""
  for _ in $(seq 120); do
    report=$(find_window '^Hushvault - Cleanup Report$' 300) || true
    for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null || true); do
      name=$(xdotool getwindowname "$id")
      case "$name" in "Hushvault - "*) continue ;; esac
      [ "$id" = "$main" ] && continue
      shot "5-question-$id"
      xdotool windowfocus --sync "$id" key Return
      sleep 1
    done
    [ -n "$report" ] && break
    sleep 0.5
  done
  [ -n "${report:-}" ] || fail "the cleanup report did not appear"
  sleep 2
  import -window "$report" "$shots/cleanup-report.png"
  echo "Report window: $shots/cleanup-report.png"
  compare_with_before "after Clean Now!" || true
fi
exit "$preview_changed"
