#!/usr/bin/env bash
# desktop_tests_under_load_test.sh <scripts/desktop-tests-under-load> — the failure counts
# over several runs, read from what ctest prints, and that no busy process outlives the script.
# A fake ctest stands in: it lists two desktop tests, one with a parameter's value after its
# name (left out of the table), and fails a different set on each run.
source "$(dirname "$0")/script_checks.sh"
script=$1

mkdir -p "$work/bin" "$work/build"
touch "$work/build/CTestTestfile.cmake"
cat >"$work/bin/ctest" <<'FAKE'
#!/usr/bin/env bash
if [ "$1" = -N ]; then
  printf 'Test project %s\n  Test #4: Scenario.ADayOut\n  Test #9: Tray/TrayTest.Shown/0  # GetParam() = 8-byte object <1C-AB 00-00>\n\nTotal Tests: 2\n' "$PWD"
  exit 0
fi
[ -n "${FAKE_CTEST_HANG:-}" ] && exec sleep 60
echo x >>"$FAKE_CTEST_RUNS"
run=$(wc -l <"$FAKE_CTEST_RUNS")
case $run in
  1) printf '\n50%% tests passed, 1 tests failed out of 2\n\nThe following tests FAILED:\n\t  9 - Tray/TrayTest.Shown/0  # GetParam() = 8-byte object <1C-AB 00-00> (Timeout)\n'
     echo "Errors while running CTest" >&2; exit 8 ;;
  2) printf '\n0%% tests passed, 2 tests failed out of 2\n\nThe following tests FAILED:\n\t  4 - Scenario.ADayOut (Failed)\n\t  9 - Tray/TrayTest.Shown/0  # GetParam() = 8-byte object <1C-AB 00-00> (Subprocess aborted)\n'
     echo "Errors while running CTest" >&2; exit 8 ;;
  *) printf '\n100%% tests passed, 0 tests failed out of 2\n' ;;
esac
FAKE
chmod +x "$work/bin/ctest"
export PATH="$work/bin:$PATH" FAKE_CTEST_RUNS="$work/runs"

# The busy processes of the script with this process id, still running.
busy_of() {
  pgrep -f "while kill -0 $1 " || true
}

status=0
bash "$script" -b 2 -j 1 3 "$work/build" >"$work/out" 2>&1 &
pid=$!
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "three runs: exit status $status"$'\n'"$(cat "$work/out")"
for line in 'run 1/3: 1 of 2 failed' 'run 2/3: 2 of 2 failed' 'run 3/3: 0 of 2 failed' \
    '   2  Tray/TrayTest.Shown/0' '   1  Scenario.ADayOut'; do
  grep -qxE "${line} ?(\([0-9]+ s\))?" "$work/out" || fail "three runs: no line \"$line\" in:"$'\n'"$(cat "$work/out")"
done
# Most failures first.
[ "$(tail -n 2 "$work/out" | head -n 1)" = '   2  Tray/TrayTest.Shown/0' ] ||
  fail "three runs: the most failing test is not listed first"
[ -f "$work/build/Testing/under-load/run-2.log" ] || fail "three runs: ctest's output is not kept"
[ -z "$(busy_of "$pid")" ] || fail "three runs: busy processes left running"

# Stopped while ctest runs: the busy processes and ctest end with it.
FAKE_CTEST_HANG=1 bash "$script" -b 2 -j 1 1 "$work/build" >"$work/out" 2>&1 &
pid=$!
ctest_pid=
for _ in $(seq 100); do
  ctest_pid=$(pgrep -f "^sleep 60$" -P "$pid" || true)
  [ "$(busy_of "$pid" | wc -l)" -eq 2 ] && [ -n "$ctest_pid" ] && break
  sleep 0.1
done
[ "$(busy_of "$pid" | wc -l)" -eq 2 ] || fail "stopped: not two busy processes while running"
[ -n "$ctest_pid" ] || fail "stopped: ctest did not start"
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 143 ] || fail "stopped: exit status $status, wanted 143"
# They end once they hear of it: waited for, a while at most.
for _ in $(seq 100); do
  [ -z "$(busy_of "$pid")" ] && { [ -z "$ctest_pid" ] || ! kill -0 "$ctest_pid" 2>/dev/null; } && break
  sleep 0.1
done
[ -z "$(busy_of "$pid")" ] || fail "stopped: busy processes left running"
if [ -n "$ctest_pid" ] && kill -0 "$ctest_pid" 2>/dev/null; then
  kill "$ctest_pid"
  fail "stopped: ctest left running"
fi

# A ctest failure that names no test is not counted as a clean run.
cat >"$work/bin/ctest" <<'FAKE'
#!/usr/bin/env bash
[ "$1" = -N ] && { printf '  Test #1: Scenario.ADayOut\n'; exit 0; }
echo "Segmentation fault"; exit 139
FAKE
status=0
bash "$script" -b 0 1 "$work/build" >"$work/out" 2>&1 || status=$?
[ "$status" -eq 1 ] && grep -q "failed without naming a test" "$work/out" ||
  fail "ctest crashed: status $status"$'\n'"$(cat "$work/out")"

# Arguments that are not numbers, and a folder that is no build tree.
bash "$script" many "$work/build" >/dev/null 2>&1 && fail "a run count that is not a number is taken"
bash "$script" 1 "$work/bin" >/dev/null 2>&1 && fail "a folder without tests is taken as a build tree"

exit $((failures > 0))
