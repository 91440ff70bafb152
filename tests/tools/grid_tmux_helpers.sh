# What both tmux scripts of the grid share: reading the screen, waiting for text on it, typing keys.
# Sourced; expects $case_name, $socket (the tmux server) and $work (where the grid's exit status goes).
fail() {
  echo "FAIL ($case_name): $*"
  echo "--- screen:"
  screen
  exit 1
}
screen() { tmux -L "$socket" capture-pane -p -t grid 2>/dev/null; }
# How long one wait may last before the test fails: only a last guard, as a loaded machine is slow;
# every wait ends as soon as what it waits for holds.
wait_limit=${ROWLARK_TEST_WAIT:-60}
# Runs the command again until it succeeds; fails (status 1) once wait_limit seconds have passed.
until_true() {
  local deadline=$((SECONDS + wait_limit))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}
screen_holds() { screen | grep -qF -- "$1"; }
screen_lacks() { ! screen_holds "$1"; }
line_holds() { screen | sed -n "${1}p" | grep -qF -- "$2"; }
# Waits until the screen holds text (a fixed string).
wait_for() {
  [ -n "$1" ] || fail "nothing to wait for (an empty expected text)"
  until_true screen_holds "$1" || fail "the screen never showed: $1"
}
# Waits until line number $1 of the screen holds text $2.
wait_line() {
  [ -n "$2" ] || fail "nothing to wait for on line $1 (an empty expected text)"
  until_true line_holds "$1" "$2" || fail "line $1 never showed: $2"
}
# Waits until the screen no longer holds text.
wait_gone() { until_true screen_lacks "$1" || fail "the screen still shows: $1"; }
# Waits until the grid has exited, and says its exit status.
wait_status() {
  until_true test -s "$work/status" || fail "the grid did not exit"
  cat "$work/status"
}
keys() { tmux -L "$socket" send-keys -t grid "$@"; }
