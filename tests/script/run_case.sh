#!/bin/bash
# Runs one script as a user does (from its own folder, so messages name it as NAME.1s) and compares
# its standard output and error, followed by "exit STATUS", with the expected text.
# Usage: run_case.sh SCRIPT_PROGRAM FOLDER NAME EXPECTED_FILE DATABASE
set -u
program=$1 folder=$2 name=$3 expected=$4 database=$5
out=$(mktemp "${TMPDIR:-/tmp}/rowlark_script_case.XXXXXX")
trap 'rm -f "$out"' EXIT
work=$(mktemp -d "${TMPDIR:-/tmp}/rowlark_script_db.XXXXXX")
trap 'rm -f "$out"; rm -rf "$work"' EXIT
# A copy: a script may write to its database, and cases must not see each other's changes.
cp "$database" "$work/goods.db"
cd "$folder" || exit 1
# NAME.input, when there is one, is what the user types (answers to questions); otherwise nothing.
input=/dev/null
[ -f "$name.input" ] && input=$name.input
"$program" "$name.1s" --db "$work/goods.db" <"$input" >"$out" 2>&1
echo "exit $?" >>"$out"
diff -u "$expected" "$out"
