#!/usr/bin/env bash
# Runs every libFuzzer harness of a KORVALEN_FUZZ build for SECONDS each, one
# after the other, on a copy of its seed corpus (the repository is never
# written to), and prints for each the executions per second and in total.
# Exits non-zero when any harness crashed, leaked, timed out, ran out of
# memory or drew a sanitizer report; the input that did it is kept under
# BUILD_DIR/fuzz/artifacts/ and the run's log under BUILD_DIR/fuzz/logs/.
#
#   fuzz/run.sh BUILD_DIR SECONDS [NAME...]
#
# The harnesses are the folders of fuzz/corpus/ (CMake refuses a harness
# without one); NAME... runs only those.
set -uo pipefail

usage() { echo "usage: $0 BUILD_DIR SECONDS [NAME...]" >&2; exit 2; }
[ $# -ge 2 ] || usage
build=$1
seconds=$2
shift 2
[[ $seconds =~ ^[1-9][0-9]*$ ]] || usage
[ -d "$build" ] || { echo "$0: no build folder $build" >&2; exit 2; }
build=$(cd "$build" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

if [ $# -gt 0 ]; then
  names=("$@")
else
  names=()
  for folder in "$here"/corpus/*/; do names+=("$(basename "$folder")"); done
fi
[ ${#names[@]} -gt 0 ] || { echo "$0: no harness found in $here/corpus" >&2; exit 2; }
for name in "${names[@]}"; do
  [ -d "$here/corpus/$name" ] || { echo "$0: no seed folder fuzz/corpus/$name" >&2; exit 2; }
  [ -x "$build/fuzz/$name" ] || {
    echo "$0: $build/fuzz/$name is not built; cmake --build $build --target korvalen_fuzzers" >&2
    exit 2
  }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/korvalen-fuzz.XXXXXX") || exit 2
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/fuzz/artifacts" "$build/fuzz/logs" "$work/tmp" "$work/runtime"
chmod 700 "$work/runtime"

# Every sanitizer report stops the run with an error, so that none can pass
# unnoticed; a caller's own settings come after ours and win.
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:symbolize=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
# The map harness draws text: no display, and no warning about the runtime
# folder on every start. Temporary files stay in the run's folder.
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$work/runtime"
export TMPDIR="$work/tmp"

stat() { sed -n "s/^stat::$1: *\([0-9][0-9]*\).*/\1/p" "$2" | tail -1; }

failed=()
summary=()
for name in "${names[@]}"; do
  corpus="$work/corpus-$name"
  cp -R "$here/corpus/$name" "$corpus"
  log="$build/fuzz/logs/$name.log"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$build/fuzz/artifacts/$name-")
  [ -f "$here/dict/$name.dict" ] && options+=(-dict="$here/dict/$name.dict")
  echo "== $name: ${seconds} s"
  (cd "$work" && "$build/fuzz/$name" "${options[@]}" "$corpus") >"$log" 2>&1
  status=$?

  execs=$(stat number_of_executed_units "$log")
  rate=$(stat average_exec_per_sec "$log")
  added=$(stat new_units_added "$log")
  rss=$(stat peak_rss_mb "$log")
  # A report that did not end the process still fails the run.
  if grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|libFuzzer)|runtime error:|property broken' "$log"; then
    [ $status -ne 0 ] || status=1
  fi
  if [ $status -eq 0 ]; then
    result=ok
  else
    result="FAILED (exit $status)"
    failed+=("$name")
    # The report itself, without the shadow memory map; then where the
    # input went.
    echo "-- from $log:"
    sed -n '/ERROR: \|runtime error:\|property broken/,$p' "$log" | grep -v '^  0x\|^Shadow\|^  [A-Z][a-z ]*: ' | head -40
    grep -E 'Test unit written to' "$log" | tail -1
  fi
  line=$(printf '%-16s %10s exec/s %12s executions %6s new inputs %6s MB peak  %s' \
    "$name" "${rate:-?}" "${execs:-?}" "${added:-?}" "${rss:-?}" "$result")
  echo "$line"
  summary+=("$line")
done

echo "== summary (${seconds} s each)"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}; inputs in $build/fuzz/artifacts/, logs in $build/fuzz/logs/" >&2
  exit 1
fi
echo "no crash, leak, timeout or sanitizer report"
