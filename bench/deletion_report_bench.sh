#!/usr/bin/env bash
# Measures what the report of a folder deletion costs, side by side in one run, and prints
# the ratios:
#   bash bench/deletion_report_bench.sh BUILD_FOLDER [WORK_FOLDER]
# - a preview of 100,000 files in 1,000 folders beside find listing their sizes;
# - deleting with the report kept beside deleting with every entry dropped;
# - the peak memory of a preview of 1,000,000 files.
# Each timing is the best of three over a warm cache, so the disk does not decide.
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d "${2:-${TMPDIR:-/var/tmp}}/hushvault-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
program="$build/bench/delete_files_bench"

# shellcheck source=bench/timing.sh
source "$(dirname "$0")/timing.sh"

tree="$work/tree"
echo "== Preview of 100,000 files in 1,000 folders (goal: <= 1.5 x find -printf %s)"
"$program" make "$tree" 1000 100
"$program" preview "$tree/" '*.tmp'
preview=$(best_of_three "$program" preview "$tree/" '*.tmp')
find=$(best_of_three sh -c "find '$tree' -type f -printf '%s\n' >/dev/null")
printf 'preview %.3f s   find %.3f s\n' "$preview" "$find"
echo "preview / find = $(ratio "$preview" "$find")"

echo "== Deleting half of 100,000 files, report kept vs dropped (goal: <= 1.1)"
deletion() {  # MODE: one deletion over a fresh tree, its time alone
  rm -rf "$tree"
  "$program" make "$tree" 1000 100
  sync
  seconds "$program" "$1" "$tree/" '*.tmp'
}
reported="" dropped=""
for _ in 1 2 3; do
  reported=$(smaller "$reported" "$(deletion delete-reported)")
  dropped=$(smaller "$dropped" "$(deletion delete)")
done
printf 'report kept %.3f s   report dropped %.3f s\n' "$reported" "$dropped"
echo "kept / dropped = $(ratio "$reported" "$dropped")"
rm -rf "$tree"

echo "== Peak memory of a preview of 1,000,000 files (goal: < 64 MiB)"
"$program" make "$tree" 1000 1000 empty
"$program" preview "$tree/" '*'
