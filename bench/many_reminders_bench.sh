#!/usr/bin/env bash
# Vorlane started over a reminders.json of many reminders (80,000 by default, about the 16 MiB
# the store holds at most), under a private X server and session bus, its tray menu read over
# D-Bus by the tray driver standing in for the desktop's tray watcher. Prints, each timed from
# the step before it: the status item ready (launch to the icon registered), the menu opened
# and read (as a tray host does when the user clicks it), the first reminder's row opened and
# its "Edit..." clicked, CPU at rest over 60 s (two ticks of the coordinator at least) once the
# editor it opened is closed again, resident memory, and the quit (SIGTERM to the process
# gone). Each wait gives up after 120 s and prints ">120".
# Usage: bench/many_reminders_bench.sh <build folder> [reminders]
set -euo pipefail

build=${1:-build}
build=$(cd "$build" && pwd)
count=${2:-80000}
limit=120
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cmake --install "$build" --prefix "$work/prefix" --strip >/dev/null
program="$work/prefix/bin/vorlane"
tray_driver="$build/bench/vorlane_tray_driver"
[ -x "$tray_driver" ] || { echo "many_reminders_bench: $tray_driver is missing" >&2; exit 1; }

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }'; }
cpu_seconds() {
  awk -v hz="$(getconf CLK_TCK)" '{ sub(/^.*\) /, ""); print ($12 + $13) / hz }' "/proc/$1/stat"
}
# Waits up to the limit for the command after it to succeed.
wait_for() {
  for _ in $(seq $((limit * 10))); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
# The reminder editor's window while it shows, by its title.
find_editor() {
  editor=$(xdotool search --all --onlyvisible --pid "$app" --name '^Edit reminder$' 2>/dev/null |
    head -1)
  [ -n "$editor" ]
}
editor_gone() { ! xdotool search --onlyvisible --pid "$app" 2>/dev/null | grep -qx "$editor"; }

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
mkdir -p -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" TZ=UTC LC_ALL=C.UTF-8 PULSE_SERVER="unix:$work/no-pulse"
unset JOURNAL_STREAM WAYLAND_DISPLAY
mkfifo "$work/display" "$work/bus"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
read -r number <"$work/display"
export DISPLAY=":$number"
dbus-daemon --session --nofork --print-address=3 3>"$work/bus" >/dev/null 2>&1 &
pids+=($!)
read -r DBUS_SESSION_BUS_ADDRESS <"$work/bus"
export DBUS_SESSION_BUS_ADDRESS

# A first launch, with no reminders and no tray watcher yet, stores the welcome as shown.
"$program" 2>"$work/first.log" &
first=$!
for _ in $(seq 600); do
  grep -qs '"hasCompletedOnboarding":true' "$XDG_CONFIG_HOME/vorlane/preferences.json" && break
  sleep 0.1
done
kill -TERM "$first"
wait "$first" || true

coproc driver { "$tray_driver" 2>"$work/driver.log"; }
pids+=($driver_PID)
tray() {
  local answer
  echo "$*" >&"${driver[1]}"
  read -r -t "$limit" answer <&"${driver[0]}" || answer="no answer"
  echo "$answer"
}
read -r -t 30 line <&"${driver[0]}" && [ "$line" = ready ] ||
  { echo "many_reminders_bench: the tray driver did not start" >&2; exit 1; }

# A third each of one-off times, countdowns and daily times.
mkdir -p "$XDG_DATA_HOME/Vorlane"
python3 - "$count" "$XDG_DATA_HOME/Vorlane/reminders.json" <<'EOF'
import json, sys, time, uuid
count, path = int(sys.argv[1]), sys.argv[2]
reference = time.time() - 978307200  # seconds since 2001-01-01
rows = []
for i in range(count):
    if i % 3 == 0:
        trigger = {"oneOff": {"_0": reference + 86400 + i}}
    elif i % 3 == 1:
        trigger = {"countdown": {"_0": 86400.0 + i}}
    else:
        trigger = {"recurring": {"_0": {"days": {"daily": {}}, "hour": i % 24, "minute": i % 60}}}
    rows.append({"id": str(uuid.uuid4()).upper(), "phrase": f"Water the plants on the balcony, box {i}",
                 "trigger": trigger, "createdAt": reference})
with open(path, "w") as f:
    json.dump(rows, f)
EOF
size=$(du -k "$XDG_DATA_HOME/Vorlane/reminders.json" | cut -f1)

launched=$(now)
"$program" 2>"$work/vorlane.log" &
app=$!
pids+=($app)
answer=$(tray wait)
if [[ $answer == item* ]]; then ready=$(since "$launched"); else ready=">$limit"; fi
step=$(now)
answer=$(tray labels)
if [[ $answer == labels* ]]; then menu=$(since "$step"); else menu=">$limit"; fi
rows=$(grep -o 'Reminders ([^)]*)' <<<"$answer" | head -1 || true)
step=$(now)
# The first reminder's row, its phrase isolated as the menu writes it: its editor opens.
first_row=$(printf '\u2068Water the plants on the balcony, box 0\u2069*')
row=$(tray "choose Reminders* > $first_row > Edit...")
row_time=$(since "$step")
[[ $row == ok* || $row == disabled* ]] || row_time="- ($row)"
# The editor closed as its keyboard closes it, and gone, so that the rest sampled below is the
# program's alone, as with none stored.
at_rest=yes
if [[ $row == ok* ]]; then
  if ! wait_for find_editor; then
    echo "many_reminders_bench: Edit... showed no editor" >&2
    at_rest=no
  else
    xdotool windowfocus --sync "$editor" key Escape
    if ! wait_for editor_gone; then
      echo "many_reminders_bench: the reminder editor did not close" >&2
      at_rest=no
    fi
  fi
fi
sleep 5
rest_seconds=60
rest="- (a window stayed open)"
if [ "$at_rest" = yes ]; then
  before=$(cpu_seconds "$app")
  sleep "$rest_seconds"
  rest=$(awk -v a="$before" -v b="$(cpu_seconds "$app")" -v s="$rest_seconds" \
    'BEGIN { printf "%.2f", (b - a) / s * 100 }')
fi
rss=$(awk '/^VmRSS:/ { printf "%.0f", $2 / 1024 }' "/proc/$app/status")
step=$(now)
kill -TERM "$app"
quit=">$limit"
for _ in $(seq $((limit * 20))); do
  if ! kill -0 "$app" 2>/dev/null; then quit=$(since "$step"); break; fi
  sleep 0.05
done
wait "$app" 2>/dev/null || true

printf '%s reminders (%s KiB stored), menu entry "%s"\n' "$count" "$size" "$rows"
printf '%-34s %s\n' "status item ready (s)" "$ready" "menu opened and read (s)" "$menu" \
  "a reminder's row opened (s)" "$row_time" "CPU at rest, 60 s (% of a core)" "$rest" \
  "resident memory (MB)" "$rss" "quit (s)" "$quit"
