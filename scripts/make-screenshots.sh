#!/usr/bin/env bash
# Takes the manual's screenshots (resources/DocsZDM/img/*.png) from the real program.
#
# For each language of the manual (English: <name>.png, Spanish: <name>.es.png) it makes a scratch
# program directory (the shipped language file and templates, the demo project of
# scripts/make-demo-project.py, a settings file choosing the language and the demo as last project),
# starts tarveon-sim on a pseudo-terminal and runs build/default/tools/tarveon_screenshots under
# Xvfb: it opens the project list, the configuration editor, the port dialog, goes on line, opens
# the monitors and the signal viewer and uploads, taking a picture of each. The user's own settings
# and projects are never read or written.
#
# usage: scripts/make-screenshots.sh [OUT_DIR]      (default resources/DocsZDM/img)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

out="${1:-resources/DocsZDM/img}"
cmake --preset default >/dev/null
cmake --build --preset default --target tarveon_screenshots tarveon-sim tarveon_resources
bin=build/default/bin
tool=build/default/tools/tarveon_screenshots
mkdir -p "$out"
out="$(cd "$out" && pwd)"

work="$(mktemp -d /tmp/tarveon-manual.XXXXXX)"
sim=""
cleanup() {
  if [[ -n "$sim" ]]; then kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# language index in the language file, file name suffix
for entry in "0:" "1:.es"; do
  language="${entry%%:*}"
  suffix="${entry#*:}"
  dir="$work/program$suffix"
  mkdir -p "$dir"
  cp resources/RESOURCES.LNG "$dir/RESOURCES.LNG"
  cp resources/RESOURCES.LNG "$dir/tarveon-config.LNG"
  cp -r resources/TemplatesZDM "$dir/TemplatesZDM"
  python3 scripts/make-demo-project.py "$dir/TemplatesZDM" "$dir/ProjectsZDM/Demo"
  if [[ -n "$suffix" ]]; then
    # The demo's own texts in Spanish too.
    sed -i 's/^Desc=.*\r$/Desc=Demo: tres unidades interiores en el simulador\r/; s/^\(D[0-9]*-Name=\)Room /\1Sala /' \
      "$dir/ProjectsZDM/Demo/Project.ini" "$dir/ProjectsZDM/Demo/ZTR001-PACKAGED.ini"
  fi
  printf '[X103]\r\nLastProject=Demo\r\nLanguage=%s\r\n' "$language" >"$dir/tarveon-config.ini"

  simout="$work/sim$suffix.out"
  # The demo's values (scripts/demo-sim.args); its inlet temperatures show in the bus traffic but do
  # not drift, so that the pictures are the same from one run to the next.
  mapfile -t demo_sim <scripts/demo-sim.args
  "$bin/tarveon-sim" --exit-with-parent "${demo_sim[@]}" --drift-ms 86400000 \
    >"$simout" 2>&1 &
  sim=$!
  for _ in $(seq 50); do [[ -s "$simout" ]] && break; sleep 0.1; done
  port="$(head -n 1 "$simout")"
  [[ "$port" == /dev/* ]] || { echo "tarveon-sim did not start: $(cat "$simout")" >&2; exit 1; }

  # HOME and the runtime directory point into the scratch directory too, so nothing of the
  # user's desktop session is touched.
  mkdir -p "$work/home" "$work/run"
  chmod 700 "$work/run"
  HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/home/.config" \
    XDG_DATA_HOME="$work/home/.local/share" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x880x24" "$tool" "$dir" "$out" "$suffix" --port "$port"

  kill "$sim" 2>/dev/null || true
  wait "$sim" 2>/dev/null || true
  sim=""
done
echo "Screenshots written to $out"
