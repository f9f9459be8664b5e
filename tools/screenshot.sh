#!/usr/bin/env bash
# Starts the desktop program on a virtual screen, waits, and saves a picture
# of the whole screen: tools/screenshot.sh OUT.png [SECONDS] [program args...]
set -euo pipefail
out=${1:?usage: tools/screenshot.sh OUT.png [SECONDS] [args...]}
wait_s=${2:-3}
shift $(( $# >= 2 ? 2 : 1 ))
program=${FRETLETS_PROGRAM:-build/bin/fretlets}
out=$(realpath -m "$out")
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  "$0" "${@:3}" &
  pid=$!
  sleep "$1"
  import -window root "$2"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
' "$program" "$wait_s" "$out" "$@"
echo "saved $out"
