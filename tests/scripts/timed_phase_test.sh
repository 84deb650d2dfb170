#!/usr/bin/env bash
# timed_phase_test.sh <scripts/timed-phase> — what each phase reports, where the tests'
# phase line goes, and that a failing step still fails the run.
source "$(dirname "$0")/script_checks.sh"
timed_phase=$1

# expect <case> <wanted status> <wanted output, one pattern a line> -- <timed-phase arguments>
expect() {
  local case=$1 wanted_status=$2 wanted=$3
  shift 4
  local status=0
  bash "$timed_phase" "$@" >"$work/out" 2>&1 || status=$?
  if [ "$status" -ne "$wanted_status" ]; then
    fail "$case: exit status $status, wanted $wanted_status"
  fi
  if ! printf '%s\n' "$wanted" | diff <(sed -E 's/: [0-9]+ s/: N s/' "$work/out") - >"$work/diff"; then
    fail "$case: output differs (< got, > wanted):"
    cat "$work/diff" >&2
  fi
}

expect "a step that passes" 0 'built
phase build (Release): N s' -- 'build (Release)' 'echo built'

expect "a step that fails keeps its status" 3 'phase install: N s (failed)' -- install 'exit 3'

# What ctest prints, its error line on stderr; the tests' line goes in above the summary.
ctest_run='echo "1/2 Test #1: A.one ..........   Passed    0.01 sec"
echo "2/2 Test #2: B.two ..........***Failed    0.02 sec"
echo
echo "50% tests passed, 1 tests failed out of 2"
echo
echo "Total Test time (real) =   0.03 sec"
echo
echo "The following tests FAILED:"
echo "	  2 - B.two (Failed)"
echo "Errors while running CTest" >&2
exit 8'
expect "the summary stays last, the failure is kept" 8 '1/2 Test #1: A.one ..........   Passed    0.01 sec
2/2 Test #2: B.two ..........***Failed    0.02 sec

phase tests: N s (failed)
50% tests passed, 1 tests failed out of 2

Total Test time (real) =   0.03 sec

The following tests FAILED:
	  2 - B.two (Failed)
Errors while running CTest' -- --before-summary tests "$ctest_run"

expect "a passing run" 0 '1/1 Test #1: A.one ..........   Passed    0.01 sec

phase tests: N s
100% tests passed, 0 tests failed out of 1

Total Test time (real) =   0.01 sec' -- --before-summary tests 'echo "1/1 Test #1: A.one ..........   Passed    0.01 sec"
echo
echo "100% tests passed, 0 tests failed out of 1"
echo
echo "Total Test time (real) =   0.01 sec"'

expect "ctest that stops before its summary" 1 'No tests were found!!!
phase tests: N s (failed)' -- --before-summary tests 'echo "No tests were found!!!"; exit 1'

# The time is the step's own.
bash "$timed_phase" wait 'sleep 2' >"$work/out" 2>&1
if ! grep -qE '^phase wait: [23] s$' "$work/out"; then
  fail "a two-second step: $(cat "$work/out")"
fi

expect "no command" 2 'usage: timed-phase [--before-summary] NAME COMMAND' -- install

exit $((failures > 0))
