#!/bin/sh
# Redraws the sky picture and the folder icon into ui/resources; commit the
# results. Usage: ui/tools/draw-images.sh [build folder]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build-ui-tools}
cmake -S "$root" -B "$build" -DKONVERSI_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target konversi_draw_images
QT_QPA_PLATFORM=offscreen "$build/ui/konversi_draw_images" "$root/ui/resources"
echo "wrote $root/ui/resources"
