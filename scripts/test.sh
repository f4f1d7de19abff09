#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the engine tests once more under
# AddressSanitizer and UndefinedBehaviorSanitizer, then every test of the normal build, then
# the engine tests built for Windows and run under Wine, and last the Debian package.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --tests || exit 1

# Tests never restart the machine and never reach the real home, trash or registry:
# every test program points those into a temporary folder of its own.
export HUSHVAULT_NO_RESTART=1
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1

status=0
echo "== Engine tests under AddressSanitizer and UBSan"
if bash scripts/build.sh build-asan -DHUSHVAULT_SANITIZE=ON -DHUSHVAULT_BUILD_GUI=OFF \
     -DHUSHVAULT_BUILD_BENCH=OFF; then
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    bash scripts/run-ctest.sh build-asan || status=1
else
  status=1
fi

echo "== All tests"
if bash scripts/build.sh build-test; then
  bash scripts/run-ctest.sh build-test || status=1
else
  status=1
fi
echo "== Engine tests on Windows, under Wine"
bash scripts/windows-tests.sh || status=1
echo "== The Debian package: built, installed, checked and purged again"
if [ "$(id -u)" -eq 0 ]; then
  bash scripts/package-check.sh || status=1
else
  echo "Skipped: installing the package takes root (run scripts/package-check.sh as root)."
fi
exit $status
