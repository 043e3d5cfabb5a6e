#!/usr/bin/env bash
# Takes a picture of the preview window showing a twelve-page document, under Xvfb, so that
# anyone can check how the window looks.
#
#   scripts/screenshot-preview.sh [BUILD_DIR] [OUT.png]
#
# BUILD_DIR (default build-preview) is configured and the small demo program built in it
# when needed. OUT.png defaults to BUILD_DIR/preview-screenshot.png; the help window over
# the preview goes beside it as ...-help.png.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$here/build-preview}
out=${2:-$build/preview-screenshot.png}
help_out="${out%.png}-help.png"

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$build" >/dev/null
fi
cmake --build "$build" --target preview_demo -j2 >/dev/null
demo=$(find "$build" -name preview_demo -type f -perm -u+x | head -n 1)
[ -n "$demo" ] || { echo "screenshot-preview: preview_demo was not built" >&2; exit 1; }

command -v xvfb-run >/dev/null || { echo "screenshot-preview: xvfb-run is missing (scripts/setup.sh)" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
# A laptop-sized screen; the window fills the work area as it does for a user.
env -u QT_QPA_PLATFORM QORPRINT_UNATTENDED=0 QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1366x768x24 -dpi 96" "$demo" "$out" "$help_out"
echo "screenshot-preview: $out and $help_out" >&2
