#!/usr/bin/env bash
# End-to-end check of the page icons the history item removes (not part of CI).
#
# On a sandbox home, lets the real Firefox ESR visit a local page with an icon, then
# carries out the Web cleaner's "History" item with hushvault-cli: first as a preview,
# then for real. Prints the icon rows of favicons.sqlite before and after, and fails when
# the preview changed the store, the visited page's icon is left, or a bookmarked
# page (Firefox's default bookmarks) lost its icon.
#
# Usage: scripts/firefox-favicons-check.sh BUILD_FOLDER [--keep]
#   BUILD_FOLDER  a build of the program (hushvault-cli is built when missing)
#   --keep        keep the sandbox folder (its path is printed)
set -euo pipefail

[ $# -ge 1 ] || { sed -n '10,12p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
keep=0
[ "${2:-}" = "--keep" ] && keep=1
cli="$build/src/cli/hushvault-cli"
[ -x "$cli" ] || ninja -C "$build" hushvault-cli >/dev/null

sandbox=$(mktemp -d /tmp/hushvault-favicons.XXXXXX)
firefox_pid=""
# shellcheck disable=SC2317  # run by the EXIT trap
cleanup() {
  if [ -n "$firefox_pid" ]; then kill "$firefox_pid" 2>/dev/null || true; fi
  if [ "$keep" = 1 ]; then echo "Sandbox kept: $sandbox"; else rm -rf "$sandbox"; fi
}
trap cleanup EXIT

# Nothing below may reach the real home or settings store.
source "$(dirname "$0")/sandbox-home.sh"
enter_sandbox_home "$sandbox"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"

# A page with an icon of its own that closes its window once Firefox has stored the icon.
site="$sandbox/site"
mkdir -p "$site"
printf '%s' 'iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==' |
  base64 -d >"$site/icon.png"
cat >"$site/visited.html" <<'EOF2'
<!DOCTYPE html><html><head><meta charset=utf-8><title>visited</title>
<link rel=icon href=icon.png></head><body>visited
<script>setTimeout(function () { window.close(); }, 4000);</script></body></html>
EOF2

firefox-esr --headless -CreateProfile hvicons >/dev/null 2>&1
profiles_ini=$(find "$HOME" -name profiles.ini -path '*mozilla/firefox/*' | head -n 1)
[ -n "$profiles_ini" ] || { echo "Firefox created no profile." >&2; exit 1; }
profile=$(dirname "$profiles_ini")/$(sed -n 's/^Path=//p' "$profiles_ini" | grep hvicons | head -n 1)
cat >"$profile/user.js" <<'EOF2'
user_pref("dom.allow_scripts_to_close_windows", true);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.aboutwelcome.enabled", false);
user_pref("app.update.enabled", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("toolkit.telemetry.enabled", false);
EOF2
firefox-esr --headless --no-remote -P hvicons "file://$site/visited.html" \
  >"$sandbox/firefox.log" 2>&1 &
firefox_pid=$!
for _ in $(seq 600); do
  kill -0 "$firefox_pid" 2>/dev/null || break
  sleep 0.1
done
kill -TERM "$firefox_pid" 2>/dev/null || true
wait "$firefox_pid" 2>/dev/null || true
firefox_pid=""

favicons="$profile/favicons.sqlite"
[ -f "$favicons" ] || { echo "Firefox wrote no favicons.sqlite." >&2; exit 1; }
rows() {
  sqlite3 -readonly "$favicons" "SELECT p.page_url || ' -> ' || substr(i.icon_url, 1, 60)
    FROM moz_pages_w_icons p JOIN moz_icons_to_pages l ON l.page_id = p.id
    JOIN moz_icons i ON i.id = l.icon_id ORDER BY p.page_url"
}
echo "== Icons before"
rows | tee "$sandbox/before.txt"
grep -q 'visited.html' "$sandbox/before.txt" || { echo "Firefox stored no icon of the page." >&2; exit 1; }
bookmarked=$(grep -vc 'visited.html' "$sandbox/before.txt" || true)

cli_run() {
  local status=0
  "$cli" --config "$repo/config" "$@" || status=$?
  [ $status -le 1 ] || { echo "hushvault-cli failed with status $status" >&2; exit 1; }
}
sum_before=$(cat "$favicons"* | sha256sum)
echo "== Preview"
cli_run preview --web History
[ "$(cat "$favicons"* | sha256sum)" = "$sum_before" ] || { echo "FAILED: the preview changed favicons.sqlite" >&2; exit 1; }
echo "== Clean"
cli_run clean --web --yes History
echo "== Icons after"
rows | tee "$sandbox/after.txt"

status=0
if grep -q 'visited.html' "$sandbox/after.txt"; then
  echo "LEFT: the visited page's icon" >&2
  status=1
fi
if [ "$(grep -vc 'visited.html' "$sandbox/after.txt" || true)" != "$bookmarked" ]; then
  echo "LOST: icons of bookmarked pages" >&2
  status=1
fi
unused=$(sqlite3 -readonly "$favicons" "SELECT count(*) FROM moz_icons WHERE root = 0 AND id NOT IN
  (SELECT icon_id FROM moz_icons_to_pages)")
if [ "$unused" != 0 ]; then
  echo "LEFT: $unused icons no page uses" >&2
  status=1
fi
[ $status = 0 ] && echo "The visited page's icon went; the $bookmarked bookmarked pages kept theirs."
exit $status
