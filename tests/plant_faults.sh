#!/usr/bin/env bash
# Plants every fault of tests/planted_faults.txt, one at a time, in a scratch copy of the work
# tree, builds it and runs the tests that must catch it. The work tree itself is never touched.
#
#   tests/plant_faults.sh [-k FILE_REGEX] [-n] [-d SCRATCH]
#
#   -k FILE_REGEX  only the lines whose file matches (grep -E)
#   -n             build without the windows (-DFRETLETS_GUI=OFF), when no selected line needs them
#   -d SCRATCH     scratch folder (default ${TMPDIR:-/tmp}/fretlets-faults)
#
# A line of the list is FILE<TAB>PERL_SUBSTITUTION<TAB>CTEST_REGEX; '#' starts a comment line.
# Each line ends as caught, SURVIVED (no selected test failed), STALE (the substitution changed
# nothing) or NO BUILD (the mutant does not compile). Exit 0 when every line was caught.
set -u

usage() {
  sed -n 2,13p "$0" >&2
  exit 2
}

only=
gui=ON
repo=$(cd "$(dirname "$0")/.." && pwd)
scratch=${TMPDIR:-/tmp}/fretlets-faults
while getopts 'k:nd:h' option; do
  case $option in
    k) only=$OPTARG ;;
    n) gui=OFF ;;
    d) scratch=$OPTARG ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))
[ $# -eq 0 ] || usage

list=$repo/tests/planted_faults.txt
tree=$scratch/tree
build=$scratch/build-gui-$gui
mkdir -p "$tree" "$build"
exec 9>"$scratch/lock"
flock 9

# Copy only what differs, so the scratch build stays incremental; drop what the work tree lost.
(cd "$repo" && git ls-files -co --exclude-standard) | sort >"$scratch/files"
while IFS= read -r f; do
  [ -f "$repo/$f" ] || continue
  if ! cmp -s "$repo/$f" "$tree/$f"; then
    mkdir -p "$tree/$(dirname "$f")"
    cp -p "$repo/$f" "$tree/$f"
    touch "$tree/$f"
  fi
done <"$scratch/files"
(cd "$tree" && find . -type f -printf '%P\n') | sort | comm -13 "$scratch/files" - |
  while IFS= read -r f; do rm -f "$tree/$f"; done

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFRETLETS_WERROR=OFF \
    -DFRETLETS_BENCH=OFF -DFRETLETS_GUI=$gui >"$build/configure.log" 2>&1 ||
    { tail -n 20 "$build/configure.log" >&2; exit 2; }
fi
jobs=$(nproc)
if ! cmake --build "$build" -j "$jobs" >"$build/build.log" 2>&1; then
  echo "the unchanged tree does not build:" >&2
  grep -m 5 'error' "$build/build.log" >&2
  exit 2
fi

declare -A count=([caught]=0 [SURVIVED]=0 [STALE]=0 [NO_BUILD]=0)
number=0
while IFS= read -r line || [ -n "$line" ]; do
  number=$((number + 1))
  case $line in '#'* | '') continue ;; esac
  IFS=$'\t' read -r file subst regex <<<"$line"
  if [ -z "${regex:-}" ]; then
    echo "line $number: not three TAB-separated fields" >&2
    exit 2
  fi
  [ -z "$only" ] || printf '%s\n' "$file" | grep -Eq -- "$only" || continue
  where="$file:$number"
  if [ ! -f "$tree/$file" ]; then
    outcome=STALE detail="no such file"
  else
    perl -0pi -e "$subst" "$tree/$file"
    if cmp -s "$repo/$file" "$tree/$file"; then
      outcome=STALE detail="changes nothing"
    elif ! cmake --build "$build" -j "$jobs" >"$build/build.log" 2>&1; then
      outcome="NO BUILD" detail=$(grep -m 1 'error' "$build/build.log")
    else
      out=$(cd "$build" && QT_QPA_PLATFORM=offscreen ctest -R "$regex" -j "$jobs" --timeout 120 2>&1)
      failed=$(printf '%s\n' "$out" | sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*$/\1/p' | tr '\n' ' ')
      if [ -n "$failed" ]; then
        outcome=caught detail="by $failed"
      elif printf '%s\n' "$out" | grep -q 'No tests were found'; then
        outcome=SURVIVED detail="no test matches '$regex'"
      else
        outcome=SURVIVED detail="$(printf '%s\n' "$out" | grep -o '[0-9]*% tests passed.*' | head -n 1)"
      fi
    fi
    cp "$repo/$file" "$tree/$file"
    touch "$tree/$file"
  fi
  count[${outcome// /_}]=$((count[${outcome// /_}] + 1))
  printf '%-9s %s  %s  (%s)\n' "$outcome" "$where" "$subst" "$detail"
done <"$list"

# Leave the scratch build matching the work tree for the next run.
cmake --build "$build" -j "$jobs" >"$build/build.log" 2>&1
total=$((count[caught] + count[SURVIVED] + count[STALE] + count[NO_BUILD]))
echo "$total planted: ${count[caught]} caught, ${count[SURVIVED]} SURVIVED," \
  "${count[STALE]} STALE, ${count[NO_BUILD]} NO BUILD"
[ "${count[caught]}" -eq "$total" ]
