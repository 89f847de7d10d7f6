#!/usr/bin/env bash
# One command from a fresh Debian 12 checkout:
#   scripts/bootstrap.sh run    install what is missing, build, run the main job (zarnctl demo)
#   scripts/bootstrap.sh test   install what is missing, build, run every test
set -euo pipefail
# The main job writes its files into $ZARN_DEMO_DIR, else zarn-demo in the caller's folder.
demo_dir=${ZARN_DEMO_DIR:-$PWD/zarn-demo}
cd "$(dirname "$0")/.."

mode=${1:-run}
bash scripts/setup.sh
# ZARN_WERROR=ON (as CI sets it) turns compiler warnings into errors.
cmake --preset default -DZARN_WERROR="${ZARN_WERROR:-OFF}" >/dev/null
cmake --build --preset default

case "$mode" in
run)
    bash scripts/main-job.sh build/default/bin "$demo_dir"
    ;;
test)
    # The print tests send their jobs to a real CUPS queue; as root, start it here.
    # (The tests' own fixture does the same, and says what is missing when not root.)
    if [ "$(id -u)" -eq 0 ]; then
        bash scripts/cups-test-queue.sh start
    fi
    ctest --preset default -j2
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
