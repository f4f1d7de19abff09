#!/usr/bin/env bash
# End-to-end check against the real Firefox ESR and Chromium (not part of CI).
#
# In a sandbox home, lets both browsers write their profiles (a local page that keeps
# something in the site storage), then copies each profile to where the snap and Flatpak
# packages keep theirs. It lists the files the browser family items reach, runs
# browser_installs_bench on the home (the profiles it finds; what the items would remove;
# then removing it), and lists the files again.
#
# Usage: scripts/browser-installs-check.sh BUILD_FOLDER [--keep]
#   BUILD_FOLDER  a build with the benchmarks (-DHUSHVAULT_BUILD_BENCH=ON)
#   --keep        keep the sandbox folder (its path is printed)
set -euo pipefail

[ $# -ge 1 ] || { sed -n '10,12p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
probe="$(cd "$1" && pwd)/bench/browser_installs_bench"
[ -x "$probe" ] || { echo "No program at $probe: build the benchmarks first." >&2; exit 1; }
keep=0
[ "${2:-}" = "--keep" ] && keep=1
for tool in firefox-esr chromium; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed." >&2; exit 1; }
done

sandbox=$(mktemp -d)
cleanup() { [ "$keep" -eq 1 ] && echo "sandbox kept: $sandbox" || rm -rf "$sandbox"; }
trap cleanup EXIT
source "$(dirname "$0")/sandbox-home.sh"
enter_sandbox_home "$sandbox"

page="$sandbox/page.html"
cat >"$page" <<'EOF'
<!doctype html><title>check</title>
<script>localStorage.setItem("visited", "yes"); sessionStorage.setItem("tab", "1");</script>
<p>written</p>
EOF

# --- 1. the browsers write their profiles ---------------------------------------------
timeout 90 firefox-esr --headless --screenshot "$sandbox/firefox.png" "file://$page" \
  >/dev/null 2>&1 || true
timeout 90 chromium --headless --no-sandbox --disable-gpu \
  --user-data-dir="$XDG_CONFIG_HOME/chromium" --dump-dom "file://$page" >/dev/null 2>&1 || true

firefox_profile=$(find "$XDG_CONFIG_HOME/mozilla/firefox" "$HOME/.mozilla/firefox" \
  -maxdepth 2 -name prefs.js -printf '%h\n' 2>/dev/null | head -1 || true)
[ -n "$firefox_profile" ] || { echo "Firefox wrote no profile." >&2; exit 1; }
[ -d "$XDG_CONFIG_HOME/chromium/Default" ] || { echo "Chromium wrote no profile." >&2; exit 1; }
name=$(basename "$firefox_profile")

# --- 2. the same profiles where snap and Flatpak packages keep them --------------------
copy() { mkdir -p "$(dirname "$2")" && cp -a "$1" "$2"; }
copy "$firefox_profile" "$HOME/snap/firefox/common/.mozilla/firefox/$name"
copy "$firefox_profile" "$HOME/.var/app/org.mozilla.firefox/.mozilla/firefox/$name"
if [ -d "$XDG_CACHE_HOME/mozilla/firefox/$name" ]; then
  copy "$XDG_CACHE_HOME/mozilla/firefox/$name" \
    "$HOME/snap/firefox/common/.cache/mozilla/firefox/$name"
fi
copy "$XDG_CONFIG_HOME/chromium/Default" "$HOME/snap/chromium/common/chromium/Default"
copy "$XDG_CONFIG_HOME/chromium/Default" \
  "$HOME/.var/app/com.google.Chrome/config/google-chrome/Profile 1"
if [ -d "$XDG_CACHE_HOME/chromium/Default" ]; then
  copy "$XDG_CACHE_HOME/chromium/Default" \
    "$HOME/.var/app/com.google.Chrome/cache/google-chrome/Profile 1"
fi

# --- 3. before, the items, after -------------------------------------------------------
# What the items reach: session files, site storage, disk caches and crash reports.
reached() {
  (cd "$HOME" && find . -type f \( -path '*sessionstore*' -o -path '*/storage/default/*' \
    -o -path '*/Local Storage/*' -o -path '*/Session Storage/*' -o -path '*/Sessions/*' \
    -o -path '*/cache2/*' -o -path '*/Cache/*' -o -path '*/Code Cache/*' \
    -o -path '*/Crash Reports/*' \) | sort)
}
kept() {
  (cd "$HOME" && find . -type f \( -name places.sqlite -o -name key4.db -o -name logins.json \
    -o -name 'Login Data' -o -name History -o -name Bookmarks -o -name prefs.js \) | sort)
}
kept >"$sandbox/kept-before"
echo "== before: files the items reach, by folder"
reached | sed 's#/[^/]*$##' | sort | uniq -c
echo "== the items"
"$probe" "$HOME" --clean
echo "== after: files the items reach, by folder"
reached | sed 's#/[^/]*$##' | sort | uniq -c
echo "== after: passwords, bookmarks, history databases and settings"
kept >"$sandbox/kept-after"
if diff "$sandbox/kept-before" "$sandbox/kept-after"; then
  echo "all $(wc -l <"$sandbox/kept-after") still there"
else
  echo "some are gone" >&2
  exit 1
fi
