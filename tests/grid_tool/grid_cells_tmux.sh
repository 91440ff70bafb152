#!/bin/bash
# The grid's cells in a real terminal (tmux, 41 x 12): a number or date that its column, or the
# screen's right edge, leaves too little room for shows as '#' signs, never as digits of another
# value; what fits shows whole. Usage: grid_cells_tmux.sh CASE, with $GRID the program.
set -u
export LC_ALL=C.UTF-8 LANG=C.UTF-8
case_name=$1
socket=rowlark-cells-$$
work=$(mktemp -d "${TMPDIR:-/tmp}/rowlark_cells.XXXXXX")
trap 'tmux -L "$socket" kill-server 2>/dev/null; rm -rf "$work"' EXIT

. "$(dirname "$0")/../tools/grid_tmux_helpers.sh"
start() {
  tmux -L "$socket" -f /dev/null new-session -d -s grid -x "$1" -y 12 \
    "'$GRID' '$work/items.db' --table items; echo \$? >'$work/status'; exec sleep 600"
}

# Columns: id 2, name 17, tiny 5 (NUMERIC(3,1): digits, point and sign), then price, NUMERIC(10,4),
# from screen column 33 on: a terminal of 41 columns leaves it 8 of its 12.
sqlite3 "$work/items.db" "CREATE TABLE items (id INTEGER PRIMARY KEY, name TEXT, tiny NUMERIC(3,1),
    price NUMERIC(10,4), sold DATE);
  INSERT INTO items VALUES (1, 'Абажур болтунишка', 12345.5, 123456.5, '2026-12-08'),
    (2, 'Ёж', 1.5, 18, '2026-01-31'), (3, 'Жук', -2, -7, NULL);" || exit 1

case $case_name in
numbers_at_the_edge)
  start 41
  wait_for "static · items"
  wait_line 1 "id │ name              │ tiny  │ price"
  # The price cut by the edge, and the narrow column's number too wide for it.
  wait_line 2 "1 │ Абажур болтунишка │ ##### │ ########"
  screen | sed -n 2p | grep -q '1234' && fail "digits of a cut number are shown"
  # What fits the room shows whole, aligned to the right.
  wait_line 3 "2 │ Ёж                │   1.5 │  18.0000"
  wait_line 4 "3 │ Жук               │  -2.0 │  -7.0000"
  ;;
dates_at_the_edge)
  # The date column from screen column 48 on; 53 columns leave it 5 of the 10 a date takes.
  start 53
  wait_for "static · items"
  wait_line 2 "123456.5000 │ #####"
  wait_line 3 "18.0000 │ #####"
  ;;
*)
  echo "no case named $case_name"
  exit 1
  ;;
esac
echo "ok: $case_name"
