#!/usr/bin/env bash
# Measures the folder deletion side by side with find, in one run, and prints the ratios:
#   bash bench/folder_deletion_bench.sh BUILD_FOLDER [WORK_FOLDER] [ROUNDS]
# WORK_FOLDER (default: a new folder below $TMPDIR or /var/tmp) must lie on the disk to
# measure. Each side runs ROUNDS times (default 3), the two in turn over a tree made afresh
# each time, and the best time of each is compared, so that a moment of load elsewhere on
# the machine weighs on neither side alone.
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d "${2:-${TMPDIR:-/var/tmp}}/hushvault-bench-XXXXXX")
rounds=${3:-3}
trap 'rm -rf "$work"' EXIT
program="$build/bench/delete_files_bench"

# shellcheck source=bench/timing.sh
source "$(dirname "$0")/timing.sh"

# FOLDERS FILES COMMAND...: the time of COMMAND (TREE in it standing for the tree) over a
# fresh tree of FOLDERS x FILES files, every other one matching, and the files it left.
timed_over_fresh_tree() {
  local tree="$work/tree" folders=$1 files=$2 time
  shift 2
  "$program" make "$tree" "$folders" "$files"
  sync
  time=$(seconds "${@//TREE/$tree}")
  echo "$time $(find "$tree" -type f | wc -l)"
  rm -rf "$tree"
}

# FOLDERS FILES REFERENCE [wipe]: DeleteFiles beside the shell command REFERENCE.
compare_deletion() {
  local own="" other="" time own_left other_left
  for _ in $(seq "$rounds"); do
    read -r time own_left <<<"$(timed_over_fresh_tree "$1" "$2" "$program" delete TREE/ '*.tmp' ${4:+"$4"})"
    own=$(smaller "$own" "$time")
    read -r time other_left <<<"$(timed_over_fresh_tree "$1" "$2" sh -c "$3 && find 'TREE' -mindepth 1 -type d -empty -delete")"
    other=$(smaller "$other" "$time")
  done
  printf 'DeleteFiles %.2f s (%s files left)   reference %.2f s (%s files left)   best of %d, load %s\n' \
    "$own" "$own_left" "$other" "$other_left" "$rounds" "$(cut -d' ' -f1-3 /proc/loadavg)"
  echo "DeleteFiles / reference = $(ratio "$own" "$other")"
}

echo "== Deleting half of 100,000 files in 1,000 folders (goal: <= 1.2 x find -delete)"
compare_deletion 1000 100 "find 'TREE' -name '*.tmp' -delete"

echo "== Wiping half of 10,000 files in 100 folders (goal: <= 1.2 x find with shred -n 1 -u)"
compare_deletion 100 100 "find 'TREE' -name '*.tmp' -exec shred -n 1 -u {} +" wipe
