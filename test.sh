#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the normal build, then the whole suite under
# AddressSanitizer/UndefinedBehaviorSanitizer/LeakSanitizer, then a short run of every fuzz target.
# TARVEON_SKIP_ASAN=1 / TARVEON_SKIP_FUZZ=1 leave a stage out; TARVEON_FUZZ_SECONDS sets the time
# per fuzz target (15).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
./scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default
if [[ "${TARVEON_SKIP_ASAN:-0}" != 1 ]]; then
  cmake --preset asan >/dev/null
  cmake --build --preset asan
  ctest --preset asan
fi
if [[ "${TARVEON_SKIP_FUZZ:-0}" != 1 ]]; then
  ./fuzz.sh "${TARVEON_FUZZ_SECONDS:-15}"
fi
