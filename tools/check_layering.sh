#!/usr/bin/env bash
# The folders are the layers: music < documents, sound < models < print < gui/common
# < gui/<panel> < app. Fails on any include that runs from a lower layer up,
# on Qt in the core, and on a panel that includes another panel or the frame.
set -u
cd "$(dirname "$0")/../src"
status=0
# folder, then the project folders its files may include
allowed=(
  "music:music"
  "documents:music documents"
  "sound:music sound"
  "models:music documents sound models"
  "print:music documents sound models print"
  "gui/common:music documents sound models print gui/common"
  "cli:music documents sound models print cli"
)
for panel in gui/*/; do
  panel=${panel%/}
  [ "$panel" = gui/common ] || allowed+=("$panel:music documents sound models print gui/common $panel")
done
for rule in "${allowed[@]}"; do
  folder=${rule%%:*}
  pattern=$(printf '%s\n' ${rule#*:} | sed 's|/|\\/|g' | paste -sd'|')
  while IFS= read -r line; do
    echo "layering: $line"
    status=1
  done < <(grep -Hn '^#include "' "$folder"/*.cpp "$folder"/*.h 2>/dev/null |
           grep -Ev "#include \"($pattern)/[a-z_]+\.h\"")
done
for core in music documents sound models; do
  while IFS= read -r line; do
    echo "Qt in the core: $line"
    status=1
  done < <(grep -Hn '^#include <Q' "$core"/*.cpp "$core"/*.h)
done
exit $status
