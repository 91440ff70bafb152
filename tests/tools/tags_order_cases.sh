#!/bin/bash
# The order of the tags the tags command adds, over a table of mixed-case Cyrillic and Latin names made
# by plain sqlite3: a text tag is in the Russian order unless bytes are asked for (list shows
# "russian" as its sixth field), so the dynamic provider walks "арбуз", "Банан", "Вишня" ... and the
# Latin names after them; added with --order bytes it walks the code points, capitals first; a number
# tag orders by number. Usage: tags_order_cases.sh; the tools come from $TAGS and $VIEWER.
set -u
work=$(mktemp -d "${TMPDIR:-/tmp}/rowlark_tag_order.XXXXXX")
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
    [ "$got" = "$want" ] || fail "$*"$'\n'"  got:  $got"$'\n'"  want: $want"
}
# The keys of the dynamic provider's first page of eight rows, in the order served.
first_page() {
    printf 'q\n' | "$VIEWER" g.db --dynamic --page 8 | awk -F' *[|] *' '/^[0-9]/ { printf "%s ", $1 }'
}

sqlite3 g.db "CREATE TABLE goods (id INTEGER PRIMARY KEY, code TEXT, name TEXT, price REAL, qty INTEGER, note TEXT);
  INSERT INTO goods VALUES (1, 'К-1', 'Вишня', 3, 1, NULL), (2, 'К-2', 'арбуз', 1, 1, NULL),
    (3, 'К-3', 'Банан', 2, 1, NULL), (4, 'К-4', 'ёлка', 8, 1, NULL), (5, 'К-5', 'Груша', 4, 1, NULL),
    (6, 'К-6', 'apple', 7, 1, NULL), (7, 'К-7', 'Zebra', 6, 1, NULL), (8, 'К-8', 'ЁЖ', 5, 1, NULL);" || exit 1

expect "added tag 'name' to table 'goods'" "$TAGS" g.db add goods name name id text
expect "added tag 'price' to table 'goods'" "$TAGS" g.db add goods price price id number
expect $'name\tgoods\tname\tid\ttext\trussian\nprice\tgoods\tprice\tid\tnumber' "$TAGS" g.db list
# Case aside and Ё as Е, the Cyrillic names first.
got=$(first_page)
[ "$got" = "2 3 1 5 8 4 6 7 " ] || fail "Russian order: got '$got'"

expect "dropped tag 'name' of table 'goods'" "$TAGS" g.db drop name
expect "added tag 'name' to table 'goods'" "$TAGS" g.db add goods name name id text --order bytes
expect $'name\tgoods\tname\tid\ttext\nprice\tgoods\tprice\tid\tnumber' "$TAGS" g.db list
# Code points: Latin capitals, small Latin, Ё, the Cyrillic capitals, then the small letters.
got=$(first_page)
[ "$got" = "7 6 8 3 1 5 2 4 " ] || fail "byte order: got '$got'"
exit $failed
