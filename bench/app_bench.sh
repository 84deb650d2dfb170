#!/usr/bin/env bash
# Vorlane against a bare translucent window of the same size and against the distribution's
# lightest desktop pets (oneko, xpenguins), in the same run, each under its own private X
# server (Xvfb, openbox, xcompmgr, trayer) and session bus: start-up time (to the tray icon;
# the others to their window), CPU and thread wake-ups while idle peeking (120 s by default,
# VORLANE_BENCH_IDLE), Vorlane's idle fidgets counted in that window and the CPU each costs,
# CPU over the hourly visit (the clock placed by libfaketime so that the hour comes right
# after the idle period), resident and proportional memory, and resident memory after each
# hour of a day from 08:55 to 21:05 run 360 times faster (the first hour's visit loads what
# every visit uses; growth after it is the figure to watch). Then a Vorlane whose tray menu is
# clicked over D-Bus opens and closes every window and every preferences panel once: memory
# before and after, and the idle figures after. Prints one table and the ratios to the bare
# window and to oneko.
# Usage: bench/app_bench.sh <build folder>
set -euo pipefail

build=${1:-build}
build=$(cd "$build" && pwd)
idle_seconds=${VORLANE_BENCH_IDLE:-120}
# Where trayer's panel lies along the top edge: by default at the right, the edge where the
# monkey hangs, whose column stands over the icon (VORLANE_BENCH_TRAY_ALIGN=left for the other).
tray_align=${VORLANE_BENCH_TRAY_ALIGN:-right}
settle_seconds=5
visit_seconds=40
# How long the start may take to put its icon into trayer before the run gives up.
icon_limit_seconds=30
faketime_library=/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1
work=$(mktemp -d)
pids=()
desktop=()  # the processes of the current private desktop
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "app_bench: a command failed at line $LINENO" >&2' ERR

cmake --install "$build" --prefix "$work/prefix" >/dev/null
program="$work/prefix/bin/vorlane"
bare="$build/bench/vorlane_bare_window"
tray_driver="$build/bench/vorlane_tray_driver"
oneko=$(command -v oneko || echo /usr/games/oneko)
xpenguins=$(command -v xpenguins || echo /usr/games/xpenguins)
for tool in "$bare" "$tray_driver" "$oneko" "$xpenguins"; do
  [ -x "$tool" ] || { echo "app_bench: $tool is missing (scripts/install-deps)" >&2; exit 1; }
done
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
# The process's own memory (heap, stacks, shared-memory images), without library and font
# pages that the first use of a window maps in, in KiB.
anonymous() { awk '/^Anonymous:/ { a = $2 } END { print a }' "/proc/$1/smaps_rollup"; }
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
  desktop+=($!)
  read -r number <"$work/display.$1"
  export DISPLAY=":$number"
  dbus-daemon --session --nofork --print-address=3 3>"$work/bus.$1" >/dev/null 2>&1 &
  pids+=($!)
  desktop+=($!)
  read -r DBUS_SESSION_BUS_ADDRESS <"$work/bus.$1"
  export DBUS_SESSION_BUS_ADDRESS
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
  desktop+=($!)
  wait_for 30 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
  xcompmgr >/dev/null 2>&1 &
  pids+=($!)
  desktop+=($!)
  trayer --edge top --align "$tray_align" --widthtype request --height 24 >/dev/null 2>&1 &
  pids+=($!)
  desktop+=($!)
  wait_for 30 sh -c 'xdotool search --class trayer | grep -q .'
  sleep 1
}

# Ends the current private desktop, so that it costs nothing while the next is measured.
stop_desktop() {
  for pid in "${desktop[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${desktop[@]}"; do wait "$pid" 2>/dev/null || true; done
  desktop=()
}

# Seconds after a fidget's start that count as the fidget's: the longest moves 1.9 s, the
# scene stirs 0.3 s past it, and the frame driver winds down after that.
fidget_seconds=4
# The fidgets Vorlane's log has shown so far: the debug line each one starts with.
fidgets_in() {
  if [ -n "$1" ]; then grep -c "idle fidget started" "$1" || true; else echo 0; fi
}

# Watches a process at rest for $2 seconds, sampling its CPU once a second; $3 is Vorlane's
# log. Prints: CPU (% of one core), wake-ups per minute, fidgets, CPU per fidget (ms, "-"
# without fidgets), CPU in the seconds no fidget touched (% of one core). A fidget's CPU is
# what its window holds beyond that quiet rate.
idle_window() {
  local pid=$1 seconds=$2 log=${3:-} samples="$work/samples" woken started
  woken=$(wakeups "$pid")
  started=$(now)
  echo "$started $(cpu_seconds "$pid") $(fidgets_in "$log")" >"$samples"
  for i in $(seq "$seconds"); do
    sleep "$(awk -v s="$started" -v i="$i" -v n="$(now)" 'BEGIN { d = s + i - n; printf "%.3f", (d > 0 ? d : 0) }')"
    echo "$(now) $(cpu_seconds "$pid") $(fidgets_in "$log")" >>"$samples"
  done
  woken=$(( ($(wakeups "$pid") - woken) * 60 / seconds ))
  awk -v woken="$woken" -v f="$fidget_seconds" '
    { t[NR] = $1; c[NR] = $2; n[NR] = $3 }
    END {
      busy_until = 0
      for (i = 2; i <= NR; i++) {
        if (n[i] > n[i - 1]) busy_until = t[i] + f
        if (n[i] > n[i - 1] || t[i - 1] < busy_until) continue
        quiet_cpu += c[i] - c[i - 1]
        quiet_time += t[i] - t[i - 1]
      }
      time = t[NR] - t[1]; cpu = c[NR] - c[1]; fidgets = n[NR] - n[1]
      quiet = quiet_time > 0 ? quiet_cpu / quiet_time : cpu / time
      each = fidgets > 0 ? sprintf("%.1f", (cpu - quiet * time) / fidgets * 1000) : "-"
      printf "%.4f %d %d %s %.4f\n", cpu / time * 100, woken, fidgets, each, quiet * 100
    }' "$samples"
}

# Measures one process: the figures of idle_window, CPU seconds over the visit window, memory
# (Rss, Pss) at its end.
measure() {
  local pid=$1 log=${2:-} idle before after
  sleep "$settle_seconds"
  idle=$(idle_window "$pid" "$idle_seconds" "$log")
  before=$(cpu_seconds "$pid")
  sleep "$visit_seconds"
  after=$(cpu_seconds "$pid")
  echo "$idle $(awk -v a="$before" -v b="$after" 'BEGIN { print b - a }') $(memory "$pid")"
}

# Vorlane: welcomed already, peeking, in its own home.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
# A runtime folder of its own: a Vorlane the user is running holds the one in theirs.
mkdir -p -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
export TZ=UTC LC_ALL=C.UTF-8 PULSE_SERVER="unix:$work/no-pulse"
# The fidgets are counted by their debug line, whatever a distribution's logging rules hide.
export QT_LOGGING_RULES="com.corvantis.vorlane.presentation.debug=true"
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
# In full: awk's print writes six digits, which puts a moment since 1970 up to 5,000 s off.
icon_deadline=$(awk -v a="$launched" -v l="$icon_limit_seconds" 'BEGIN { printf "%.3f", a + l }')
until has_tray_icon "$app"; do
  sleep 0.05
  kill -0 "$app" 2>/dev/null || { echo "app_bench: Vorlane ended:" >&2; cat "$work/vorlane.log" >&2; exit 1; }
  if awk -v n="$(now)" -v d="$icon_deadline" 'BEGIN { exit !(n >= d) }'; then
    echo "app_bench: trayer docked no Vorlane icon within $icon_limit_seconds s:" >&2
    cat "$work/vorlane.log" >&2
    exit 1
  fi
done
app_start=$(awk -v a="$launched" -v b="$(now)" 'BEGIN { print b - a }')
if ! wait_for 30 sh -c "xdotool search --onlyvisible --pid $app | grep -q ."; then
  echo "app_bench: Vorlane showed no window:" >&2
  cat "$work/vorlane.log" >&2
  exit 1
fi
read -r app_idle app_wakeups app_fidgets app_per_fidget app_quiet app_visit app_rss app_pss \
  < <(measure "$app" "$work/vorlane.log")
window=$(windows_of "$app" | tail -1 | cut -d' ' -f2)
size=$(xdotool getwindowgeometry --shell "$window" 2>/dev/null |
  awk -F= '/^WIDTH/ { w = $2 } /^HEIGHT/ { h = $2 } END { print w, h }' || true)
[ -n "${size// /}" ] || { echo "app_bench: no size for Vorlane's window" >&2; exit 1; }
if ! grep -q "performing visit scheduled for 2025-06-02 11:00:00" "$work/vorlane.log"; then
  echo "app_bench: the visit did not come in its window; its figure is idle time:" >&2
  cat "$work/vorlane.log" >&2
fi
# Gone before the next launch, which would otherwise hand itself over to this one and end.
kill -TERM "$app"
wait "$app" || true

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
wait "$day" || true

stop_desktop
start_desktop bare
launched=$(now)
"$bare" $size >/dev/null 2>&1 &
base=$!
pids+=($base)
wait_for 30 sh -c "xdotool search --onlyvisible --pid $base | grep -q ."
bare_start=$(awk -v a="$launched" -v b="$(now)" 'BEGIN { print b - a }')
read -r bare_rss_start _ < <(memory "$base")
read -r bare_idle bare_wakeups _ _ _ bare_visit bare_rss bare_pss < <(measure "$base")
kill -TERM "$base"
wait "$base" || true

# A pet's idle CPU, wake-ups per minute and memory, as <name>_idle, <name>_wakeups,
# <name>_rss and <name>_pss; the pet is stopped after.
measure_pet() {
  local name=$1 pid=$2 idle wakeups rss pss
  read -r idle wakeups _ _ _ < <(idle_window "$pid" "$idle_seconds")
  read -r rss pss < <(memory "$pid")
  kill -TERM "$pid"
  wait "$pid" || true
  printf -v "${name}_idle" %s "$idle"
  printf -v "${name}_wakeups" %s "$wakeups"
  printf -v "${name}_rss" %s "$rss"
  printf -v "${name}_pss" %s "$pss"
}

# The distribution's lightest desktop pets, each on a desktop of its own, measured in the same
# idle window. The pointer rests mid-screen throughout: oneko's cat runs to it, then sleeps
# there (still looking for the pointer on every tick), the state measured. xpenguins never
# rests: its penguins walk, climb and fall over the desktop all the time, drawn straight on
# the root window (no window of its own, so no start-up figure).
stop_desktop
start_desktop oneko
xdotool mousemove 640 400
launched=$(now)
"$oneko" >/dev/null 2>&1 &
cat=$!
pids+=($cat)
# Its window has no class; its name is the program.
wait_for 30 sh -c "xdotool search --onlyvisible --name oneko | grep -q ."
oneko_start=$(awk -v a="$launched" -v b="$(now)" 'BEGIN { print b - a }')
sleep "$settle_seconds"
measure_pet oneko "$cat"

stop_desktop
start_desktop xpenguins
xdotool mousemove 640 400
"$xpenguins" >/dev/null 2>&1 &
penguins=$!
pids+=($penguins)
sleep "$settle_seconds"
kill -0 "$penguins" 2>/dev/null || { echo "app_bench: xpenguins ended" >&2; exit 1; }
measure_pet penguins "$penguins"

# Every window and every preferences panel opened and closed once, clicked in the tray's menu
# over D-Bus: the driver stands in for the desktop's tray watcher, so this Vorlane's icon goes
# there rather than into trayer. Then its memory and, the windows all closed, its idle
# figures. The welcome shows only at a first launch and the resume note only over a paused
# session: neither is opened. The clock stands at 10:10, far from the next hour's visit.
stop_desktop
start_desktop windows
xdotool mousemove 640 400
coproc tray_driver_run { "$tray_driver" 2>"$work/driver.log"; }
pids+=($tray_driver_run_PID)
# Sends one command to the driver and prints its answer.
tray() {
  local answer
  echo "$*" >&"${tray_driver_run[1]}"
  read -r -t 60 answer <&"${tray_driver_run[0]}" || answer="no answer"
  echo "$answer"
}
read -r -t 30 line <&"${tray_driver_run[0]}" && [ "$line" = ready ] ||
  { echo "app_bench: the tray driver did not start:" >&2; cat "$work/driver.log" >&2; exit 1; }
LD_PRELOAD="$faketime_library" FAKETIME="@2025-06-02 10:10:00" DONT_FAKE_MONOTONIC=1 \
  "$program" 2>"$work/windows.log" &
shown=$!
pids+=($shown)
[[ $(tray wait) == item* ]] ||
  { echo "app_bench: no tray icon registered:" >&2; cat "$work/windows.log" >&2; exit 1; }
wait_for 30 sh -c "xdotool search --onlyvisible --pid $shown | grep -q ." ||
  { echo "app_bench: Vorlane showed no window:" >&2; cat "$work/windows.log" >&2; exit 1; }
# Past the moment, 5 s after it starts, when the program gives back what start-up freed.
sleep $((settle_seconds + 5))
read -r windows_rss_before windows_pss_before < <(memory "$shown")
windows_anon_before=$(anonymous "$shown")
resting_windows=$(xdotool search --onlyvisible --pid "$shown" 2>/dev/null | sort)

# Clicks a menu entry and prints the window it brings to the front.
open_from_tray() {
  local answer window
  answer=$(tray "choose $1")
  [[ $answer == ok* ]] || { echo "app_bench: $1: $answer ($(tray labels))" >&2; return 1; }
  for _ in $(seq 100); do
    window=$(xdotool getactivewindow 2>/dev/null || true)
    if [ -n "$window" ] && ! grep -qx "$window" <<<"$resting_windows" &&
      xdotool search --onlyvisible --pid "$shown" 2>/dev/null | grep -qx "$window"; then
      echo "$window"
      return 0
    fi
    sleep 0.1
  done
  echo "app_bench: $1 brought no window of Vorlane's to the front" >&2
  return 1
}
# Closes a window with Escape, as its keyboard does, else as the window manager's close does.
close_window() {
  xdotool key Escape
  wait_for 5 sh -c "! xdotool search --onlyvisible --pid $shown | grep -qx $1" && return 0
  wmctrl -i -c "$1"
  wait_for 10 sh -c "! xdotool search --onlyvisible --pid $shown | grep -qx $1"
}
opened=0
# The preferences first: the window opens on Desktop, the first panel, with the sidebar
# taking the keys; Down walks the other five. It closes through the window manager only.
if window=$(open_from_tray "Preferences..."); then
  sleep 1
  for _ in 1 2 3 4 5; do
    xdotool key Down
    sleep 1
  done
  wmctrl -i -c "$window"
  wait_for 10 sh -c "! xdotool search --onlyvisible --pid $shown | grep -qx $window" &&
    opened=$((opened + 6))
fi
# "Plan*": the menu's "&" may come over D-Bus as a mnemonic's "_".
for entry in "Quick actions*" "Start Pomodoro..." "Just five minutes…" \
  "Plan* > Today*" "Plan* > Focus history…" "Plan* > Weekly reflection…" \
  "Plan* > Find a calendar focus window…" "Add reminder..." "About Vorlane" \
  "Mascot > Appearance…"; do
  window=$(open_from_tray "$entry") || continue
  sleep 1
  close_window "$window" && opened=$((opened + 1)) ||
    echo "app_bench: $entry: its window did not close" >&2
done
# Anything a window left open behind it (a consent, a prompt) goes too.
for window in $(xdotool search --onlyvisible --pid "$shown" 2>/dev/null); do
  grep -qx "$window" <<<"$resting_windows" || wmctrl -i -c "$window" || true
done
sleep "$settle_seconds"
read -r windows_rss_after windows_pss_after < <(memory "$shown")
windows_anon_after=$(anonymous "$shown")
read -r after_idle after_wakeups after_fidgets after_per_fidget after_quiet \
  < <(idle_window "$shown" "$idle_seconds" "$work/windows.log")
read -r windows_rss_later _ < <(memory "$shown")
kill -TERM "$shown"
wait "$shown" || true
stop_desktop

# row <name> <printf format> <Vorlane> <bare> <oneko> <xpenguins>: "-" where none applies,
# then the ratios of Vorlane to the bare window and to oneko.
row() {
  awk -v n="$1" -v f="$2" -v a="${3:--}" -v b="${4:--}" -v o="${5:--}" -v x="${6:--}" '
    function cell(v) { return v == "-" ? sprintf("%12s", "-") : sprintf(f, v) }
    function ratio(v, w) { return (v == "-" || w == "-" || w + 0 <= 0) ? "-" : sprintf("%.2f", v / w) }
    BEGIN { printf "%-36s %s %s %s %s %8s %8s\n", n, cell(a), cell(b), cell(o), cell(x),
                   ratio(a, b), ratio(a, o) }'
}
echo "window ${size/ /x}; idle window ${idle_seconds} s; ${opened} windows and panels opened and closed"
printf '%-36s %12s %12s %12s %12s %8s %8s\n' "" "Vorlane" "bare" "oneko" "xpenguins" "/bare" "/oneko"
row "start-up to tray/window (s)" "%12.2f" "$app_start" "$bare_start" "$oneko_start" "-"
row "idle CPU (% of one core)" "%12.4f" "$app_idle" "$bare_idle" "$oneko_idle" "$penguins_idle"
row "idle CPU between fidgets (%)" "%12.4f" "$app_quiet" "$bare_idle" "$oneko_idle" "$penguins_idle"
row "fidgets in the idle window" "%12d" "$app_fidgets"
row "CPU per fidget (ms)" "%12.1f" "$app_per_fidget"
row "idle wake-ups per minute" "%12d" "$app_wakeups" "$bare_wakeups" "$oneko_wakeups" "$penguins_wakeups"
row "visit CPU (s over ${visit_seconds} s)" "%12.2f" "$app_visit" "$bare_visit"
row "resident memory (KiB)" "%12d" "$app_rss" "$bare_rss" "$oneko_rss" "$penguins_rss"
row "proportional memory (KiB)" "%12d" "$app_pss" "$bare_pss" "$oneko_pss" "$penguins_pss"
row "day: CPU per visit (s)" "%12.3f" "$day_cpu_visit"
row "day: resident after 09:00 (KiB)" "%12d" "$day_rss_start" "$bare_rss_start"
row "day: resident after 15:00 (KiB)" "%12d" "$day_rss_midday" "$bare_rss"
row "day: resident at end (KiB)" "%12d" "$day_rss_end" "$bare_rss"
row "windows: resident before (KiB)" "%12d" "$windows_rss_before"
row "windows: resident after (KiB)" "%12d" "$windows_rss_after"
row "windows: resident after idling (KiB)" "%12d" "$windows_rss_later"
row "windows: proportional before (KiB)" "%12d" "$windows_pss_before"
row "windows: proportional after (KiB)" "%12d" "$windows_pss_after"
row "windows: anonymous before (KiB)" "%12d" "$windows_anon_before"
row "windows: anonymous after (KiB)" "%12d" "$windows_anon_after"
row "after windows: idle CPU (%)" "%12.4f" "$after_idle" "$bare_idle" "$oneko_idle" "$penguins_idle"
row "after windows: between fidgets (%)" "%12.4f" "$after_quiet" "$bare_idle" "$oneko_idle" "$penguins_idle"
row "after windows: fidgets" "%12d" "$after_fidgets"
row "after windows: wake-ups per minute" "%12d" "$after_wakeups" "$bare_wakeups" "$oneko_wakeups" "$penguins_wakeups"
echo "day: resident after each hour 09-21 (KiB): ${day_rss_hours[*]}"
awk -v a="$day_rss_start" -v m="$day_rss_midday" -v e="$day_rss_end" 'BEGIN {
  printf "day: growth 09:00-15:00 %+d KiB, 15:00-21:05 %+d KiB\n", m - a, e - m }'
echo "day: $day_visits visits from 08:55 to 21:05, $day_hours of them on the hour (13 expected)"
awk -v a="$app_idle" -v o="$oneko_idle" -v r="$app_rss" -v s="$bare_rss" \
  -v wb="$windows_rss_before" -v wa="$windows_rss_after" -v q="$app_quiet" -v qa="$after_quiet" \
  -v nb="$windows_anon_before" -v na="$windows_anon_after" \
  -v k="$app_wakeups" -v ka="$after_wakeups" -v f="$app_fidgets" -v fa="$after_fidgets" 'BEGIN {
  printf "targets: idle CPU at or below oneko'"'"'s: %s; resident at most 1.6x bare: %s; " \
    "memory after the windows within 2 MB (%+d KiB resident, %+d KiB anonymous): %s\n",
    (a <= o ? "met" : "missed"), (r <= 1.6 * s ? "met" : "missed"), wa - wb, na - nb,
    (wa - wb <= 2048 ? "met" : (na - nb <= 2048 ? "met by the program'"'"'s own memory" : "missed"))
  # Unchanged: within a tenth, or within what the clock ticks of one idle window can tell.
  # Wake-ups come with the fidgets, whose number differs between two windows: per fidget.
  kf = (f > 0 ? k / f : k); kfa = (fa > 0 ? ka / fa : ka)
  printf "targets: idle after the windows unchanged (between fidgets %.4f%% -> %.4f%%, " \
    "wake-ups per minute per fidget %d -> %d): %s\n", q, qa, kf, kfa,
    (qa <= q * 1.1 + 0.01 && kfa <= kf * 1.1 + 5 ? "met" : "missed") }'
