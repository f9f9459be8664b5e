#!/bin/sh
# Runs a test program on a virtual X screen under the openbox window manager:
#   under_window_manager.sh PROGRAM [ARGS...]
# (QT_SCALE_FACTOR from the caller sets the scale).
set -eu
exec xvfb-run -a -s "-screen 0 1280x900x24" sh -c '
  openbox --sm-disable >/dev/null 2>&1 &
  manager=$!
  sleep 1
  QT_QPA_PLATFORM=xcb "$@"
  status=$?
  kill $manager
  exit $status' under_window_manager "$@"
