# What the scripts' tests share, sourced by each: a scratch folder `$work` removed at the end,
# `fail MESSAGE` to report a failed check and go on, and `failures` counting them.
set -uo pipefail
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $1" >&2
  failures=$((failures + 1))
}
