#!/bin/bash
# The tags command over a table made by plain sqlite3, as a user's own table would be: adds tags
# (which makes the catalogue), lists them, scrolls the table through the dynamic provider in the
# viewer, drops them; the table's schema and rows stay byte for byte the same throughout. Then the
# orders of the tags it adds: Russian for text unless bytes are asked for.
# Usage: tags_cases.sh; the tools come from $TAGS and $VIEWER.
set -u
work=$(mktemp -d "${TMPDIR:-/tmp}/rowlark_tags.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failed=0
fail() { echo "FAILED: $*"; failed=1; }
# Runs the command, expecting status 0 and exactly the given standard output.
expect() {
    local want=$1; shift
    local got status
    got=$("$@" 2>err.txt); status=$?
    [ "$status" = 0 ] || fail "$* exited $status: $(cat err.txt)"
    [ ! -s err.txt ] || fail "$* wrote to standard error: $(cat err.txt)"
    [ "$got" = "$want" ] || fail "$*"$'\n'"  got:  $got"$'\n'"  want: $want"
}
user_data() {
    sqlite3 g.db "SELECT sql FROM sqlite_schema WHERE name = 'goods'; SELECT * FROM goods ORDER BY id;" | sha256sum
}

# 60 goods with names out of key order, repeated names and trailing blanks.
sqlite3 g.db "CREATE TABLE goods (id INTEGER PRIMARY KEY, code TEXT, name TEXT, price REAL, qty INTEGER, note TEXT);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 60)
INSERT INTO goods SELECT (i * 37) % 61, 'К-' || i,
  CASE i % 5 WHEN 0 THEN 'Яблоко' WHEN 1 THEN 'Груша  ' WHEN 2 THEN 'арбуз' WHEN 3 THEN 'Вишня' ELSE 'Банан' END || ' ' || (i % 7),
  i * 1.25, i % 9, NULL FROM n;" || exit 1
before=$(user_data)

# In byte order, asked for: the pages below are computed by plain sqlite3 (the Russian order is tried at the end).
expect "added tag 'name' to table 'goods'" "$TAGS" g.db add goods name name id text --order bytes
expect "added tag 'Price' to table 'goods'" "$TAGS" g.db add GOODS Price 'price * 2' ID number
expect $'name\tgoods\tname\tid\ttext\nPrice\tgoods\tprice * 2\tid\tnumber' "$TAGS" g.db list
[ "$(user_data)" = "$before" ] || fail "adding tags changed the table"

# The dynamic provider walks the new tag: the first page holds the first keys in name order.
want=$(sqlite3 g.db "SELECT id FROM goods ORDER BY rtrim(name), id LIMIT 4" | tr '\n' ' ')
got=$(printf 'q\n' | "$VIEWER" g.db --dynamic --page 4 | awk -F' *[|] *' '/^[0-9]/ { printf "%s ", $1 }')
[ "$got" = "$want" ] || fail "first dynamic page: got '$got', want '$want'"
# ... and its last page the last keys.
want=$(sqlite3 g.db "SELECT id FROM (SELECT id, name FROM goods ORDER BY rtrim(name) DESC, id DESC LIMIT 4)
  ORDER BY rtrim(name), id" | tr '\n' ' ')
got=$(printf 'end\nq\n' | "$VIEWER" g.db --dynamic --page 4 | awk -F' *[|] *' '/^[0-9]/ { n++ } /^[0-9]/ && n > 4 { printf "%s ", $1 }')
[ "$got" = "$want" ] || fail "last dynamic page: got '$got', want '$want'"

expect "dropped tag 'Price' of table 'goods'" "$TAGS" g.db drop price
expect $'name\tgoods\tname\tid\ttext' "$TAGS" g.db list
expect "dropped tag 'name' of table 'goods'" "$TAGS" g.db drop NAME goods
expect "" "$TAGS" g.db list
[ "$(sqlite3 g.db "SELECT count(*) FROM sqlite_schema WHERE type = 'index' AND name LIKE 'rowlark_tag_%'")" = 0 ] ||
    fail "an index of a dropped tag is left"
[ "$(user_data)" = "$before" ] || fail "dropping tags changed the table"
[ "$(sqlite3 g.db 'PRAGMA integrity_check')" = ok ] || fail "integrity check"

# A tag dropped can be added again.
expect "added tag 'name' to table 'goods'" "$TAGS" g.db add goods name name id text

# The orders over mixed-case Cyrillic and Latin names: a text tag is in the Russian order unless bytes are
# asked for (list shows "russian" as its sixth field), a number tag orders by number.
first_page() {
    printf 'q\n' | "$VIEWER" o.db --dynamic --page 8 | awk -F' *[|] *' '/^[0-9]/ { printf "%s ", $1 }'
}
sqlite3 o.db "CREATE TABLE goods (id INTEGER PRIMARY KEY, code TEXT, name TEXT, price REAL, qty INTEGER, note TEXT);
  INSERT INTO goods (id, name, price) VALUES (1, 'Вишня', 3), (2, 'арбуз', 1), (3, 'Банан', 2), (4, 'ёлка', 8),
    (5, 'Груша', 4), (6, 'apple', 7), (7, 'Zebra', 6), (8, 'ЁЖ', 5);" || exit 1
expect "added tag 'name' to table 'goods'" "$TAGS" o.db add goods name name id text
expect "added tag 'price' to table 'goods'" "$TAGS" o.db add goods price price id number
expect $'name\tgoods\tname\tid\ttext\trussian\nprice\tgoods\tprice\tid\tnumber' "$TAGS" o.db list
# Case aside and Ё as Е, the Cyrillic names first.
[ "$(first_page)" = "2 3 1 5 8 4 6 7 " ] || fail "Russian order: got '$(first_page)'"
expect "dropped tag 'name' of table 'goods'" "$TAGS" o.db drop name
expect "added tag 'name' to table 'goods'" "$TAGS" o.db add goods name name id text --order bytes
expect $'name\tgoods\tname\tid\ttext\nprice\tgoods\tprice\tid\tnumber' "$TAGS" o.db list
# Code points: Latin capitals, small Latin, Ё, the Cyrillic capitals, then the small letters.
[ "$(first_page)" = "7 6 8 3 1 5 2 4 " ] || fail "byte order: got '$(first_page)'"
exit $failed
