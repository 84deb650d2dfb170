#!/usr/bin/env bash
# run_each_once_test.sh <bench/run_each_once.sh> <tests/bench/sabotaged_bench.cpp's program> —
# the brief run passes a program whose benchmarks all run to their end, each family at its
# smallest arguments and a fixed number of iterations at one, and fails, saying why, on each
# way a benchmark goes wrong.
source "$(dirname "$0")/../scripts/script_checks.sh"
run_each_once=$1
program=$2

# run <sabotage>: the brief run's output in $work/out, its exit status in $status.
run() {
  status=0
  VORLANE_SABOTAGE=$1 bash "$run_each_once" "$program" >"$work/out" 2>&1 || status=$?
}
# holds <case> <pattern>... / lacks <case> <pattern>...: the output has a line matching each
# pattern / none.
holds() {
  local case=$1 pattern
  shift
  for pattern in "$@"; do
    grep -qE -- "$pattern" "$work/out" || fail "$case: no line matches '$pattern'"
  done
}
lacks() {
  local case=$1 pattern
  shift
  for pattern in "$@"; do
    ! grep -qE -- "$pattern" "$work/out" || fail "$case: a line matches '$pattern'"
  done
}

# expect <case> <sabotage> <wanted status>, then patterns after "holds" and after "lacks".
expect() {
  local case=$1 before=$failures
  run "$2"
  [ "$status" -eq "$3" ] || fail "$case: exit status $status, wanted $3"
  shift 3
  local check=holds
  for pattern in "$@"; do
    case $pattern in
      holds | lacks) check=$pattern ;;
      *) "$check" "$case" "$pattern" ;;
    esac
  done
  [ "$failures" -eq "$before" ] || cat "$work/out" >&2
}

expect "all to their end" none 0 holds '^BM_Sized/8 ' '^BM_Fixed/iterations:1 ' \
  '^BM_Sabotaged ' '^BM_After ' lacks '^BM_Sized/(64|1000) ' 'iterations:1000000'
expect "an abort" abort 1 holds 'ended with status 134'
expect "an exception" throw 1 holds 'ended with status 134'
expect "SkipWithError" error 1 holds 'reported errors' '^BM_Sabotaged: went wrong$'
expect "an exit with 0 midway" exit 1 holds 'reported nothing' '^BM_After$'

exit $((failures > 0))
