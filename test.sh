#!/usr/bin/env bash
# Installs what is missing, builds and runs every test (normal build, then the sanitizer build).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
./scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default
# The sanitizer build and the short fuzz runs: TARVEON_FULL=1 ./test.sh (they double the run time).
if [[ "${TARVEON_FULL:-0}" == 1 ]]; then
  cmake --preset asan >/dev/null
  cmake --build --preset asan
  ctest --preset asan
fi
if [[ "${TARVEON_FULL:-0}" == 1 ]]; then
  ./fuzz.sh "${TARVEON_FUZZ_SECONDS:-10}"
fi
