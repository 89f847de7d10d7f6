#!/usr/bin/env bash
# The main job: shows what the build can do end to end, without an instrument.
set -euo pipefail
bin=${1:-build/default/bin}
if [ -x "$bin/zarnctl" ]; then
    "$bin/zarnctl" --help
else
    echo "zarn core built; the command-line tool arrives with the structure-file work."
fi
