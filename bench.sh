#!/usr/bin/env bash
# Builds the default preset and runs every benchmark (bench/bench_<name>.cpp), printing its figures.
# ./bench.sh [name...]   runs only the named benchmarks (e.g. ./bench.sh settings startup).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
./scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
cmake --preset default >/dev/null
cmake --build --preset default
status=0
for bench in build/default/bench/bench_*; do
  [[ -f "$bench" && -x "$bench" ]] || continue
  name="$(basename "$bench")"
  name="${name#bench_}"
  if (($# > 0)); then
    wanted=0
    for arg in "$@"; do [[ "$arg" == "$name" || "$arg" == "bench_$name" ]] && wanted=1; done
    ((wanted)) || continue
  fi
  echo "== bench_$name"
  if ! "$bench"; then
    echo "bench_$name FAILED"
    status=1
  fi
done
exit $status
