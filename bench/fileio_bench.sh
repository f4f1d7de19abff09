#!/usr/bin/env bash
# Measures the secure wipe and the folder deletion side by side with the system's own
# tools, in one run, and prints the ratios:
#   bash bench/fileio_bench.sh BUILD_FOLDER [WORK_FOLDER]
# WORK_FOLDER (default: a new folder below $TMPDIR or /var/tmp) must lie on the disk to
# measure and have room for a 1 GiB file.
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d "${2:-${TMPDIR:-/var/tmp}}/hushvault-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

# shellcheck source=bench/timing.sh
source "$(dirname "$0")/timing.sh"
fresh_file() {  # FILE MIB: a file of MIB MiB whose blocks are on the disk
  dd if=/dev/zero of="$1" bs=1M count="$2" status=none
  sync
}

echo "== FillRandom (goal: at least 1 GB/s on one core)"
"$build/bench/fillrandom_bench"

echo "== Wiping a 1 GiB file (goals: EraseFile <= shred -n 1 -u, <= 1.2 x dd)"
file="$work/victim.bin"
fresh_file "$file" 1024
erase=$(seconds "$build/bench/erase_file_bench" "$file")
[ -e "$file" ] && { echo "EraseFile left the file behind" >&2; exit 1; }
fresh_file "$file" 1024
shred=$(seconds shred -n 1 -u "$file")
fresh_file "$file" 1024
dd=$(seconds dd if=/dev/zero of="$file" bs=1M count=1024 oflag=direct conv=notrunc,fsync status=none)
# The wipe also cuts and removes the file, and giving 1 GiB of blocks back costs time of its
# own (much more on a file system mounted with discard); dd followed by rm of the same file
# is the disk's limit for all of it. Random data as the wipe writes it, held in memory.
noise=$(mktemp /dev/shm/hushvault-noise-XXXXXX)
trap 'rm -rf "$work" "$noise"' EXIT
head -c 1G /dev/urandom >"$noise"
fresh_file "$file" 1024
dd_rm=$(seconds sh -c "dd if='$noise' of='$file' bs=1M count=1024 oflag=direct conv=notrunc,fsync status=none && rm '$file'")
rm -f "$file" "$noise"
printf 'EraseFile %.2f s   shred -n 1 -u %.2f s   dd (direct, 1 MiB blocks) %.2f s   dd of random data, then rm %.2f s\n' \
  "$erase" "$shred" "$dd" "$dd_rm"
echo "EraseFile / shred = $(ratio "$erase" "$shred")   EraseFile / dd = $(ratio "$erase" "$dd")   EraseFile / (dd + rm) = $(ratio "$erase" "$dd_rm")"

echo "== Peak memory while wiping (goal: the same for 1 MB and 1 GiB)"
for mib in 1 1024; do
  fresh_file "$file" "$mib"
  printf '%5d MiB: ' "$mib"
  "$build/bench/erase_file_bench" "$file"
done

bash "$(dirname "$0")/folder_deletion_bench.sh" "$build" "$work"
