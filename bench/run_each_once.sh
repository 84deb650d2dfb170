#!/usr/bin/env bash
# Runs every benchmark of a Google Benchmark program once, briefly, to show that each runs to
# its end: not what it costs. Of each family only the instance with the smallest arguments
# runs (the first listed among equals), each for a moment's minimum time, and the program is
# told it runs briefly (VORLANE_BENCH_BRIEF=1: a fixed number of iterations becomes one).
# Fails when the program ends with another status than 0 (a benchmark that aborts, throws or
# fails a check), when a benchmark reports an error (SkipWithError, which leaves the status at
# 0), or when a benchmark chosen reports nothing. Nothing of the caller's session reaches the
# program (its display, buses, folders).
# Usage: bench/run_each_once.sh <benchmark program> [minimum seconds, 0.01 by default]
set -uo pipefail

program=$1
min_time=${2:-0.01}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# As a test binary's own (tests/support/test_environment.h): the caller's search path, locale,
# time zone, temporary folder and VORLANE_ knobs, then a home of the run's own.
own_environment=()
for name in PATH LANG LANGUAGE TZ TMPDIR $(compgen -e | grep -E '^(LC_|VORLANE_)'); do
  [ -n "${!name+set}" ] && own_environment+=("$name=${!name}")
done
own_environment+=(VORLANE_BENCH_BRIEF=1 HOME="$work/home"
  XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
  XDG_CACHE_HOME="$work/home/.cache" XDG_STATE_HOME="$work/home/.local/state"
  XDG_RUNTIME_DIR="$work/home/runtime")
mkdir -p "$work/home/.config" "$work/home/.local/share" "$work/home/.cache" \
  "$work/home/.local/state"
mkdir -m 700 "$work/home/runtime"
run() { env -i "${own_environment[@]}" "$program" "$@"; }

if ! run --benchmark_list_tests >"$work/listed"; then
  echo "run_each_once: $program could not list its benchmarks" >&2
  exit 1
fi
# A family is an instance's name without its arguments (the path's parts that are numbers);
# its smallest instance has the least sum of them.
awk -F/ '
  {
    family = ""; sum = 0
    for (i = 1; i <= NF; i++) {
      if ($i ~ /^-?[0-9]+$/) sum += $i; else family = family "/" $i
    }
    if (!(family in best)) order[++families] = family
    else if (sum >= least[family]) next
    best[family] = $0; least[family] = sum
  }
  END { for (i = 1; i <= families; i++) print best[order[i]] }' "$work/listed" >"$work/chosen"
if [ ! -s "$work/chosen" ]; then
  echo "run_each_once: $program lists no benchmark" >&2
  exit 1
fi
filter="^($(sed 's/[][\\.^$*+?(){}|]/\\&/g' "$work/chosen" | paste -sd '|'))\$"

echo "run_each_once: $(wc -l <"$work/chosen") of $(wc -l <"$work/listed") benchmarks, each once"
run --benchmark_filter="$filter" --benchmark_min_time="$min_time" \
  --benchmark_out="$work/results.json" --benchmark_out_format=json
status=$?
if [ "$status" -ne 0 ]; then
  echo "run_each_once: $program ended with status $status" >&2
  exit 1
fi
# The JSON writer puts each member on a line of its own, a run's name first.
errors=$(awk '
  /^ *"name": / { name = $0; sub(/^ *"name": "/, "", name); sub(/",$/, "", name) }
  /^ *"error_occurred": true/ { failed = 1 }
  /^ *"error_message": / && failed {
    message = $0; sub(/^ *"error_message": "/, "", message); sub(/",?$/, "", message)
    print name ": " message; failed = 0
  }' "$work/results.json")
if [ -n "$errors" ]; then
  echo "run_each_once: benchmarks reported errors:" >&2
  echo "$errors" >&2
  exit 1
fi
awk '/^ *"run_name": / { sub(/^ *"run_name": "/, ""); sub(/",$/, ""); print }' \
  "$work/results.json" | sort -u >"$work/reported"
silent=$(sort -u "$work/chosen" | comm -23 - "$work/reported")
if [ -n "$silent" ]; then
  echo "run_each_once: benchmarks reported nothing:" >&2
  echo "$silent" >&2
  exit 1
fi
