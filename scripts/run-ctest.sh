#!/usr/bin/env bash
# Runs every test of one build folder side by side: run-ctest.sh FOLDER [ctest options...].
# When some fail, they are run once more, one at a time, so that what they printed stands at
# the end of the log, where a reader of a long CI log looks; the status stays that of the
# first run.
set -uo pipefail
build=$1
shift
if ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"; then
  exit 0
fi
echo "== The failed tests of $build once more, one at a time"
ctest --test-dir "$build" --rerun-failed --output-on-failure
exit 1
