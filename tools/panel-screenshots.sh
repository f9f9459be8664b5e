#!/usr/bin/env bash
# Pictures of the Chord Designer and the Instrument panel for the manual, on
# a virtual screen: tools/panel-screenshots.sh OUT_FOLDER [BUILD_FOLDER]
# Each picture is taken once at scale 1 and once at scale 2 (a high-density
# screen), the latter with "@2x" in its name.
set -euo pipefail
out=$(realpath -m "${1:?usage: tools/panel-screenshots.sh OUT_FOLDER [BUILD_FOLDER]}")
build=${2:-build}
cmake --build "$build" --target fretlets-panel-shots >/dev/null
program="$build/bin/fretlets-panel-shots"
mkdir -p "$out" "$out/@2x"
xvfb-run -a -s "-screen 0 1280x900x24" env QT_QPA_PLATFORM=xcb "$program" "$out"
xvfb-run -a -s "-screen 0 1280x900x24" env QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2 \
  "$program" "$out/@2x"
for f in "$out/@2x"/*.png; do mv "$f" "$out/$(basename "${f%.png}")@2x.png"; done
rmdir "$out/@2x"
ls "$out"
