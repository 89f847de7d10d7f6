#!/usr/bin/env bash
# Takes the user guide's pictures (docs/images/*.png) from the real program: builds
# zarn-screenshots in the default preset and runs it on a virtual display of a fixed size.
# Run again after a window changes; the pictures come out the same on every run.
#
#   bash scripts/screenshots.sh [OUTDIR]      (default: docs/images)
#
# Needs xvfb (xvfb-run) and fonts-dejavu-core; optipng, when present, makes the files smaller.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs/images}")"

for tool in xvfb-run cmake; do
    command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (apt-get install xvfb cmake)" >&2; exit 1; }
done
[[ "$(fc-list : family 2>/dev/null)" == *"DejaVu Sans"* ]] \
    || { echo "screenshots: the DejaVu fonts are missing (apt-get install fonts-dejavu-core)" >&2; exit 1; }

cmake --preset default >/dev/null
cmake --build --preset default -j2 --target zarn-screenshots zarn_data

# The same picture everywhere: no desktop theme, no scaling, 96 dpi, and no printer queue, so
# that the preview measures against the program's own A4 page.
export QT_QPA_PLATFORMTHEME= QT_STYLE_OVERRIDE= QT_SCALE_FACTOR=1 QT_AUTO_SCREEN_SCALE_FACTOR=0
export QT_FONT_DPI=96 QT_QPA_PLATFORM=xcb LANG=C.UTF-8 LC_ALL=C.UTF-8
export CUPS_SERVER=/nonexistent/cups.sock
export XDG_CONFIG_HOME
XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT

mkdir -p "$out"
xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96 -nolisten tcp" \
    build/default/bin/zarn-screenshots "$out" --data build/default/bin

if command -v optipng >/dev/null; then
    optipng -quiet -o2 -strip all "$out"/*.png
fi
ls -l "$out"/*.png
