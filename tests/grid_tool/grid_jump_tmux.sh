#!/bin/bash
# F7 to a percentage in a real terminal (tmux, 80 x 30) over a tag whose values are all equal: the
# rows start at the row that far into the tag's order, found by its key within the value, not at the
# value's first row; the status line and the row's true rank agree, and paging goes on from there.
# Usage: grid_jump_tmux.sh CASE (equal_values over a SQLite file, equal_values_server over the server
# named by $ROWLARK_PG: exit 77, skipped, without one), with $GRID the program and $TAGS the tags command.
set -u
export LC_ALL=C.UTF-8 LANG=C.UTF-8
case_name=$1
socket=rowlark-jump-$$
schema=rowlark_jump_$$
work=$(mktemp -d "${TMPDIR:-/tmp}/rowlark_jump.XXXXXX")
psql_run() { psql -X -q -t -A -v ON_ERROR_STOP=1 "$conn" -c "$1"; }
cleanup() {
  tmux -L "$socket" kill-server 2>/dev/null
  if [ "$case_name" = equal_values_server ]; then
    psql_run "DELETE FROM public.rowlark_index_tags WHERE table_schema = '$schema';
      DROP SCHEMA IF EXISTS $schema CASCADE" >/dev/null 2>&1
  fi
  rm -rf "$work"
}
trap cleanup EXIT

. "$(dirname "$0")/../tools/grid_tmux_helpers.sh"
# 300 rows of one kind, keyed 1 to 300 in a shuffled order of insertion (37 and 300 share no factor).
case $case_name in
equal_values)
  sqlite3 "$work/items.db" "CREATE TABLE items (id INTEGER PRIMARY KEY, kind TEXT, label TEXT);
    WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < 300)
    INSERT INTO items SELECT (i * 37) % 300 + 1, 'винт', 'item ' || i FROM s" || exit 1
  "$TAGS" "$work/items.db" add items by_kind kind id text >/dev/null || exit 1
  target="'$work/items.db'"
  ;;
equal_values_server)
  [ -n "${ROWLARK_PG:-}" ] || { echo "ROWLARK_PG is not set: no server to test against"; exit 77; }
  conn="$ROWLARK_PG options='-c search_path=$schema,public'"
  psql_run "CREATE SCHEMA $schema; CREATE TABLE items (id integer PRIMARY KEY, kind text, label text);
    INSERT INTO items SELECT (i * 37) % 300 + 1, 'винт', 'item ' || i FROM generate_series(1, 300) i;
    SELECT public.rowlark_add_index_tag('items', 'by_kind', 'kind', 'id', 'text', 'russian'); ANALYZE items" \
    >/dev/null || fail "cannot make the tagged table on the server"
  export GRID_DB="$conn"
  target='"$GRID_DB"'
  ;;
*)
  echo "no case named $case_name"
  exit 1
  ;;
esac

tmux -L "$socket" -f /dev/null new-session -d -s grid -x 80 -y 30 \
  "'$GRID' $target --table items --tag by_kind; echo \$? >'$work/status'; exec sleep 600"
current_key() { screen | grep -o '· id [0-9]* ·' | grep -o '[0-9]*'; }
# Whether the current row's key is at least $1 and at most $2 (its rank is the key less one).
key_within() {
  local key
  key=$(current_key)
  [ -n "$key" ] && [ "$key" -ge "$1" ] && [ "$key" -le "$2" ]
}

wait_for "· id 1 · 0 % ·"
keys F7
wait_for "go to per cent of by_kind: "
keys -l "50"
keys Enter
wait_gone "· id 1 · 0 % ·"
# The middle of 300 rows: rank 149 or 150, within a point of 50 % where statistics are coarser.
wait_for " % ·"
key_within 147 154 || fail "F7 to 50 % went to key $(current_key)"
screen | grep -qE '· (49|50|51) % ·' || fail "the status line does not say 50 %"
# Paging goes on from there, both ways.
first=$(current_key)
keys NPage
wait_gone "· id $first ·"
key_within 150 300 || fail "PgDn went to key $(current_key)"
keys F7
keys -l "100"
keys Enter
wait_for "· id 300 ·"
echo "ok: $case_name"
