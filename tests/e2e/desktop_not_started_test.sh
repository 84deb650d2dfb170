#!/usr/bin/env bash
# desktop_not_started_test.sh <e2e_tests> — a scenario whose desktop does not start (its sound
# server ends at once) fails with the reason, not a crash, and ends every process the desktop
# had started.
source "$(dirname "$0")/desktop_test_checks.sh"
scenarios=$1

mkdir -p "$work/bin"
printf '#!/bin/sh\necho "no sound today" >&2\nexit 1\n' >"$work/bin/pulseaudio"
chmod +x "$work/bin/pulseaudio"

PATH="$work/bin:$PATH" marked "$scenarios" --gtest_filter=Scenario.TheHourIsSpokenIntoTheSoundServer \
  >"$work/out" 2>&1
status=$?
cat "$work/out"
[ $status -eq 1 ] || fail "the scenario ended with status $status, not as a failed test (1)"
grep -q "the desktop did not start: pulseaudio did not start" "$work/out" ||
  fail "the failure does not say why"
grep -q "\[  FAILED  \] Scenario.TheHourIsSpokenIntoTheSoundServer" "$work/out" ||
  fail "the scenario is not reported failed"
expect_no_processes_left "the desktop that did not start"

[ $failures -eq 0 ] || exit 1
echo "the desktop that did not start failed its scenario and ended its processes"
