#!/usr/bin/env bash
# from_desktop_caller_test.sh <scripts/as-desktop-caller> <e2e_tests> — scenarios with the
# sound server, the calendar service, and openbox with the tray, run from a pretend desktop
# session (its bus, folders, Wayland settings): they pass as on a bare machine, nothing is
# written into the caller's home or folders, nothing uses the caller's bus, and nothing of
# theirs runs on afterwards.
source "$(dirname "$0")/desktop_test_checks.sh"
caller=$1
scenarios=$2

filter='Scenario.TheHourIsSpokenIntoTheSoundServer'
filter+=':Scenario.ReopeningTheStatusMenuLetsGoOfTheEntriesItShowedBefore'
filter+=':CalendarFocusScenario.AMeetingInTheCalendarServiceLeavesRoomForAFocusThatStarts'
# The calendar service's scenario is built only where the service is installed.
expected=3
"$scenarios" --gtest_list_tests --gtest_filter="$filter" | grep -q AMeetingInTheCalendarService ||
  expected=2

marked bash "$caller" "$scenarios" --gtest_filter="$filter" >"$work/out" 2>&1
status=$?
cat "$work/out"
[ $status -eq 0 ] || fail "the scenarios from a desktop session ended with status $status"
grep -q "\[  PASSED  \] $expected tests\." "$work/out" ||
  fail "not all $expected scenarios passed"
expect_no_processes_left "the scenarios"

[ $failures -eq 0 ] || exit 1
echo "the scenarios ran from a desktop session as on a bare machine"
