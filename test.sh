#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the normal build, then the whole suite under
# AddressSanitizer/UndefinedBehaviorSanitizer/LeakSanitizer, then a short run of every fuzz target.
# TARVEON_SKIP_ASAN=1 / TARVEON_SKIP_FUZZ=1 leave a stage out; TARVEON_FUZZ_SECONDS sets the time
# per fuzz target (15). Each stage ends with one line "test.sh: STAGE ok|FAILED after TIME".
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

# stage NAME COMMAND...: runs the command and reports how the stage ended and how long it took.
stage() {
  local name=$1 start=$SECONDS rc=0
  shift
  "$@" || rc=$?
  local took=$((SECONDS - start))
  printf 'test.sh: %s %s after %dm%02ds\n' "$name" "$( ((rc == 0)) && echo ok || echo FAILED)" \
    $((took / 60)) $((took % 60))
  return "$rc"
}
build() { cmake --preset "$1" >/dev/null && cmake --build --preset "$1"; }

./scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
stage build build default
stage tests ctest --preset default
if [[ "${TARVEON_SKIP_ASAN:-0}" != 1 ]]; then
  stage "sanitizer build" build asan
  stage "sanitizer tests" ctest --preset asan
fi
if [[ "${TARVEON_SKIP_FUZZ:-0}" != 1 ]]; then
  stage fuzzing ./fuzz.sh "${TARVEON_FUZZ_SECONDS:-15}"
fi
