#!/usr/bin/env bash
# Checks the systemd user units in dist/systemd/ with systemd-analyze verify, in a sandbox
# home that holds the program where the service looks for it and the man page the units
# name: verify-systemd-units.sh [build folder with src/cli/hushvault-cli]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}
if ! command -v systemd-analyze >/dev/null; then
  echo "systemd-analyze is missing; the units were not verified" >&2
  exit 1
fi
sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
mkdir -p "$sandbox/home/.local/lib/hushvault" "$sandbox/run" "$sandbox/man/man1"
chmod 700 "$sandbox/run"
cp "$build/src/cli/hushvault-cli" "$sandbox/home/.local/lib/hushvault/"
cp docs/hushvault-cli.1 "$sandbox/man/man1/"
# An unknown key is only a warning to systemd-analyze: any word from it fails the check.
findings=$(HOME="$sandbox/home" XDG_RUNTIME_DIR="$sandbox/run" \
  XDG_CONFIG_HOME="$sandbox/home/.config" MANPATH="$sandbox/man" \
  systemd-analyze verify --user dist/systemd/hushvault-clean.service \
  dist/systemd/hushvault-clean.timer 2>&1) || { echo "$findings" >&2; exit 1; }
if [ -n "$findings" ]; then
  echo "$findings" >&2
  exit 1
fi
echo "systemd units verified"
