#!/usr/bin/env bash
# Plants every fault of tests/planted_faults.txt, one at a time, in a scratch copy of the work
# tree, builds it and runs the tests that must catch it; the work tree itself is never touched.
#
#   tools/plant_faults.sh [-k FILE_REGEX] [-t TEST_REGEX] [-n] [-d SCRATCH]
#     -k  only the lines whose file matches FILE_REGEX (grep -E)
#     -t  only the lines whose test regex mentions a test matching TEST_REGEX (grep -E)
#     -n  build without the windows (-DFRETLETS_GUI=OFF) when no selected line needs them
#     -d  scratch folder (default ${TMPDIR:-/tmp}/fretlets-faults)
#
# A line is FILE<TAB>PERL_SUBSTITUTION<TAB>CTEST_REGEX; '#' starts a comment. Each line ends
# caught, SURVIVED (no test failed), STALE (nothing changed) or NO BUILD; exit 1 unless all caught.
set -u
only= tests= gui=ON scratch=${TMPDIR:-/tmp}/fretlets-faults
while getopts 'k:t:nd:' option; do
  case $option in
    k) only=$OPTARG ;;
    t) tests=$OPTARG ;;
    n) gui=OFF ;;
    d) scratch=$OPTARG ;;
    *) sed -n 2,12p "$0" >&2; exit 2 ;;
  esac
done
repo=$(cd "$(dirname "$0")/.." && pwd)
tree=$scratch/tree build=$scratch/build-gui-$gui jobs=$(nproc)
mkdir -p "$tree" "$build"
exec 9>"$scratch/lock"
flock 9

# Copy only what differs, so the scratch build stays incremental; drop what the work tree lost.
(cd "$repo" && git ls-files -co --exclude-standard) | sort >"$scratch/files"
while IFS= read -r f; do
  if [ -f "$repo/$f" ] && ! cmp -s "$repo/$f" "$tree/$f"; then
    mkdir -p "$tree/$(dirname "$f")" && cp "$repo/$f" "$tree/$f"
  fi
done <"$scratch/files"
(cd "$tree" && find . -type f -printf '%P\n') | sort | comm -13 "$scratch/files" - |
  while IFS= read -r f; do rm -f "$tree/$f"; done

build() { cmake --build "$build" -j "$jobs" >"$build/build.log" 2>&1; }
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFRETLETS_WERROR=OFF \
    -DFRETLETS_BENCH=OFF -DFRETLETS_GUI=$gui >"$build/configure.log" 2>&1 ||
    { tail -n 20 "$build/configure.log" >&2; exit 2; }
fi
build || { echo "the unchanged tree does not build:" >&2; grep -m 5 error "$build/build.log" >&2; exit 2; }

declare -A count=([caught]=0 [SURVIVED]=0 [STALE]=0 [NO BUILD]=0)
number=0
while IFS= read -r line || [ -n "$line" ]; do
  number=$((number + 1))
  case $line in '#'* | '') continue ;; esac
  IFS=$'\t' read -r file subst regex <<<"$line"
  [ -n "${regex:-}" ] || { echo "line $number: not three TAB-separated fields" >&2; exit 2; }
  [ -z "$only" ] || printf '%s\n' "$file" | grep -Eq -- "$only" || continue
  [ -z "$tests" ] || printf '%s\n' "$regex" | tr '|' '\n' | grep -Eq -- "$tests" || continue
  if [ ! -f "$tree/$file" ]; then
    outcome=STALE detail="no such file"
  else
    perl -0pi -e "$subst" "$tree/$file"
    if cmp -s "$repo/$file" "$tree/$file"; then
      outcome=STALE detail="changes nothing"
    elif ! build; then
      outcome="NO BUILD" detail=$(grep -m 1 error "$build/build.log")
    else
      out=$(cd "$build" && QT_QPA_PLATFORM=offscreen ctest -R "$regex" -j "$jobs" --timeout 120 2>&1)
      # ctest lists each failure as TAB, number, " - ", name, then "(Failed)"; a parameterised
      # name is followed by "# GetParam() = ..." first.
      failed=$(printf '%s\n' "$out" |
        awk '/tests FAILED:/ { listed = 1; next } listed && $2 == "-" { print $3 }' | tr '\n' ' ')
      if [ -n "$failed" ]; then
        outcome=caught detail="by $failed"
      elif printf '%s\n' "$out" | grep -q 'No tests were found'; then
        outcome=SURVIVED detail="no test matches '$regex'"
      else
        outcome=SURVIVED detail=$(printf '%s\n' "$out" | grep -o '[0-9]*% tests passed.*')
      fi
    fi
    # A fresh time stamp makes the next build see the restored file.
    cp "$repo/$file" "$tree/$file" && touch "$tree/$file"
  fi
  count[$outcome]=$((${count[$outcome]} + 1))
  printf '%-9s %s:%s  %s  (%s)\n' "$outcome" "$file" "$number" "$subst" "$detail"
done <"$repo/tests/planted_faults.txt"

build
echo "${count[caught]} caught, ${count[SURVIVED]} SURVIVED, ${count[STALE]} STALE," \
  "${count[NO BUILD]} NO BUILD"
[ "${count[SURVIVED]}${count[STALE]}${count[NO BUILD]}" = 000 ]
