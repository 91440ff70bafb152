#!/bin/bash
# Drives the grid program in a real terminal, as a person would: tmux runs it at 100 x 30, send-keys
# types, capture-pane reads the screen. Every wait polls the screen until the text shows (or a
# timeout), so a slow machine only makes the test slower.
# Usage: grid_tmux.sh CASE, with $GRID the program and $SAMPLE the sample goods database.
set -u
export LC_ALL=C.UTF-8 LANG=C.UTF-8
case_name=$1
socket=rowlark-test-$$
work=$(mktemp -d "${TMPDIR:-/tmp}/rowlark_grid.XXXXXX")
trap 'tmux -L "$socket" kill-server 2>/dev/null; rm -rf "$work"' EXIT
cp "$SAMPLE" "$work/goods.db"
page=26  # 30 lines less the header, the status line and the two pane lines

. "$(dirname "$0")/grid_tmux_helpers.sh"
# Starts the grid on the work copy with these options; its exit status goes to $work/status.
start() {
  local args=""
  [ $# -eq 0 ] || printf -v args ' %q' "$@"
  tmux -L "$socket" -f /dev/null new-session -d -s grid -x 100 -y 30 \
    "'$GRID' '$work/goods.db'$args; echo \$? >'$work/status'; exec sleep 600"
}

# The name at 0-based position $1 in the name tag's order, cut as a column of 30 shows it.
name_at() {
  local name
  name=$(sqlite3 "$work/goods.db" "SELECT name FROM goods ORDER BY rtrim(name), id LIMIT 1 OFFSET $1")
  echo "${name:0:25}"
}
last_name() { sqlite3 "$work/goods.db" "SELECT substr(name, 1, 25) FROM goods ORDER BY rtrim(name) DESC, id DESC LIMIT 1"; }
first_with() { sqlite3 "$work/goods.db" "SELECT substr(name, 1, 25) FROM goods WHERE name >= '$1' ORDER BY rtrim(name), id LIMIT 1"; }

case $case_name in
first_page)
  start
  wait_for "dynamic · goods · tag name"
  wait_line 1 "id  │ code"
  wait_line 2 "$(name_at 0)"
  wait_line $((page + 1)) "$(name_at $((page - 1)))"
  # The first row is the current one: its key is in the status line.
  key=$(sqlite3 "$work/goods.db" "SELECT id FROM goods ORDER BY rtrim(name), id LIMIT 1")
  wait_for "· id $key ·"
  ;;
pages_down_and_up)
  start
  wait_line 2 "$(name_at 0)"
  keys NPage
  wait_line 2 "$(name_at $page)"
  keys NPage
  wait_line 2 "$(name_at $((2 * page)))"
  keys PPage
  wait_line 2 "$(name_at $page)"
  keys PPage
  wait_line 2 "$(name_at 0)"
  ;;
end_then_home)
  start --static
  wait_for "static · goods · tag name"
  wait_line 2 "$(name_at 0)"
  keys End
  wait_line $((page + 1)) "$(last_name)"
  wait_for "row 300 of 300"
  keys Home
  wait_line 2 "$(name_at 0)"
  keys Down Down
  wait_for "· id $(sqlite3 "$work/goods.db" "SELECT id FROM goods ORDER BY rtrim(name), id LIMIT 1 OFFSET 2") ·"
  ;;
type_ahead_static)
  start --static
  wait_line 2 "$(name_at 0)"
  keys Right Right  # id, code, name
  keys -l "Ба"
  wait_line 2 "$(first_with "Ба")"
  wait_for 'find "Ба"'
  keys Escape
  wait_gone 'find "'
  wait_line 2 "$(first_with "Ба")"  # clearing the text leaves the grid where it is
  ;;
type_ahead_dynamic)
  start
  wait_line 2 "$(name_at 0)"
  keys -l "Ба"
  wait_line 2 "$(first_with "Ба")"
  wait_for 'from "Ба"'
  keys BSpace
  wait_for 'from "Б"'
  wait_line 2 "$(first_with "Б")"
  keys Escape
  wait_line 2 "$(name_at 0)"
  ;;
type_ahead_dynamic_on_a_column_declared_in_capitals)
  # The layer names the column "name": the grid still opens on the tag's column and types there.
  sqlite3 "$work/goods.db" 'ALTER TABLE goods RENAME COLUMN name TO "Name"' || fail "cannot rename the column"
  start
  wait_line 1 "id  │ code     │ name"
  wait_line 2 "$(name_at 0)"
  keys -l "Ба"
  wait_line 2 "$(first_with "Ба")"
  wait_for 'from "Ба"'
  ;;
type_ahead_dynamic_past_the_end)
  start
  wait_line 2 "$(name_at 0)"
  keys -l "яяяя"  # the last letter of the code page: past every name
  wait_for 'no name at or after "яяяя"'
  # The grid stays usable on its page.
  wait_line 2 "$(name_at 0)"
  keys NPage
  wait_line 2 "$(name_at $page)"
  ;;
resize_repages)
  start --static
  wait_line 2 "$(name_at 0)"
  keys NPage
  wait_line 2 "$(name_at $page)"
  tmux -L "$socket" resize-window -t grid -x 100 -y 20
  # Ten lines fewer: the page keeps its top row and ends ten rows earlier, the status line follows.
  wait_line $((page - 10 + 1)) "$(name_at $((2 * page - 10 - 1)))"
  wait_line $((page - 10 + 2)) "static · goods"
  keys NPage
  wait_line 2 "$(name_at $((2 * page - 10)))"
  ;;
refresh_row_changed_elsewhere)
  # Another connection changes the second row; F5 on it shows the new value, in either provider.
  for kind in dynamic static; do
    # A server of its own for each run: a new server on a socket whose old server is still going
    # down can be refused ("server exited unexpectedly").
    tmux -L "$socket" kill-server 2>/dev/null
    socket=rowlark-test-$$-$kind
    rm -f "$work/status"
    if [ $kind = static ]; then start --static --columns name,qty; else start --columns name,qty; fi
    wait_line 3 "$(name_at 1)"
    id=$(sqlite3 "$work/goods.db" "SELECT id FROM goods ORDER BY rtrim(name), id LIMIT 1 OFFSET 1")
    qty=$((7000 + id))
    sqlite3 "$work/goods.db" "UPDATE goods SET qty = $qty WHERE id = $id"
    keys Down
    wait_for "· id $id ·"
    # The dynamic provider holds the values it read; the static one reads its result as it goes.
    [ $kind = dynamic ] && screen | sed -n 3p | grep -qF "$qty" && fail "$kind: the change showed before F5"
    keys F5
    wait_line 3 "$qty"
    wait_for "· id $id ·"
  done
  ;;
key_jump_static)
  # F2 asks for a key; the row with it comes to the top and becomes the current one.
  start --static
  wait_line 2 "$(name_at 0)"
  wait_for "row 1 of 300"
  keys F2
  wait_for "go to id: "
  keys -l "150"
  keys Enter
  wait_for "· id 150 ·"
  wait_line 2 "$(sqlite3 "$work/goods.db" "SELECT substr(name, 1, 25) FROM goods WHERE id = 150")"
  wait_for "row $(( $(sqlite3 "$work/goods.db" "SELECT count(*) FROM goods WHERE rtrim(name) < (SELECT rtrim(name) FROM goods WHERE id = 150) OR (rtrim(name) = (SELECT rtrim(name) FROM goods WHERE id = 150) AND id < 150)") + 1 )) of 300"
  # A key no row has, and a text for a number key: said in the pane, the grid stays where it is.
  keys C-g
  keys -l "99999"
  keys Enter
  wait_for "no row with id 99999"
  wait_for "· id 150 ·"
  keys F2
  keys -l "abc"
  keys Enter
  wait_for 'id is a number: "abc" is not one'
  # Esc gives the question up.
  keys F2
  keys -l "7"
  keys Escape
  wait_gone "go to id"
  wait_for "· id 150 ·"
  ;;
keys_of_the_other_provider)
  # F2 and F4 belong to one provider each: the other says so in the pane and stays where it is.
  start
  wait_line 2 "$(name_at 0)"
  keys F2
  wait_for "the dynamic provider finds no row by its key: F4 sets a range of name"
  wait_line 2 "$(name_at 0)"
  tmux -L "$socket" kill-server 2>/dev/null
  socket=rowlark-test-$$-static
  start --static
  wait_line 2 "$(name_at 0)"
  keys F4
  wait_for "a range needs the dynamic provider (a table with an index tag): type to search"
  wait_gone "name from: "
  ;;
filter_range_and_clearing)
  # F4 asks for the tag's lower and upper bound (the upper one takes every name it begins); the
  # grid shows that range only, typing starts within it, and a range with both bounds empty clears it.
  in_range="rtrim(name) >= 'Б' AND substr(rtrim(name), 1, 1) <= 'В'"
  start
  wait_line 2 "$(name_at 0)"
  keys F4
  wait_for "name from: "
  keys -l "Б"
  keys Enter
  wait_for 'name from "Б" to: '
  keys -l "В"
  keys Enter
  wait_line 2 "$(sqlite3 "$work/goods.db" "SELECT substr(name, 1, 25) FROM goods WHERE $in_range ORDER BY rtrim(name), id LIMIT 1")"
  wait_for 'range from "Б" to "В"'
  keys End
  wait_line $((page + 1)) "$(sqlite3 "$work/goods.db" "SELECT substr(name, 1, 25) FROM goods WHERE $in_range ORDER BY rtrim(name) DESC, id DESC LIMIT 1")"
  # A range that holds no row is refused and the old one stays.
  keys F4
  keys BSpace
  keys -l "Ъ"
  keys Enter
  keys BSpace
  keys -l "Ъ"
  keys Enter
  wait_for 'no name from "Ъ" to "Ъ": the range stays as it was'
  wait_for 'range from "Б" to "В"'
  # Clearing both bounds shows the whole table again.
  keys F4
  keys BSpace Enter
  keys BSpace Enter
  wait_for "the whole of name"
  wait_line 2 "$(name_at 0)"
  wait_gone "range from"
  ;;
reload_row_changed_elsewhere)
  # F6 runs the provider's load again: a row changed by another connection shows its new value.
  start --static --columns name,qty
  wait_line 2 "$(name_at 0)"
  id=$(sqlite3 "$work/goods.db" "SELECT id FROM goods ORDER BY rtrim(name), id LIMIT 1")
  sqlite3 "$work/goods.db" "UPDATE goods SET qty = 4242 WHERE id = $id"
  keys F6
  wait_for "reloaded"
  wait_line 2 "4242"
  ;;
resize_keeps_the_dynamic_page)
  start
  wait_line 2 "$(name_at 0)"
  keys NPage
  wait_line 2 "$(name_at $page)"
  tmux -L "$socket" resize-window -t grid -x 100 -y 20
  wait_line $((page - 10 + 1)) "$(name_at $((2 * page - 10 - 1)))"
  wait_line 2 "$(name_at $page)"
  tmux -L "$socket" resize-window -t grid -x 100 -y 30
  wait_line $((page + 1)) "$(name_at $((2 * page - 1)))"
  ;;
columns_chosen)
  # The key is always read, so it leads when the columns asked for leave it out.
  start --columns "price, NAME"
  wait_line 1 "id  │ price    │ name"
  wait_line 2 "$(name_at 0)"
  keys Right Right
  keys -l "Ба"
  wait_line 2 "$(first_with "Ба")"
  ;;
own_table_without_tags)
  # A table with no tag is shown through the static provider, keyed by its primary key.
  sqlite3 "$work/goods.db" "CREATE TABLE people (pid INTEGER PRIMARY KEY, surname TEXT);
    INSERT INTO people (surname) VALUES ('Петров'), ('Иванов'), ('Сидоров');"
  start --table people
  wait_for "static · people · pid 1 ·"
  wait_line 1 "pid │ surname"
  wait_line 2 "Петров"
  wait_line 4 "Сидоров"
  keys Right
  keys -l "Си"
  wait_line 2 "Сидоров"
  ;;
own_query)
  start --static --query "SELECT id, upper(code) AS code FROM goods WHERE id <= 3 ORDER BY id DESC" --key id
  wait_line 1 "id │ code"
  wait_line 2 "3 │ "
  wait_line 4 "1 │ "
  wait_for "row 1 of 3"
  ;;
module_error_shown)
  # Another connection locks the database: the module's error shows in the pane, the grid stays on
  # its page, and pages on once the lock is gone.
  first=$(name_at 0) next=$(name_at $page)
  start
  wait_line 2 "$first"
  mkfifo "$work/sql"
  sqlite3 "$work/goods.db" <"$work/sql" >"$work/sql.out" 2>&1 &
  exec 3>"$work/sql"
  echo "BEGIN EXCLUSIVE; SELECT 'locked';" >&3
  until_true grep -q locked "$work/sql.out" || fail "the other connection took no lock: $(cat "$work/sql.out")"
  keys NPage
  wait_for "error: "  # after the connection's busy wait
  screen | tail -2 | head -1 | grep -q "^error: .*locked" || fail "the pane does not say why"
  wait_line 2 "$first"
  echo "COMMIT;" >&3
  exec 3>&-
  wait
  keys NPage
  wait_line 2 "$next"
  wait_gone "error: "
  ;;
quit_with_q)
  start
  wait_line 2 "$(name_at 0)"
  keys q
  [ "$(wait_status)" = 0 ] || fail "q did not exit with status 0"
  # The terminal is back to the shell's screen: no grid on it.
  wait_gone "tag name"
  ;;
quit_with_f10_while_typing)
  start --static
  wait_line 2 "$(name_at 0)"
  keys Right Right
  keys -l "Бq"  # q while typing is a letter to search for
  wait_for 'find "Бq"'
  wait_for 'nothing in name begins with "Бq"'
  keys F10
  [ "$(wait_status)" = 0 ] || fail "F10 did not exit with status 0"
  ;;
interrupted)
  start
  wait_line 2 "$(name_at 0)"
  keys C-c
  [ "$(wait_status)" = 130 ] || fail "Ctrl+C did not end the grid as an interrupt"
  ;;
bad_table_refused)
  "$GRID" "$work/goods.db" --table nothing >"$work/out" 2>"$work/err"
  [ $? = 2 ] || fail "status $? for a missing table"
  grep -qx "grid: the database has no table nothing" "$work/err" || fail "message: $(cat "$work/err")"
  [ ! -s "$work/out" ] || fail "the screen was opened"
  ;;
bad_tag_refused)
  "$GRID" "$work/goods.db" --tag nothing >"$work/out" 2>"$work/err"
  [ $? = 2 ] || fail "status $? for a missing tag"
  grep -qx "grid: the table goods has no index tag nothing (its tags: name, code, price)" "$work/err" ||
    fail "message: $(cat "$work/err")"
  [ ! -s "$work/out" ] || fail "the screen was opened"
  ;;
bad_column_and_key_refused)
  "$GRID" "$work/goods.db" --columns id,nothing >"$work/out" 2>"$work/err"
  [ $? = 2 ] || fail "status $? for a missing column"
  grep -qx "grid: the table goods has no column nothing" "$work/err" || fail "message: $(cat "$work/err")"
  "$GRID" "$work/goods.db" --static --key nothing >"$work/out" 2>"$work/err"
  [ $? = 2 ] || fail "status $? for a missing key"
  grep -qx "grid: the table goods has no key field nothing" "$work/err" || fail "message: $(cat "$work/err")"
  [ ! -s "$work/out" ] || fail "the screen was opened"
  "$GRID" "$work/goods.db" --key code >"$work/out" 2>"$work/err"
  [ $? = 2 ] || fail "status $? for a key that is not the tag's"
  grep -qx "grid: the tag name is keyed by id, not code (use --static for another key)" "$work/err" ||
    fail "message: $(cat "$work/err")"
  "$GRID" "$work/goods.db" --query "SELECT id, name FROM goods" >"$work/out" 2>"$work/err"
  [ $? = 2 ] || fail "status $? for a dynamic query without the key list"
  grep -q "needs %СписокИД% where the keys go" "$work/err" || fail "message: $(cat "$work/err")"
  [ ! -s "$work/out" ] || fail "the screen was opened"
  ;;
*)
  echo "no case named $case_name"
  exit 1
  ;;
esac
echo "ok: $case_name"
