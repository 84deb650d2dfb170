# What the desktop harness's script tests share, sourced by each: the scripts' checks
# (tests/scripts/script_checks.sh), and the processes a run leaves behind, found by a mark in
# their environment: `marked COMMAND...` runs a command with it, and everything the command
# starts inherits it (a test binary keeps VORLANE_* variables).
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/script_checks.sh"
mark="desktop-$$-$RANDOM"

marked() {
  VORLANE_TEST_MARK=$mark "$@"
}

# The processes still running with this script's mark, one "PID COMMAND" a line.
marked_processes() {
  local environ pid
  for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}
    pid=${pid%/environ}
    [ "$pid" = "$$" ] && continue
    if tr '\0' '\n' 2>/dev/null <"$environ" | grep -qx "VORLANE_TEST_MARK=$mark"; then
      echo "$pid $(tr "\\0" " " 2>/dev/null </proc/"$pid"/cmdline)"
    fi
  done
}

# Fails when marked processes remain after a grace for their ends, naming them.
expect_no_processes_left() {
  local left
  for _ in $(seq 50); do
    left=$(marked_processes)
    [ -z "$left" ] && return
    sleep 0.2
  done
  fail "$1 left processes running:
$left"
  # Ended here, so that they do not outlive the test.
  awk '{print $1}' <<<"$left" | xargs -r kill -KILL 2>/dev/null || true
}
