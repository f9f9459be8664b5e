#!/usr/bin/env bash
# Takes the pictures of the program's windows for the manual and the README
# on a virtual X screen: tools/make_pictures.sh [OUT_FOLDER]
# (default resources/help/pictures). Build first (cmake --build build).
set -euo pipefail
out=$(realpath -m "${1:-resources/help/pictures}")
program=${FRETLETS_PICTURES:-build/bin/fretlets-pictures}
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x900x24" "$program" "$out"
