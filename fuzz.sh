#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for the given number of seconds (default 60).
# Seeds: fuzz/corpus/<target>/ plus the shipped files; new inputs go to build/fuzz/corpus/<target>/.
# A crash stops the run with its input saved under build/fuzz/crashes/.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
seconds="${1:-60}"
./scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/crashes
status=0
for target in build/fuzz/fuzz/fuzz_*; do
  [[ -f "$target" && -x "$target" ]] || continue
  name="$(basename "$target")"
  name="${name#fuzz_}"
  work="build/fuzz/corpus/$name"
  mkdir -p "$work"
  seeds=("$work")
  [[ -d "fuzz/corpus/$name" ]] && seeds+=("fuzz/corpus/$name")
  echo "== fuzz_$name: ${seconds}s"
  if ! ASAN_OPTIONS=detect_leaks=0 "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="build/fuzz/crashes/${name}-" -print_final_stats=0 "${seeds[@]}" >"build/fuzz/$name.log" 2>&1; then
    echo "fuzz_$name FAILED: see build/fuzz/$name.log and build/fuzz/crashes/"
    tail -n 30 "build/fuzz/$name.log"
    status=1
  else
    grep -E '^#[0-9]+.*(DONE|pulse)' "build/fuzz/$name.log" | tail -n 1 || true
  fi
done
exit $status
