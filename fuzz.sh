#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for the given number of seconds (default 60;
# ./test.sh runs each for a few seconds, `./fuzz.sh 600` is a long run).
# Seeds: fuzz/corpus/<target>/ plus the shipped files that target reads (language file, templates);
# new inputs go to build/fuzz/corpus/<target>/. A crash stops that target with its input saved under
# build/fuzz/crashes/ and makes the script fail; turn it into a regression test under tests/.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
seconds="${1:-60}"
./scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/crashes

# The shipped files each target reads in the program, as seeds.
shipped_seeds() {
  case "$1" in
    language) echo resources/RESOURCES.LNG ;;
    ini | project) ls resources/TemplatesZDM/*.ini resources/TemplatesZDM/*.INI 2>/dev/null || true ;;
    signaltable) ls resources/TemplatesZDM/*.dat resources/TemplatesZDM/*.DAT 2>/dev/null || true ;;
  esac
}

status=0
for target in build/fuzz/fuzz/fuzz_*; do
  [[ -f "$target" && -x "$target" ]] || continue
  name="$(basename "$target")"
  name="${name#fuzz_}"
  work="build/fuzz/corpus/$name"
  mkdir -p "$work"
  for seed in $(shipped_seeds "$name"); do
    cp -n "$seed" "$work/shipped-$(basename "$seed")" 2>/dev/null || true
  done
  seeds=("$work")
  [[ -d "fuzz/corpus/$name" ]] && seeds+=("fuzz/corpus/$name")
  log="build/fuzz/$name.log"
  if ! ASAN_OPTIONS=detect_leaks=0 "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="build/fuzz/crashes/${name}-" -print_final_stats=1 "${seeds[@]}" >"$log" 2>&1; then
    echo "fuzz_$name FAILED: see $log and build/fuzz/crashes/"
    tail -n 30 "$log"
    status=1
  else
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")"
    cov="$(grep -Eo 'cov: [0-9]+' "$log" | tail -n 1 || true)"
    printf 'fuzz_%-14s %4ss  %10s runs  %7s exec/s  %s  corpus %s files\n' \
      "$name" "$seconds" "${runs:-?}" "${rate:-?}" "${cov:-}" "$(ls "$work" | wc -l)"
  fi
done
exit $status
