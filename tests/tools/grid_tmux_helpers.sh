# What both tmux scripts of the grid share: reading the screen, waiting for text on it, typing keys.
# Sourced; expects $case_name, $socket (the tmux server) and $work (where the grid's exit status goes).
fail() {
  echo "FAIL ($case_name): $*"
  echo "--- screen:"
  screen
  exit 1
}
screen() { tmux -L "$socket" capture-pane -p -t grid 2>/dev/null; }
# Waits until the screen holds text (a fixed string), or fails after several seconds.
wait_for() {
  [ -n "$1" ] || fail "nothing to wait for (an empty expected text)"
  for _ in $(seq 1 100); do
    screen | grep -qF -- "$1" && return 0
    sleep 0.1
  done
  fail "the screen never showed: $1"
}
# Waits until line number $1 of the screen holds text $2.
wait_line() {
  [ -n "$2" ] || fail "nothing to wait for on line $1 (an empty expected text)"
  for _ in $(seq 1 100); do
    screen | sed -n "${1}p" | grep -qF -- "$2" && return 0
    sleep 0.1
  done
  fail "line $1 never showed: $2"
}
# Waits until the screen no longer holds text.
wait_gone() {
  for _ in $(seq 1 100); do
    screen | grep -qF -- "$1" || return 0
    sleep 0.1
  done
  fail "the screen still shows: $1"
}
wait_status() {
  for _ in $(seq 1 100); do
    [ -s "$work/status" ] && { cat "$work/status"; return 0; }
    sleep 0.1
  done
  fail "the grid did not exit"
}
keys() { tmux -L "$socket" send-keys -t grid "$@"; }
