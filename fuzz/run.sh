#!/usr/bin/env bash
# Runs the libFuzzer harnesses of a KORVALEN_FUZZ build, one after the other,
# each on a copy of its seed corpus (the repository is never written to).
#
#   fuzz/run.sh BUILD_DIR --gate [NAME...]
#       What the test command runs, and gives the same answer for the same
#       code: every input kept under fuzz/regressions/<name>/ is replayed,
#       then each harness runs a fixed number of inputs (runs_for below) from
#       a fixed seed over its corpus.
#   fuzz/run.sh BUILD_DIR SECONDS [NAME...]
#       A long run: each harness SECONDS with a random seed, to find new
#       inputs. What it finds is kept, with its fix, under
#       fuzz/regressions/<name>/ (see README.md).
#
# Prints for each harness the executions per second and in total. Exits
# non-zero when any harness crashed, leaked, timed out, ran out of memory,
# broke a property or drew a sanitizer report; the input that did it is kept
# under BUILD_DIR/fuzz/artifacts/ and the run's log under BUILD_DIR/fuzz/logs/.
#
# The harnesses are the folders of fuzz/corpus/ (CMake refuses a harness
# without one); NAME... runs only those.
set -uo pipefail

usage() { echo "usage: $0 BUILD_DIR --gate [NAME...] | $0 BUILD_DIR SECONDS [NAME...]" >&2; exit 2; }
[ $# -ge 2 ] || usage
build=$1
mode=$2
shift 2
if [ "$mode" = --gate ]; then
  seconds=
else
  [[ $mode =~ ^[1-9][0-9]*$ ]] || usage
  seconds=$mode
fi
[ -d "$build" ] || { echo "$0: no build folder $build" >&2; exit 2; }
build=$(cd "$build" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

# The gate's inputs per harness: a few seconds each on one core of a small
# machine, with its sanitizers. The harnesses differ by a factor of 10 000 in
# speed (kept_map goes through a file, a decoder and a drawing per input).
runs_for() {
  case $1 in
    kept_map) echo 300 ;;
    dx_rows) echo 2000 ;;
    bmp_check | settings_reader) echo 20000 ;;
    *) echo 50000 ;;
  esac
}
# The gate's seed: any fixed number will do; changing it is changing the gate.
gate_seed=20261209

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
# A regression folder without its harness would silently never be replayed.
for folder in "$here"/regressions/*/; do
  [ -d "$folder" ] || continue
  [ -d "$here/corpus/$(basename "$folder")" ] || {
    echo "$0: fuzz/regressions/$(basename "$folder") names no harness" >&2
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
# Qt's hash tables otherwise take a random seed at each start, and with it
# the order of what is stored in them.
[ -n "$seconds" ] || export QT_HASH_SEED=0

stat() { sed -n "s/^stat::$1: *\([0-9][0-9]*\).*/\1/p" "$2" | tail -1; }

# A report that did not end the process still fails the run.
reported() { grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|libFuzzer)|runtime error:|property broken' "$1"; }

show_failure() {
  # The report itself, without the shadow memory map; then where the input
  # went.
  echo "-- from $1:"
  sed -n '/ERROR: \|runtime error:\|property broken/,$p' "$1" | grep -v '^  0x\|^Shadow\|^  [A-Z][a-z ]*: ' | head -40
  grep -E 'Test unit written to|Running: ' "$1" | tail -1
}

failed=()
summary=()
for name in "${names[@]}"; do
  log="$build/fuzz/logs/$name.log"
  options=(-rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/fuzz/artifacts/$name-")
  [ -f "$here/dict/$name.dict" ] && options+=(-dict="$here/dict/$name.dict")

  replayed=0
  if [ -z "$seconds" ] && [ -d "$here/regressions/$name" ]; then
    mapfile -t kept < <(find "$here/regressions/$name" -type f | sort)
    replayed=${#kept[@]}
    if [ "$replayed" -gt 0 ]; then
      # Each input run once, as named; a loaded machine gets a minute an
      # input before it counts as a hang.
      (cd "$work" && "$build/fuzz/$name" -timeout=60 -rss_limit_mb=2048 "${kept[@]}") >"$log.replay" 2>&1
      status=$?
      if [ $status -ne 0 ] || reported "$log.replay"; then
        failed+=("$name")
        show_failure "$log.replay"
        summary+=("$(printf '%-16s regression replay FAILED (exit %s)' "$name" "$status")")
        continue
      fi
    fi
  fi

  corpus="$work/corpus-$name"
  cp -R "$here/corpus/$name" "$corpus"
  if [ -n "$seconds" ]; then
    options+=(-max_total_time="$seconds" -timeout=10)
    echo "== $name: ${seconds} s"
  else
    # -use_cmp=0: the operands of comparisons that guide the mutations
    # include addresses, which differ from one run to the next; without them
    # the same seed makes nearly the same inputs (fuzz/README.md).
    options+=(-seed="$gate_seed" -runs="$(runs_for "$name")" -use_cmp=0 -timeout=60)
    echo "== $name: $replayed kept inputs, then $(runs_for "$name") runs from seed $gate_seed"
  fi
  (cd "$work" && "$build/fuzz/$name" "${options[@]}" "$corpus") >"$log" 2>&1
  status=$?

  execs=$(stat number_of_executed_units "$log")
  rate=$(stat average_exec_per_sec "$log")
  added=$(stat new_units_added "$log")
  rss=$(stat peak_rss_mb "$log")
  if reported "$log"; then
    [ $status -ne 0 ] || status=1
  fi
  if [ $status -eq 0 ]; then
    result=ok
  else
    result="FAILED (exit $status)"
    failed+=("$name")
    show_failure "$log"
  fi
  line=$(printf '%-16s %10s exec/s %12s executions %6s new inputs %6s MB peak  %s' \
    "$name" "${rate:-?}" "${execs:-?}" "${added:-?}" "${rss:-?}" "$result")
  echo "$line"
  summary+=("$line")
done

echo "== summary (${seconds:+$seconds s each}${seconds:-gate: seed $gate_seed})"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}; inputs in $build/fuzz/artifacts/, logs in $build/fuzz/logs/" >&2
  exit 1
fi
echo "no crash, leak, timeout or sanitizer report"
