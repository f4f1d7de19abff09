#!/usr/bin/env bash
# End-to-end check of the running-browser guard and the kept cookies with real browsers
# (Firefox ESR and Chromium) on a sandbox home under Xvfb. Not part of CI. Steps:
#   1. both browsers visit a local page that sets a cookie on "localhost" and on
#      "127.0.0.1", and are closed so that the cookies reach their databases;
#   2. "localhost" goes on the kept-cookies list; the browsers are opened again;
#   3. a run of every Web item answers Ignore: the question names both browsers, their stores are
#      reported as left ("browser open") and, once the browsers are closed, every cookie
#      is still there;
#   4. the browsers are opened again; a run of every Web item closes them when asked and answers
#      Retry: the localhost cookies stay, the 127.0.0.1 ones and the caches go.
# Usage: scripts/browser-guard-check.sh [build folder with bench/browser_guard_check]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-test}
driver=$build/bench/browser_guard_check
[[ -x $driver ]] || { echo "build $driver first (ninja -C $build browser_guard_check)"; exit 2; }

for package in firefox-esr chromium xvfb sqlite3; do
  dpkg -s "$package" >/dev/null 2>&1 || DEBIAN_FRONTEND=noninteractive apt-get install -y "$package"
done

sandbox=$(mktemp -d /tmp/hushvault-guard-check.XXXXXX)
source "$(dirname "$0")/sandbox-home.sh"
enter_sandbox_home "$sandbox"
profile=$HOME/.mozilla/firefox/check.default
chromium_cookies=$XDG_CONFIG_HOME/chromium/Default/Cookies
[[ -e $XDG_CONFIG_HOME/chromium/Default/Network/Cookies ]] &&
  chromium_cookies=$XDG_CONFIG_HOME/chromium/Default/Network/Cookies

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display

# A page that sets a cookie on whichever host name it is asked by.
port=$((20000 + RANDOM % 20000))
python3 - "$port" >/dev/null 2>&1 <<'PY' &
import http.server, sys
class Page(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_response(200)
        self.send_header("Set-Cookie", "session=1; Max-Age=864000; Path=/")
        self.send_header("Content-Type", "text/html")
        self.end_headers()
        self.wfile.write(b"<html><body>cookie set</body></html>")
http.server.HTTPServer(("127.0.0.1", int(sys.argv[1])), Page).serve_forever()
PY
pids+=($!)
pages=("http://localhost:$port/" "http://127.0.0.1:$port/")

firefox_pid='' chromium_pid=''
# open_browsers SECONDS URL...: opens both and lets them work that long (Chromium writes
# its cookies to disk only every 30 seconds).
open_browsers() {
  local seconds=$1
  shift
  firefox-esr --no-remote --profile "$profile" "$@" >/dev/null 2>&1 &
  firefox_pid=$!
  chromium --no-sandbox --no-first-run --password-store=basic --disable-gpu \
    --user-data-dir="$XDG_CONFIG_HOME/chromium" "$@" >/dev/null 2>&1 &
  chromium_pid=$!
  pids+=("$firefox_pid" "$chromium_pid")
  for _ in $(seq 60); do
    [[ -L $profile/lock && -L $XDG_CONFIG_HOME/chromium/SingletonLock ]] && break
    sleep 1
  done
  sleep "$seconds"
}
close_browsers() {
  kill "$firefox_pid" "$chromium_pid" 2>/dev/null || true
  for _ in $(seq 60); do
    kill -0 "$firefox_pid" 2>/dev/null || kill -0 "$chromium_pid" 2>/dev/null || break
    sleep 1
  done
  sleep 1
}
cookie_hosts() {
  local firefox chromium
  firefox=$(sqlite3 "$profile/cookies.sqlite" "SELECT host FROM moz_cookies ORDER BY host" | tr '\n' ' ')
  chromium_cookies=$XDG_CONFIG_HOME/chromium/Default/Cookies
  [[ -e $XDG_CONFIG_HOME/chromium/Default/Network/Cookies ]] &&
    chromium_cookies=$XDG_CONFIG_HOME/chromium/Default/Network/Cookies
  chromium=$(sqlite3 "$chromium_cookies" "SELECT host_key FROM cookies ORDER BY host_key" | tr '\n' ' ')
  echo "Firefox: [${firefox% }] Chromium: [${chromium% }]"
}
check() {  # check DESCRIPTION ACTUAL EXPECTED
  if [[ $2 == "$3" ]]; then echo "PASS $1: $2"; else echo "FAIL $1: got '$2', expected '$3'"; failed=1; fi
}
failed=0

echo "== 1. the browsers set their cookies"
mkdir -p "$profile"
open_browsers 40 "${pages[@]}"
close_browsers
check "cookies set" "$(cookie_hosts)" "Firefox: [127.0.0.1 localhost] Chromium: [127.0.0.1 localhost]"

echo "== 2. localhost's cookies are kept; the browsers are open again"
"$driver" keep-cookie localhost >/dev/null
open_browsers 5 about:blank

echo "== 3. a run answers Ignore while they are open"
"$driver" ignore | tee "$sandbox/ignore.txt"
check "question names both" \
  "$(grep -c '^MESSAGE: Firefox and Chromium are open. Close them to clean their cookies, history and files, then press Retry.$' "$sandbox/ignore.txt")" 1
check "stores reported as left" "$(grep -c 'browser open' "$sandbox/ignore.txt" | tr -d ' ' | sed 's/^[1-9][0-9]*$/some/')" some
close_browsers
check "nothing of theirs deleted" "$(cookie_hosts)" "Firefox: [127.0.0.1 localhost] Chromium: [127.0.0.1 localhost]"

echo "== 4. a run closes them when asked and answers Retry"
open_browsers 5 about:blank
cached_before=$(find "$XDG_CACHE_HOME/mozilla" "$XDG_CACHE_HOME/chromium" -type f 2>/dev/null | wc -l)
"$driver" retry "kill $firefox_pid $chromium_pid; while kill -0 $firefox_pid 2>/dev/null || kill -0 $chromium_pid 2>/dev/null; do sleep 1; done" |
  tee "$sandbox/retry.txt"
check "one question" "$(grep -c '^MESSAGE: .* open\. Close' "$sandbox/retry.txt")" 1
check "completed" "$(grep -c '^MESSAGE: Cleanup Complete!' "$sandbox/retry.txt")" 1
check "kept cookies survive, the others go" "$(cookie_hosts)" "Firefox: [localhost] Chromium: [localhost]"
cached_after=$(find "$XDG_CACHE_HOME/mozilla" "$XDG_CACHE_HOME/chromium" -type f 2>/dev/null | wc -l)
echo "cache files before: $cached_before, after: $cached_after"

rm -rf "$sandbox"
exit "$failed"
