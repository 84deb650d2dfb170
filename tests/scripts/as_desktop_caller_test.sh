#!/usr/bin/env bash
# as_desktop_caller_test.sh <scripts/as-desktop-caller> — the pretend session's command gets
# its variables and its status through; a write into any of its folders or a use of its bus
# fails the run and is named; it leaves no folder or process behind, also under another one.
source "$(dirname "$0")/script_checks.sh"
script=$1
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
