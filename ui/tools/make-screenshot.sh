#!/bin/sh
# Renders the window into docs/screenshot.png with the offscreen platform, so
# no display is needed. Usage: ui/tools/make-screenshot.sh [build folder]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build-ui-tools}
cmake -S "$root" -B "$build" -DKONVERSI_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target konversi_screenshot
mkdir -p "$root/docs"
QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96 "$build/ui/konversi_screenshot" "$root/docs/screenshot.png"
echo "wrote $root/docs/screenshot.png"
