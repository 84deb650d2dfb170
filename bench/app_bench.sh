#!/usr/bin/env bash
# Vorlane against a bare translucent window of the same size, in the same run, each under its
# own private X server (Xvfb, openbox, xcompmgr) and session bus: CPU while idle peeking for
# 60 s, CPU during the on-demand visit (the hour arriving, the clock placed by faketime), and
# resident and proportional memory. Prints each pair and their ratio.
# Usage: bench/app_bench.sh <build folder>
set -euo pipefail

build=${1:-build}
build=$(cd "$build" && pwd)
idle_seconds=${VORLANE_BENCH_IDLE:-60}
visit_seconds=20
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

ticks_per_second=$(getconf CLK_TCK)
# utime + stime of a process, in seconds.
cpu_seconds() {
  awk -v hz="$ticks_per_second" '{ sub(/^.*\) /, ""); print ($12 + $13) / hz }' "/proc/$1/stat"
}
# Rss and Pss in KiB.
memory() { awk '/^Rss:/ { r = $2 } /^Pss:/ { p = $2 } END { print r, p }' "/proc/$1/smaps_rollup"; }

# Starts a private desktop; sets DISPLAY and DBUS_SESSION_BUS_ADDRESS.
start_desktop() {
  local fifo="$work/display.$1"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  pids+=($!)
  read -r number <"$fifo"
  export DISPLAY=":$number"
  dbus-daemon --session --nofork --print-address=3 3>"$fifo.bus" >/dev/null 2>&1 &
  pids+=($!)
  sleep 0.5
  export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$fifo.bus")
  openbox >/dev/null 2>&1 &
  pids+=($!)
  xcompmgr >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
}

# Measures one process: idle CPU, then CPU over the visit window, then memory.
measure() {
  local pid=$1
  sleep 5
  local start; start=$(cpu_seconds "$pid")
  sleep "$idle_seconds"
  local idle; idle=$(cpu_seconds "$pid")
  # The hour arrives 30 s after the idle period; the visit lasts about seven seconds.
  sleep 20
  local before; before=$(cpu_seconds "$pid")
  sleep "$visit_seconds"
  local after; after=$(cpu_seconds "$pid")
  read -r rss pss < <(memory "$pid")
  echo "$(awk -v a="$start" -v b="$idle" -v s="$idle_seconds" 'BEGIN { print (b - a) / s * 100 }')" \
       "$(awk -v a="$before" -v b="$after" 'BEGIN { print b - a }')" "$rss" "$pss"
}

# Vorlane: welcomed already, peeking, its clock placed so that the hour comes after the idle
# period and the settling time.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
start_desktop vorlane
# A first launch stores the welcome as shown; the measured one is the second.
env -u JOURNAL_STREAM "$program" 2>"$work/first.log" &
first=$!
sleep 3
kill -TERM "$first" 2>/dev/null || true
wait "$first" 2>/dev/null || true
offset=$((5 + idle_seconds + 10))
start=$(date -d "$(date +%Y-%m-%d) 10:00:00 $offset seconds ago" '+%Y-%m-%d %H:%M:%S')
DONT_FAKE_MONOTONIC=1 faketime -f "@$start" env -u JOURNAL_STREAM "$program" 2>"$work/vorlane.log" &
app=$!
pids+=($app)
sleep 2
if ! kill -0 "$app" 2>/dev/null; then
  echo "app_bench: Vorlane did not start:" >&2
  cat "$work/vorlane.log" >&2
  exit 1
fi
read -r app_idle app_visit app_rss app_pss < <(measure "$app")
size=$(xdotool search --pid "$app" --onlyvisible getwindowgeometry --shell 2>/dev/null |
  awk -F= '/^WIDTH/ { w = $2 } /^HEIGHT/ { h = $2 } END { print w, h }')

start_desktop bare
"$bare" $size >/dev/null 2>&1 &
base=$!
pids+=($base)
read -r bare_idle bare_visit bare_rss bare_pss < <(measure "$base")

row() { awk -v n="$1" -v a="$2" -v b="$3" -v u="$4" \
  'BEGIN { printf "%-28s %12.4f %12.4f %8s\n", n, a, b, (b > 0 ? sprintf("%.2f", a / b) : "-") }'; }
printf '%-28s %12s %12s %8s\n' "" "Vorlane" "bare" "ratio"
row "idle CPU (% of one core)" "$app_idle" "$bare_idle"
row "visit CPU (s over ${visit_seconds} s)" "$app_visit" "$bare_visit"
row "resident memory (KiB)" "$app_rss" "$bare_rss"
row "proportional memory (KiB)" "$app_pss" "$bare_pss"
awk -v a="$app_idle" -v b="$bare_idle" -v r="$app_rss" -v s="$bare_rss" 'BEGIN {
  printf "targets: idle CPU within 0.05%% of the bare window: %s; resident at most 1.6x: %s\n",
    (a - b <= 0.05 ? "met" : "missed"), (r <= 1.6 * s ? "met" : "missed") }'
