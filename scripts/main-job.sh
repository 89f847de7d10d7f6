#!/usr/bin/env bash
# The main job: the whole path from an instrument to a structure file, with the simulated
# instrument standing in for a real one. zarn-sim offers 200 stored results on a
# pseudo-terminal, zarnctl receives them into a structure file, and zarnctl show prints it.
set -euo pipefail
bin=${1:-build/default/bin}
out=${ZARN_MAIN_JOB_FILE:-${TMPDIR:-/tmp}/zarn-main-job.zrn}
work=$(mktemp -d)
sim=
cleanup() {
    if [ -n "$sim" ]; then kill "$sim" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

"$bin/zarn-sim" --generate 200 --once --log "$work/commands.log" >"$work/sim.out" &
sim=$!
# The simulator names its device on its first output line.
for _ in $(seq 100); do
    [ -s "$work/sim.out" ] && break
    sleep 0.05
done
port=$(head -n 1 "$work/sim.out")
echo "== simulated instrument on $port"

echo "== zarnctl receive --port $port -o $out"
"$bin/zarnctl" receive --port "$port" -o "$out"
echo "== commands the instrument received: $(sort "$work/commands.log" | uniq -c | tr -s ' \n' ' ')"

echo "== zarnctl show $out"
"$bin/zarnctl" show "$out"
