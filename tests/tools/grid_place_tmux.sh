#!/bin/bash
# The dynamic grid's place in its tag's order, driven in a real terminal by tmux at 80 x 30: the
# status line's percentage and the scrollbar's thumb follow PgDn, End and Home, F7 (Ctrl+P) jumps to a
# percentage and paging goes on both ways from there, and the mouse wheel moves the current row.
# Usage: grid_place_tmux.sh CASE, with $GRID the program and $TAGS the tags command. The table is
# 300 rows of skewed weights, tagged by weight (a number: its order is plain to check); a sample of
# 256 slices tells every place of 300 rows exactly.
set -u
export LC_ALL=C.UTF-8 LANG=C.UTF-8
case_name=$1
socket=rowlark-place-$$
work=$(mktemp -d "${TMPDIR:-/tmp}/rowlark_place.XXXXXX")
trap 'tmux -L "$socket" kill-server 2>/dev/null; rm -rf "$work"' EXIT
sqlite3 "$work/goods.db" "CREATE TABLE items (id INTEGER PRIMARY KEY, weight NUMERIC, label TEXT);
  WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < 300)
  INSERT INTO items SELECT i, ((i * 37) % 300) * ((i * 37) % 300) / 4.0, 'item ' || i FROM s" || exit 1
"$TAGS" "$work/goods.db" add items by_weight weight id number >/dev/null || exit 1
rows=26  # 30 lines less the header, the status line and the two pane lines

. "$(dirname "$0")/grid_tmux_helpers.sh"
start() {
  tmux -L "$socket" -f /dev/null new-session -d -s grid -x 80 -y 30 \
    "'$GRID' '$work/goods.db' --table items --tag by_weight; echo \$? >'$work/status'; exec sleep 600"
}
# The current row's key, from the status line.
current_key() { screen | grep -o '· id [0-9]* ·' | grep -o '[0-9]*'; }
# The true rank of a key in the tag's order.
rank_of() {
  sqlite3 "$work/goods.db" "SELECT count(*) FROM items g, items r WHERE r.id = $1 AND (g.weight, g.id) < (r.weight, r.id)"
}
# Waits until the status line and the thumb say where the current row truly stands.
expect_true_place() {
  local key rank percent thumb
  wait_for "· id "
  key=$(current_key)
  [ -n "$key" ] || fail "the status line shows no current key"
  rank=$(rank_of "$key")
  percent=$(awk -v r="$rank" 'BEGIN { printf "%d", r * 100 / 299 + 0.5 }')
  thumb=$(awk -v r="$rank" -v h=$rows 'BEGIN { printf "%d", 2 + int(r * (h - 1) / 299 + 0.5) }')
  wait_for "· id $key · $percent % ·"
  wait_line "$thumb" "█"
  [ "$(screen | grep -c '█')" = 1 ] || fail "more than one thumb"
  [ "$(screen | sed -n "${thumb}p" | tail -c 4)" = "█" ] || fail "the thumb is not at the right edge of line $thumb"
}
# A mouse event as the terminal sends it (X10 form: ESC [ M, then button code, 1-based column and
# line, each plus 32), given as bytes so that tmux reads none of them as its own syntax.
mouse() { keys -H 1b 5b 4d "$(printf %x $((32 + $1)))" "$(printf %x $((32 + $2)))" "$(printf %x $((32 + $3)))"; }

case $case_name in
thumb_follows_pages_end_and_home)
  start
  wait_for "· 0 % ·"
  expect_true_place
  keys NPage
  wait_gone "· 0 % ·"
  expect_true_place
  keys NPage Down Down
  wait_for "· 18 % ·"
  expect_true_place
  keys End
  wait_for "· 100 % ·"
  expect_true_place
  keys Home
  wait_for "· 0 % ·"
  expect_true_place
  ;;
jump_to_half_then_page_both_ways)
  start
  wait_for "· 0 % ·"
  keys F7
  wait_for "go to per cent of by_weight: "
  keys -l "50"
  keys Enter
  wait_for "· 50 % ·"
  expect_true_place
  # The range is whole again: paging walks back past the row jumped to, and on.
  keys PPage
  wait_for "· 41 % ·"
  expect_true_place
  keys NPage NPage
  wait_for "· 59 % ·"
  expect_true_place
  keys F7
  keys -l "half"
  keys Enter
  wait_for "not a percentage from 0 to 100: half"
  ;;
wheel_and_scrollbar_click)
  start
  wait_for "· 0 % ·"
  mouse 65 10 5   # the wheel turned down: three rows
  wait_for "· 1 % ·"
  [ "$(rank_of "$(current_key)")" = 3 ] || fail "the wheel moved to rank $(rank_of "$(current_key)")"
  mouse 64 10 5   # and up again
  wait_for "· 0 % ·"
  mouse 0 80 27   # a click at the foot of the scrollbar: the last rows
  mouse 3 80 27
  wait_for "· 100 % ·"
  expect_true_place
  mouse 0 80 14   # halfway down the track
  mouse 3 80 14
  wait_for "· 48 % ·"
  expect_true_place
  ;;
*)
  echo "no case named $case_name"
  exit 1
  ;;
esac
echo "ok: $case_name"
