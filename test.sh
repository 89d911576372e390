#!/usr/bin/env bash
# Installs what is missing, builds and runs every test (normal build, then the sanitizer build).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
./scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default
if [[ "${TARVEON_SKIP_ASAN:-0}" != 1 && -f CMakePresets.json ]] && grep -q '"asan"' CMakePresets.json; then
  cmake --preset asan >/dev/null
  cmake --build --preset asan
  ctest --preset asan
fi
if [[ -x ./fuzz.sh && "${TARVEON_SKIP_FUZZ:-0}" != 1 ]]; then
  ./fuzz.sh "${TARVEON_FUZZ_SECONDS:-15}"
fi
