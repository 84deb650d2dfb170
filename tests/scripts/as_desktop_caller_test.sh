#!/usr/bin/env bash
# as_desktop_caller_test.sh <scripts/as-desktop-caller> <ctest> — the pretend session's command
# gets its variables and its status through, and its output on each stream; a write into any
# of its folders, a use of its bus, or a run of no test (a ctest with none to find, a test
# program whose filter matched none) fails the run and is named; it leaves no folder or
# process behind, also under another one.
source "$(dirname "$0")/script_checks.sh"
script=$1
ctest=$2
export TMPDIR=$work

run() {  # run NAME COMMAND...: the status, with the output kept in $work/NAME
  local name=$1
  shift
  bash "$script" "$@" >"$work/$name" 2>&1
}

run quiet sh -c 'test "$QT_QPA_PLATFORM" = wayland && test -d "$HOME" && test -n "$DBUS_SESSION_BUS_ADDRESS"' ||
  fail "the command did not find the session's variables: $(cat "$work/quiet")"
run status sh -c 'exit 7'
[ $? -eq 7 ] || fail "the command's status did not come through"
run nested bash "$script" true || fail "a pretend session under another was not left alone: $(cat "$work/nested")"
bash "$script" sh -c 'echo said; echo warned >&2' >"$work/streams.out" 2>"$work/streams.err"
[ "$(cat "$work/streams.out")" = said ] && [ "$(cat "$work/streams.err")" = warned ] ||
  fail "the command's output did not come through on its own streams"

# ctest where it finds no test (outside the build folder, or with a label that names none)
# ends with status 0 as if all had passed.
mkdir "$work/no-tests" "$work/tests"
printf 'add_test(passes true)\nset_tests_properties(passes PROPERTIES LABELS e2e)\n' \
  >"$work/tests/CTestTestfile.cmake"
run ctest-tests "$ctest" --test-dir "$work/tests" -L e2e ||
  fail "a ctest that ran its test failed: $(cat "$work/ctest-tests")"
for run in "no-tests:--test-dir $work/no-tests" "no-label:--test-dir $work/tests -L x11"; do
  # shellcheck disable=SC2086
  run "ctest-${run%%:*}" "$ctest" ${run#*:} && fail "a ctest that ran no test passed (${run%%:*})"
  grep -q "ran no test" "$work/ctest-${run%%:*}" ||
    fail "the run of no test is not said: $(cat "$work/ctest-${run%%:*}")"
done
run gtest-none sh -c 'echo "[==========] 0 tests from 0 test suites ran. (0 ms total)"' &&
  fail "a test program that ran no test passed"
run gtest-some sh -c 'echo "[==========] 3 tests from 1 test suite ran. (5 ms total)"' ||
  fail "a test program that ran its tests failed: $(cat "$work/gtest-some")"

for variable in HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_STATE_HOME XDG_RUNTIME_DIR; do
  run "write-$variable" sh -c "mkdir -p \"\$$variable/app\"" && fail "a write into \$$variable passed"
  grep -q "app" "$work/write-$variable" || fail "the write into \$$variable is not named"
done
run bus dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
  org.freedesktop.DBus.ListNames && fail "a use of the session's bus passed"
grep -q "1 program(s) connected to the caller's session bus" "$work/bus" ||
  fail "the use of the bus is not said: $(cat "$work/bus")"

left=$(find "$work" -maxdepth 1 -name 'vorlane-desktop-caller-*')
[ -z "$left" ] || fail "scratch folders left: $left"
pgrep -f "unix:path=$work/" >/dev/null && fail "a bus or monitor of the script still runs"

[ $failures -eq 0 ] || exit 1
echo "as-desktop-caller says what used the pretend session"
