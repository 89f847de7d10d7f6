#!/usr/bin/env bash
# The main job: the whole path from an instrument to a structure file, its text export and its
# report, with a simulated instrument standing in for a real one. zarnctl demo starts it inside
# the process, receives its 200 stored results through the serial port code and writes the
# files into the folder named here.
#   scripts/main-job.sh [BIN_DIR [OUT_DIR]]   (OUT_DIR: $ZARN_DEMO_DIR, else ./zarn-demo)
set -euo pipefail
bin=${1:-build/default/bin}
out=${2:-${ZARN_DEMO_DIR:-$PWD/zarn-demo}}
echo "== zarnctl demo $out"
"$bin/zarnctl" demo "$out"
