#!/bin/bash
# The grid over a PostgreSQL server, driven in a real terminal by tmux as grid_tmux.sh drives it over a
# file: sample goods written to a schema of the test's own on the server named by $ROWLARK_PG (exit 77,
# skipped, without one), the grid opened with a connection string that puts that schema first.
# Usage: grid_server_tmux.sh CASE, with $GRID the program and $MAKE_SAMPLE_DB the sample generator.
set -u
export LC_ALL=C.UTF-8 LANG=C.UTF-8
case_name=$1
[ -n "${ROWLARK_PG:-}" ] || { echo "ROWLARK_PG is not set: no server to test against"; exit 77; }
socket=rowlark-test-$$
schema=rowlark_grid_$$
work=$(mktemp -d "${TMPDIR:-/tmp}/rowlark_grid.XXXXXX")
sql() { psql -X -q -t -A -v ON_ERROR_STOP=1 "$conn" -c "$1"; }
conn="$ROWLARK_PG options='-c search_path=$schema,public'"
cleanup() {
  tmux -L "$socket" kill-server 2>/dev/null
  sql "DELETE FROM public.rowlark_index_tags WHERE table_schema = '$schema'; DROP SCHEMA IF EXISTS $schema CASCADE" \
    >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
page=26

. "$(dirname "$0")/grid_tmux_helpers.sh"
# Starts the grid on the server with these options; its exit status goes to $work/status.
start() {
  local args=""
  [ $# -eq 0 ] || printf -v args ' %q' "$@"
  tmux -L "$socket" -f /dev/null new-session -d -s grid -x 100 -y 30 \
    "'$GRID' \"\$GRID_DB\"$args; echo \$? >'$work/status'; exec sleep 600"
}

# The name at 0-based position $1 of the name tag's order (trimmed, byte order, then id), as a column shows it.
value="rtrim(name, E' \\t\\n\\x0B\\f\\r') COLLATE \"C\""
name_at() { sql "SELECT substr(name, 1, 25) FROM goods ORDER BY $value, id LIMIT 1 OFFSET $1"; }
last_name() { sql "SELECT substr(name, 1, 25) FROM goods ORDER BY $value DESC, id DESC LIMIT 1"; }

sql "CREATE SCHEMA $schema" >/dev/null || fail "cannot make the test's schema on the server"
"$MAKE_SAMPLE_DB" --name-order bytes "$conn" 300 5 >/dev/null || fail "cannot write the sample goods to the server"
export GRID_DB="$conn"

case $case_name in
server_scroll)
  start
  wait_for "dynamic · goods · tag name"
  wait_line 2 "$(name_at 0)"
  keys NPage
  wait_line 2 "$(name_at $page)"
  keys End
  wait_for "$(last_name)"
  keys Home
  wait_line 2 "$(name_at 0)"
  keys q
  [ "$(wait_status)" = 0 ] || fail "the grid did not exit with 0"
  ;;
server_static_by_price)
  start --static --tag price
  wait_for "static · goods · tag price"
  wait_line 2 "$(sql "SELECT substr(name, 1, 25) FROM goods ORDER BY price, id LIMIT 1")"
  wait_for "row 1 of 300"
  keys q
  [ "$(wait_status)" = 0 ] || fail "the grid did not exit with 0"
  ;;
server_bad_table_refused)
  "$GRID" "$conn" --table nothing_here >"$work/out" 2>&1 </dev/null
  status=$?
  [ $status = 2 ] || { cat "$work/out"; fail "status $status, not 2"; }
  grep -qF "the database has no table nothing_here" "$work/out" || { cat "$work/out"; fail "no reason given"; }
  ;;
*)
  echo "unknown case $case_name"
  exit 2
  ;;
esac
echo "ok ($case_name)"
