#!/usr/bin/env bash
# Installs what is missing, builds the three programs and their data (never the tests) and starts
# the tool. By default the tool starts on a demo: the gateway simulator on a pseudo-terminal and a
# demo project of three indoor units, opened and already on line (--online), so the gateway
# identifies itself, the file is offered and the monitors are ready without a click.
# ./run.sh --no-demo starts the tool alone, on the port of its settings (or --port DEVICE).
# ./run.sh --knxd URL puts the demo's simulator on a running knxd as well (README: "The simulated
# installation on KNX").
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
demo=1
args=()
knxd=()
while (($#)); do
  case "$1" in
    --no-demo) demo=0 ;;
    --knxd) knxd=(--knxd "${2:?--knxd needs a URL, e.g. ip:localhost:6720}"); shift ;;
    *) args+=("$1") ;;
  esac
  shift
done
./scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target tarveon-config tarveon-cli tarveon-sim tarveon_resources
bin=build/default/bin
if ((demo == 0)); then
  exec "$bin/tarveon-config" "${args[@]}"
fi

if [[ ! -d "$bin/ProjectsZDM/Demo" ]]; then
  python3 scripts/make-demo-project.py "$bin/TemplatesZDM" "$bin/ProjectsZDM/Demo"
  "$bin/tarveon-cli" generate "$bin/ProjectsZDM/Demo" >/dev/null
fi
# The demo is the last project, so that --online opens it.
[[ -f "$bin/tarveon-config.ini" ]] || printf '[X103]\r\nLastProject=Demo\r\n' >"$bin/tarveon-config.ini"

simout="$(mktemp)"
# The demo's signals start from plausible values; its inlet temperatures drift
# (scripts/demo-sim.args, one argument a line, goes with scripts/make-demo-project.py).
mapfile -t demo_sim <scripts/demo-sim.args
((${#knxd[@]} == 0)) || demo_sim+=("${knxd[@]}" --project "$bin/ProjectsZDM/Demo")
"$bin/tarveon-sim" --exit-with-parent "${demo_sim[@]}" >"$simout" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null || true; rm -f "$simout"' EXIT
for _ in $(seq 50); do [[ -s "$simout" ]] && break; sleep 0.1; done
port="$(head -n 1 "$simout")"
echo "Gateway simulator on $port (the tool uses it for this run: --port $port)"
"$bin/tarveon-config" --port "$port" --online "${args[@]}"
