#!/bin/bash
# NULL apart from an empty text in every tool that shows rows (the grid in a real terminal through
# tmux, the viewer and the demo), and the static query of the sample goods ordered as their
# Russian-order name tag, so both providers open on the same first page.
# Usage: null_and_order_cases.sh CASE, with the programs in $GRID, $VIEWER, $DEMO, $TAGS and $MAKE.
set -u
case_name=$1
socket=rowlark-null-$$
work=$(mktemp -d "${TMPDIR:-/tmp}/rowlark_null.XXXXXX")
trap 'tmux -L "$socket" kill-server 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/grid_tmux_helpers.sh"

# A table whose text column holds a value, NULL, an empty text and a value, in key order.
notes_table() {
  sqlite3 "$work/notes.db" "CREATE TABLE notes (id INTEGER PRIMARY KEY, label TEXT, qty INTEGER);
    INSERT INTO notes VALUES (1, 'first', 10), (2, NULL, 20), (3, '', NULL), (4, 'last', 40);" || fail "no table"
}
# The grid's row of key $1 (screen line 1 + $1) shows $2 in the label column, or nothing there when $2 is empty.
label_on_line() {
  local line cell
  line=$(screen | sed -n "$((1 + $1))p")
  cell=$(echo "$line" | awk -F'│' '{ gsub(/^ +| +$/, "", $2); print $2 }')
  [ "$cell" = "$2" ] || fail "row $1 shows the label '$cell', not '$2'"
}
grid_shows_null() {
  tmux -L "$socket" -f /dev/null new-session -d -s grid -x 80 -y 12 \
    "LC_ALL=C.UTF-8 '$GRID' '$work/notes.db' --table notes $*; exec sleep 600"
  wait_line 5 "last"
  label_on_line 1 first
  label_on_line 2 "∅"
  label_on_line 3 ""
  # A NULL number is no number: the quantities stay right-aligned numbers around it.
  screen | sed -n 4p | grep -q "∅" || fail "the NULL quantity of row 3 is not shown"
}
# The ids of the first page printed after the heading "$2" in the file $1 (a demo's or viewer's output).
first_ids() { awk -v h="$2" '$0 == h { on = 1; next } on && /^-/ { go = 1; next } go && /^[0-9]/ { print $1 } go && !/^[0-9]/ { exit }' "$1"; }

case $case_name in
grid_static)
  notes_table
  grid_shows_null --static
  wait_for "static · notes"
  ;;
grid_dynamic)
  notes_table
  "$TAGS" "$work/notes.db" add notes by_id id id number >/dev/null || fail "no tag"
  grid_shows_null --tag by_id
  wait_for "dynamic · notes"
  ;;
viewer_and_demo)
  # Odd keys have no note (NULL), even keys an empty one.
  "$MAKE" --name-order bytes "$work/goods.db" 40 5 >/dev/null || fail "no sample"
  sqlite3 "$work/goods.db" "UPDATE goods SET note = CASE id % 2 WHEN 1 THEN NULL ELSE '' END" || fail "no update"
  for mode in "" --dynamic; do
    echo q | LC_ALL=C.UTF-8 "$VIEWER" "$work/goods.db" $mode --page 10 >"$work/viewer.out" 2>&1 || fail "viewer $mode failed"
    rows=$(grep -cE '^[0-9]+ ' "$work/viewer.out")
    [ "$rows" = 10 ] || fail "viewer $mode printed $rows rows: $(cat "$work/viewer.out")"
    grep -E '^[0-9]*[13579] ' "$work/viewer.out" | grep -qv '| ∅$' && fail "viewer $mode: a NULL note is not ∅"
    grep -E '^[0-9]*[02468] ' "$work/viewer.out" | grep -q '∅' && fail "viewer $mode: an empty note shows as NULL"
  done
  LC_ALL=C.UTF-8 "$DEMO" "$work/goods.db" >"$work/demo.out" 2>&1 || fail "demo failed: $(cat "$work/demo.out")"
  ids=$(first_ids "$work/demo.out" "== First page")
  [ -n "$ids" ] || fail "the demo printed no first page"
  for id in $ids; do
    line=$(grep -E "^$id +\|" "$work/demo.out" | head -1)
    if [ $((id % 2)) = 1 ]; then [[ $line == *"| ∅" ]] || fail "demo: the NULL note of $id: $line"
    else [[ $line != *"∅"* ]] || fail "demo: the empty note of $id shows as NULL: $line"; fi
  done
  ;;
same_first_page)
  # The sample's name tag is in the Russian order (make_sample_db's default).
  "$MAKE" "$work/goods.db" 3000 7 >/dev/null || fail "no sample"
  LC_ALL=C.UTF-8 "$DEMO" "$work/goods.db" "$work/goods.db" >"$work/demo.out" 2>&1 || fail "demo failed: $(cat "$work/demo.out")"
  awk '/^# Dynamic provider/ { exit } { print }' "$work/demo.out" >"$work/static.out"
  awk '/^# Dynamic provider/ { on = 1 } on { print }' "$work/demo.out" >"$work/dynamic.out"
  static_ids=$(first_ids "$work/static.out" "== First page" | tr '\n' ' ')
  dynamic_ids=$(grep -A20 '^== First page' "$work/dynamic.out" | awk 'NR > 3 && /^[0-9]/ { print $1 } NR > 3 && !/^[0-9]/ { exit }' | tr '\n' ' ')
  [ -n "$static_ids" ] && [ "$static_ids" = "$dynamic_ids" ] ||
    fail "demo: the static first page ($static_ids) is not the dynamic one ($dynamic_ids)"
  for mode in "" --dynamic; do
    echo q | LC_ALL=C.UTF-8 "$VIEWER" "$work/goods.db" $mode --page 12 | awk '/^[0-9]/ { print $1 }' >"$work/viewer$mode.ids"
  done
  [ -s "$work/viewer.ids" ] && cmp -s "$work/viewer.ids" "$work/viewer--dynamic.ids" ||
    fail "viewer: the static first page ($(tr '\n' ' ' <"$work/viewer.ids")) is not the dynamic one ($(tr '\n' ' ' <"$work/viewer--dynamic.ids"))"
  ;;
*)
  echo "no case named $case_name"
  exit 1
  ;;
esac
echo "ok: $case_name"
