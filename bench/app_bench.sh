#!/usr/bin/env bash
# Vorlane against a bare translucent window of the same size, in the same run, each under its
# own private X server (Xvfb, openbox, xcompmgr, trayer) and session bus: start-up time (to
# the tray icon; the bare window to its window), CPU and thread wake-ups while idle peeking
# for 60 s, CPU over the hourly visit (the clock placed by libfaketime so that the hour comes
# right after the idle period), resident and proportional memory, and resident memory after
# each hour of a day from 08:55 to 21:05 run 360 times faster (the first hour's visit loads
# what every visit uses; growth after it is the figure to watch). Prints each pair and their
# ratio.
# Usage: bench/app_bench.sh <build folder>
set -euo pipefail

build=${1:-build}
build=$(cd "$build" && pwd)
idle_seconds=${VORLANE_BENCH_IDLE:-60}
settle_seconds=5
visit_seconds=40
faketime_library=/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
program="$work/prefix/bin/vorlane"
bare="$build/bench/vorlane_bare_window"
[ -x "$bare" ] || { echo "app_bench: $bare is missing" >&2; exit 1; }
[ -e "$faketime_library" ] || { echo "app_bench: libfaketime is missing" >&2; exit 1; }

ticks_per_second=$(getconf CLK_TCK)
# utime + stime of a process, in seconds.
cpu_seconds() {
  awk -v hz="$ticks_per_second" '{ sub(/^.*\) /, ""); print ($12 + $13) / hz }' "/proc/$1/stat"
}
# Context switches of all its threads: each one a wake-up.
wakeups() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { n += $2 } END { print n }'; }
now() { date +%s.%N; }
# The visible windows of a process, largest last, as "area id" lines.
windows_of() {
  for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    xdotool getwindowgeometry --shell "$w" | awk -F= -v w="$w" \
      '/^WIDTH/ { x = $2 } /^HEIGHT/ { y = $2 } END { print x * y, w }'
  done | sort -n
}
# Whether the process shows a tray-icon-sized window (the tray embeds it).
has_tray_icon() { windows_of "$1" | awk '$1 > 0 && $1 <= 64 * 64 { found = 1 } END { exit !found }'; }
# Rss and Pss in KiB.
memory() { awk '/^Rss:/ { r = $2 } /^Pss:/ { p = $2 } END { print r, p }' "/proc/$1/smaps_rollup"; }
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local limit=$1
  shift
  for _ in $(seq $((limit * 10))); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# Starts a private desktop; sets DISPLAY and DBUS_SESSION_BUS_ADDRESS.
start_desktop() {
  mkfifo "$work/display.$1" "$work/bus.$1"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display.$1" >/dev/null 2>&1 &
  pids+=($!)
  read -r number <"$work/display.$1"
  export DISPLAY=":$number"
  dbus-daemon --session --nofork --print-address=3 3>"$work/bus.$1" >/dev/null 2>&1 &
  pids+=($!)
  read -r DBUS_SESSION_BUS_ADDRESS <"$work/bus.$1"
  export DBUS_SESSION_BUS_ADDRESS
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
  wait_for 30 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
  xcompmgr >/dev/null 2>&1 &
  pids+=($!)
  trayer --edge top --align left --widthtype request --height 24 >/dev/null 2>&1 &
  pids+=($!)
  wait_for 30 sh -c 'xdotool search --class trayer | grep -q .'
  sleep 1
}

# Measures one process: idle CPU (% of one core), CPU seconds over the visit window, memory.
measure() {
  local pid=$1
  sleep "$settle_seconds"
  local start idle before after woken
  start=$(cpu_seconds "$pid")
  woken=$(wakeups "$pid")
  sleep "$idle_seconds"
  idle=$(cpu_seconds "$pid")
  woken=$(( ($(wakeups "$pid") - woken) * 60 / idle_seconds ))
  before=$idle
  sleep "$visit_seconds"
  after=$(cpu_seconds "$pid")
  read -r rss pss < <(memory "$pid")
  echo "$(awk -v a="$start" -v b="$idle" -v s="$idle_seconds" 'BEGIN { print (b - a) / s * 100 }')" \
       "$(awk -v a="$before" -v b="$after" 'BEGIN { print b - a }')" "$rss" "$pss" "$woken"
}

# Vorlane: welcomed already, peeking, in its own home.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
# A runtime folder of its own: a Vorlane the user is running holds the one in theirs.
mkdir -p -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
export TZ=UTC LC_ALL=C.UTF-8 PULSE_SERVER="unix:$work/no-pulse"
unset JOURNAL_STREAM WAYLAND_DISPLAY
start_desktop vorlane
# A first launch stores the welcome as shown; the measured one is the second.
"$program" 2>"$work/first.log" &
first=$!
wait_for 60 grep -q '"hasCompletedOnboarding":true' "$XDG_CONFIG_HOME/vorlane/preferences.json" ||
  { echo "app_bench: the first launch stored nothing:" >&2; cat "$work/first.log" >&2; exit 1; }
kill -TERM "$first"
wait "$first" || true

# The ticker looks every 30 s from the start; the hour falls just before the look that comes
# after the idle period, so that look starts the visit inside the visit window.
first_tick_after_idle=$(( (settle_seconds + idle_seconds) / 30 * 30 + 30 ))
lead=$((first_tick_after_idle - 5))
fake_start=$(date -u -d "2025-06-02 11:00:00 $lead seconds ago" '+%Y-%m-%d %H:%M:%S')
launched=$(now)
LD_PRELOAD="$faketime_library" FAKETIME="@$fake_start" DONT_FAKE_MONOTONIC=1 \
  "$program" 2>"$work/vorlane.log" &
app=$!
pids+=($app)
until has_tray_icon "$app"; do
  sleep 0.05
  kill -0 "$app" 2>/dev/null || { echo "app_bench: Vorlane ended:" >&2; cat "$work/vorlane.log" >&2; exit 1; }
done
app_start=$(awk -v a="$launched" -v b="$(now)" 'BEGIN { print b - a }')
if ! wait_for 30 sh -c "xdotool search --onlyvisible --pid $app | grep -q ."; then
  echo "app_bench: Vorlane showed no window:" >&2
  cat "$work/vorlane.log" >&2
  exit 1
fi
read -r app_idle app_visit app_rss app_pss app_wakeups < <(measure "$app")
window=$(windows_of "$app" | tail -1 | cut -d' ' -f2)
size=$(xdotool getwindowgeometry --shell "$window" 2>/dev/null |
  awk -F= '/^WIDTH/ { w = $2 } /^HEIGHT/ { h = $2 } END { print w, h }' || true)
[ -n "${size// /}" ] || { echo "app_bench: no size for Vorlane's window" >&2; exit 1; }
if ! grep -q "performing visit scheduled for 2025-06-02 11:00:00" "$work/vorlane.log"; then
  echo "app_bench: the visit did not come in its window; its figure is idle time:" >&2
  cat "$work/vorlane.log" >&2
fi
kill -TERM "$app"

# The day, compressed: every clock of the program runs 360 times faster (Qt's timers too).
# Its hours are placed from the program's launch, not from when a visit was first seen: the
# end is 21:05 however soon or late the first visit came.
day_start=$(TZ=Europe/Berlin date -d "2026-03-29 08:55:00" +%s)
day_launched=$(now)
TZ=Europe/Berlin LD_PRELOAD="$faketime_library" FAKETIME="$((day_start - $(date +%s))) x360" \
  "$program" 2>"$work/day.log" &
day=$!
pids+=($day)
# Sleeps until the program's clock shows $1 (HH:MM, the same day).
until_day_time() {
  local at
  at=$(awk -v l="$day_launched" -v s="$(TZ=Europe/Berlin date -d "2026-03-29 $1" +%s)" \
    -v d="$day_start" 'BEGIN { printf "%.3f", l + (s - d) / 360 }')
  while awk -v t="$at" -v n="$(now)" 'BEGIN { exit !(n < t) }'; do sleep 0.1; done
}
wait_for 30 sh -c "xdotool search --onlyvisible --pid $day | grep -q ."
day_cpu_start=$(cpu_seconds "$day")
# Resident memory two faked minutes past each hour: the first visit loads the voice and the
# scene, so growth is what comes after it.
day_rss_hours=()
for hour in $(seq 9 21); do
  until_day_time "$hour:02"
  read -r rss _ < <(memory "$day")
  day_rss_hours+=("$rss")
done
until_day_time "21:05"
# A loaded machine may run the program's clock behind the script's: 21:00 (19:00 UTC) is waited for.
wait_for 30 grep -q "performing visit scheduled for 2026-03-29 19:00:00 +0000" "$work/day.log" || true
read -r day_rss_end _ < <(memory "$day")
day_rss_start=${day_rss_hours[0]}
day_rss_midday=${day_rss_hours[6]}
day_visits=$(grep -c "performing visit" "$work/day.log" || true)
day_hours=$(grep -c "performing visit scheduled for .*:00:00 +0000" "$work/day.log" || true)
day_cpu_visit=$(awk -v a="$day_cpu_start" -v b="$(cpu_seconds "$day")" -v n="$day_visits" \
  'BEGIN { print (n > 0 ? (b - a) / n : 0) }')
kill -TERM "$day"

start_desktop bare
launched=$(now)
"$bare" $size >/dev/null 2>&1 &
base=$!
pids+=($base)
wait_for 30 sh -c "xdotool search --onlyvisible --pid $base | grep -q ."
bare_start=$(awk -v a="$launched" -v b="$(now)" 'BEGIN { print b - a }')
read -r bare_rss_start _ < <(memory "$base")
read -r bare_idle bare_visit bare_rss bare_pss bare_wakeups < <(measure "$base")

# row <name> <Vorlane> <bare> <printf format of the figures>
row() { awk -v n="$1" -v a="$2" -v b="$3" -v f="$4" \
  'BEGIN { printf "%-32s " f " " f " %8s\n", n, a, b, (b > 0 ? sprintf("%.2f", a / b) : "-") }'; }
echo "window ${size/ /x}"
printf '%-32s %12s %12s %8s\n' "" "Vorlane" "bare" "ratio"
row "start-up to tray/window (s)" "$app_start" "$bare_start" "%12.2f"
row "idle CPU (% of one core)" "$app_idle" "$bare_idle" "%12.4f"
row "idle wake-ups per minute" "$app_wakeups" "$bare_wakeups" "%12d"
row "visit CPU (s over ${visit_seconds} s)" "$app_visit" "$bare_visit" "%12.2f"
row "resident memory (KiB)" "$app_rss" "$bare_rss" "%12d"
row "proportional memory (KiB)" "$app_pss" "$bare_pss" "%12d"
row "day: CPU per visit (s)" "$day_cpu_visit" "0" "%12.3f"
row "day: resident after 09:00 (KiB)" "$day_rss_start" "$bare_rss_start" "%12d"
row "day: resident after 15:00 (KiB)" "$day_rss_midday" "$bare_rss" "%12d"
row "day: resident at end (KiB)" "$day_rss_end" "$bare_rss" "%12d"
echo "day: resident after each hour 09-21 (KiB): ${day_rss_hours[*]}"
awk -v a="$day_rss_start" -v m="$day_rss_midday" -v e="$day_rss_end" 'BEGIN {
  printf "day: growth 09:00-15:00 %+d KiB, 15:00-21:05 %+d KiB\n", m - a, e - m }'
echo "day: $day_visits visits from 08:55 to 21:05, $day_hours of them on the hour (13 expected)"
awk -v a="$app_idle" -v b="$bare_idle" -v r="$app_rss" -v s="$bare_rss" 'BEGIN {
  printf "targets: idle CPU within 0.05%% of the bare window: %s; resident at most 1.6x: %s\n",
    (a - b <= 0.05 ? "met" : "missed"), (r <= 1.6 * s ? "met" : "missed") }'
