#!/usr/bin/env bash
# End-to-end check of the shell and tool history items (not part of CI).
#
# On a sandbox home, runs bash, python3, less, vim and sqlite3 interactively in tmux so
# that each writes its history the way it does for a user, links one history to /dev/null
# as a user who wants none would, then carries out the matching items of
# config/winclean.cln with hushvault-cli: first as a preview, then for real. Prints the
# home's listing before and after, and fails when a history is left or the link is gone.
#
# Usage: scripts/desktop-traces-check.sh BUILD_FOLDER [--keep]
#   BUILD_FOLDER  a build of the program (hushvault-cli is built when missing)
#   --keep        keep the sandbox folder (its path is printed)
set -euo pipefail

[ $# -ge 1 ] || { sed -n '11,13p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
keep=0
[ "${2:-}" = "--keep" ] && keep=1

if ! command -v tmux >/dev/null; then
  apt-get install -y tmux >/dev/null
fi
cli="$build/src/cli/hushvault-cli"
[ -x "$cli" ] || ninja -C "$build" hushvault-cli >/dev/null

sandbox=$(mktemp -d /tmp/hushvault-traces.XXXXXX)
cleanup() {
  tmux kill-server 2>/dev/null || true
  if [ "$keep" = 1 ]; then echo "Sandbox kept: $sandbox"; else rm -rf "$sandbox"; fi
}
trap cleanup EXIT

# Nothing below may reach the real home, settings store or tmux server.
source "$(dirname "$0")/sandbox-home.sh"
enter_sandbox_home "$sandbox"
export TMUX_TMPDIR="$sandbox/tmux"
# sqlite3 finds its home in the password database, not in HOME: named here, its history
# goes where it would go for a user whose home this is.
export SQLITE_HISTORY="$HOME/.sqlite_history"
unset TMUX HISTFILE LESSHISTFILE PYTHONSTARTUP VIMINIT
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME" \
  "$TMUX_TMPDIR"
printf 'line one\nhushvault line\nline three\n' >"$sandbox/sample.txt"

# interact COMMAND KEYS...: runs COMMAND in a fresh terminal, types each KEYS argument
# half a second apart (Enter and Escape as keys, anything else as literal text; a closing
# ';' is escaped, or tmux would read it as the end of its command), and waits for the program to end.
interact() {
  local command=$1
  shift
  tmux new-session -d -s trace -x 120 -y 30 "$command"
  sleep 1
  for keys in "$@"; do
    case "$keys" in
      Enter | Escape) tmux send-keys -t trace "$keys" ;;
      *\;) tmux send-keys -t trace -l "${keys%;}" '\;' ;;
      *) tmux send-keys -t trace -l "$keys" ;;
    esac
    sleep 0.5
  done
  for _ in $(seq 40); do
    tmux has-session -t trace 2>/dev/null || return 0
    sleep 0.25
  done
  echo "'$command' did not end" >&2
  return 1
}

cd "$sandbox"
interact "bash --norc -i" "echo hushvault-bash-trace" Enter "exit" Enter
interact "/usr/bin/python3 -q" "print('hushvault-python-trace')" Enter "exit()" Enter
interact "less $sandbox/sample.txt" "/hushvault" Enter "q"
# Without the XDG folders set, as on most desktops, less keeps its history in the home.
interact "env -u XDG_DATA_HOME -u XDG_STATE_HOME less $sandbox/sample.txt" "/line" Enter "q"
interact "vim -N $sandbox/notes.txt" "ihushvault-vim-trace" Escape ":wq" Enter
interact "sqlite3 $sandbox/test.db" "select 'hushvault-sqlite-trace';" Enter ".quit" Enter
ln -s /dev/null "$HOME/.node_repl_history"

histories=(.bash_history .python_history .lesshst .local/share/lesshst .local/state/lesshst
  .viminfo .sqlite_history)
items=(BashHistory PythonHistory LessHistory LessDataHistory LessStateHistory VimInfo
  SqliteHistory NodeHistory)

listing() {
  (cd "$HOME" && find . -mindepth 1 \( -type f -printf '  %M %6s %p\n' \) \
    -o \( -type l -printf '  %M %6s %p -> %l\n' \) | sort)
}

echo "== Home before"
listing
written=()
for history in "${histories[@]}"; do
  [ -e "$HOME/$history" ] && written+=("$history")
done
echo "Histories written by the programs: ${written[*]:-none}"

echo "== Preview"
# Status 1 means something was left: here the linked history, on purpose.
cli_run() {
  local status=0
  "$cli" --config "$repo/config" "$@" || status=$?
  [ $status -le 1 ] || { echo "hushvault-cli failed with status $status" >&2; exit 1; }
}
cli_run preview --windows "${items[@]}"
echo "== Clean"
cli_run clean --windows --yes "${items[@]}"
echo "== Home after"
listing

status=0
for history in "${written[@]}"; do
  if [ -e "$HOME/$history" ]; then
    echo "LEFT: $history" >&2
    status=1
  fi
done
if [ "$(readlink "$HOME/.node_repl_history")" != /dev/null ]; then
  echo "The history linked to /dev/null did not stay" >&2
  status=1
fi
[ ${#written[@]} -ge 6 ] || { echo "Only ${#written[@]} programs wrote a history" >&2; status=1; }
[ $status = 0 ] && echo "OK: ${#written[@]} histories removed, the linked one kept"
exit $status
