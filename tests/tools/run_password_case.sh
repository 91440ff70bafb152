#!/bin/bash
# Runs one connection text of password_cases.txt through one tool as a row of run_case.sh: its exit
# status, its one-line message, no file made or changed, and the password's marker on no output.
# Usage: run_password_case.sh TABLE NAME TOOL, TOOL one of grid viewer make tags demo script; the
# tools come from $GRID, $VIEWER, $MAKE, $TAGS, $DEMO, $SCRIPT (which runs $EXAMPLES/static_browse.1s).
set -u
table=$1 name=$2 tool=$3
here=$(dirname "$0")

row=$(grep -v '^#' "$table" | awk -F' [|] ' -v n="$name" '$1 == n' | head -n 1)
[ -n "$row" ] || { echo "no case named $name"; exit 1; }
IFS=$'\x1f' read -r _ road message text <<<"$(sed 's/ | /\x1f/g' <<<"$row")"

if [ "$road" = live ]; then
    [ -n "${ROWLARK_PG:-}" ] || { echo "ROWLARK_PG is not set: no test server"; exit 77; }
    pg_port=$(sed -n 's/.*port=\([0-9]*\).*/\1/p' <<<"$ROWLARK_PG")
    pg_user=$(sed -n 's/.*user=\([^ ]*\).*/\1/p' <<<"$ROWLARK_PG")
    text=${text//'$PG_PORT'/$pg_port}
    text=${text//'$PG_USER'/$pg_user}
fi
export CONN=$text

# The tool's command over "$CONN", and its exit status for a server's text and for a file name.
case $tool in
    grid) command='"$GRID" "$CONN"' server_status=2 file_status=2 ;;
    viewer) command='"$VIEWER" "$CONN"' server_status=1 file_status=1 ;;
    make) command='"$MAKE" "$CONN" 5' server_status=1 file_status=1 ;;
    tags) command='"$TAGS" "$CONN" list' server_status=1 file_status=1 ;;
    demo) command='"$DEMO" "$CONN"' server_status=1 file_status=1 ;;
    script) command='"$SCRIPT" "$EXAMPLES/static_browse.1s" --db "$CONN"' server_status=1 file_status=2 ;;
    *) echo "unknown tool $tool"; exit 1 ;;
esac
if [ "$road" = file ]; then
    status=$file_status
elif [ "$tool" = tags ]; then
    status=$server_status message='tags works on SQLite files'
else
    # The 32-bit build has no server backend: every tool refuses a server's text.
    status=$server_status message="($message|this build has no PostgreSQL)"
fi

one_row=$(mktemp "${TMPDIR:-/tmp}/rowlark_password_case.XXXXXX")
trap 'rm -f "$one_row"' EXIT
printf '%s | %s | %s | - | : | %s |\n' "$tool.$name" "$status" "$message" "$command" >"$one_row"
SECRET=s3cret bash "$here/run_case.sh" "$one_row" "$tool.$name"
