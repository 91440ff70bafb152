#!/bin/bash
# The grid as a Russian and an English user see it, in a real terminal (tmux, 100 x 30): the help
# line, status and messages in the user's language with numbers grouped as the locale groups them,
# columns that keep their width while paging, numbers with their declared decimals, ISO dates in the
# locale's form, the static provider opening on the tag named, and the dynamic provider refusing to
# type in a column it cannot search.
# Usage: grid_locale_tmux.sh CASE, with $GRID the program and $MAKE the sample database maker.
set -u
export LANGUAGE=
case_name=$1
runs=0
socket=rowlark-locale-$$-$runs
work=$(mktemp -d "${TMPDIR:-/tmp}/rowlark_grid_locale.XXXXXX")
stop_all() {
  for n in $(seq 0 $runs); do tmux -L "rowlark-locale-$$-$n" kill-server 2>/dev/null; done
  rm -rf "$work"
}
trap stop_all EXIT
page=26  # 30 lines less the header, the status line and the two pane lines
rows=5000

. "$(dirname "$0")/grid_tmux_helpers.sh"
locale -a | grep -qix 'ru_RU.utf-\?8' || fail "the ru_RU.UTF-8 locale is missing: run scripts/setup"
"$MAKE" --name-order bytes "$work/goods.db" $rows 5 >/dev/null || fail "the sample database was not made"
# A table of our own with declared sizes, whose values widen from page to page.
sqlite3 "$work/goods.db" "CREATE TABLE lots (id NUMERIC(6) PRIMARY KEY, label VARCHAR(24), amount NUMERIC(12,2), made DATE);
  WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400)
  INSERT INTO lots SELECT i, substr('abcdefghijklmnopqrstuvwxyz', 1, 1 + i / 20),
    CASE i WHEN 1 THEN 982527.5 ELSE i * 7 + 0.25 * (i % 4) END, date('2024-01-01', '+' || i || ' days') FROM n;"

# Starts the grid under locale $1 with the options that follow; its exit status goes to $work/status.
start_in() {
  local lang=$1 args=""
  shift
  [ $# -eq 0 ] || printf -v args ' %q' "$@"
  # A server of its own for each run: a new server on a socket whose old server is still going down
  # can be refused.
  tmux -L "$socket" kill-server 2>/dev/null
  runs=$((runs + 1))
  socket=rowlark-locale-$$-$runs
  rm -f "$work/status"
  tmux -L "$socket" -f /dev/null new-session -d -s grid -x 100 -y 30 \
    "LC_ALL=$lang LANG=$lang '$GRID' '$work/goods.db'$args; echo \$? >'$work/status'; exec sleep 600"
}
# A number as the locale $1 groups it (coreutils printf reads the locale as the grid does).
grouped() { env LC_ALL="$1" printf "%'d" "$2"; }
name_at() {
  local name
  name=$(sqlite3 "$work/goods.db" "SELECT name FROM goods ORDER BY rtrim(name), id LIMIT 1 OFFSET $1")
  echo "${name:0:25}"
}
help_line() { screen | tail -1; }
# Waits until the help line holds text $1.
help_holds() { help_line | grep -qF -- "$1"; }
wait_help() { until_true help_holds "$1" || fail "the help line never showed: $1"; }
# Where the column separators of screen line $1 stand, as a picture: every other character a dot.
separators() { screen | sed -n "${1}p" | sed 's/[^│]/./g; s/\.*$//'; }

case $case_name in
russian_status_and_help)
  start_in ru_RU.UTF-8 --static
  wait_for "статический · goods · тег name"
  wait_for "строка 1 из $(grouped ru_RU.UTF-8 $rows) ·"
  wait_for " мс"
  wait_help "F2 к ключу · Esc сброс"
  wait_help "q выход"
  keys End
  wait_for "строка $(grouped ru_RU.UTF-8 $rows) из $(grouped ru_RU.UTF-8 $rows) ·"
  # The dynamic provider gives the row count, with the plural form the number takes.
  start_in ru_RU.UTF-8
  wait_for "динамический · goods · тег name"
  wait_for " мс"
  wait_help "F4 границы"
  [ "$(grouped ru_RU.UTF-8 $rows)" != "$rows" ] || fail "the Russian locale groups no digits"
  ;;
english_status_and_help)
  start_in C.UTF-8 --static
  wait_for "static · goods · tag name"
  wait_for "row 1 of 5,000 ·"
  wait_help "F2 go to key · Esc clears"
  start_in C.UTF-8 --static --table lots
  wait_for "row 1 of 400 ·"
  keys End
  wait_for "row 400 of 400 ·"
  ;;
help_tells_how_to_quit_while_typing)
  # While a search text is typed q is a letter: the help line says F10 quits, in either language.
  for lang in C.UTF-8 ru_RU.UTF-8; do
    if [ $lang = C.UTF-8 ]; then quit_q="q quits" quit_f10="F10 quits"; else quit_q="q выход" quit_f10="F10 выход"; fi
    start_in $lang --static --tag name
    wait_line 2 "$(name_at 0)"
    wait_help "$quit_q"
    keys -l "Б"
    wait_help "$quit_f10"
    help_line | grep -qF "$quit_q" && fail "$lang: the help line still says $quit_q while q is a letter"
    keys Escape
    wait_help "$quit_q"
  done
  ;;
widths_kept_over_ten_pages)
  # Every column keeps its width and place over ten pages, though the values widen as the ids grow.
  for lang in C.UTF-8 ru_RU.UTF-8; do
    start_in $lang --table lots
    wait_line 2 "982527.50"
    header=$(screen | sed -n 1p)
    picture=$(separators 1)
    [ "$(separators 2)" = "$picture" ] || fail "$lang: the first row's columns are not the header's"
    for k in $(seq 1 10); do
      keys NPage
      wait_line 2 "$((k * page + 1)) │"
      [ "$(screen | sed -n 1p)" = "$header" ] || fail "$lang: the header changed on page $((k + 1))"
      for line in 2 $((page + 1)); do
        [ "$(separators $line)" = "$picture" ] || fail "$lang: the columns moved on page $((k + 1)), line $line"
      done
    done
  done
  ;;
declared_scale_and_dates)
  # NUMERIC(12,2) shows two decimals, the points one above the other; a DATE shows as the locale
  # writes dates.
  start_in C.UTF-8 --table lots
  wait_line 2 "982527.50 │ 2024-01-02"
  wait_line 3 "14.50 │ 2024-01-03"
  wait_line 5 "28.00 │ 2024-01-05"
  points=$(screen | sed -n '2,6p' | awk -F'│' '{ print index($3, ".") }' | sort -u)
  [ "$(echo "$points" | wc -l)" = 1 ] || fail "the decimal points are not one above the other: $points"
  start_in ru_RU.UTF-8 --table lots
  wait_line 2 "982527.50 │ 02.01.2024"
  wait_line 5 "28.00 │ 05.01.2024"
  ;;
static_opens_on_the_tag_named)
  # The tag named is the column typing searches at once, without moving to it.
  start_in C.UTF-8 --static --tag code
  wait_for "static · goods · tag code"
  keys -l "П-0001"
  wait_for 'find "П-0001"'
  wait_line 2 "$(sqlite3 "$work/goods.db" "SELECT code FROM goods WHERE code >= 'П-0001' ORDER BY rtrim(code), id LIMIT 1")"
  screen | grep -qF "nothing in" && fail "the search went to another column"
  start_in ru_RU.UTF-8 --static --tag name
  wait_line 2 "$(name_at 0)"
  keys -l "Ба"
  wait_for "поиск «Ба»"
  wait_line 2 "$(sqlite3 "$work/goods.db" "SELECT substr(name, 1, 25) FROM goods WHERE name >= 'Ба' ORDER BY rtrim(name), id LIMIT 1")"
  ;;
dynamic_refuses_another_column)
  # The dynamic provider starts its range in its tag's column only: in another one it says so and
  # the grid stays where it was.
  start_in C.UTF-8
  wait_line 2 "$(name_at 0)"
  keys Left
  keys -l "Б"
  wait_for "the dynamic provider searches only by its tag name: typing starts there in the column name, not code"
  screen | grep -qF 'from "Б"' && fail "the tag was searched anyway"
  wait_line 2 "$(name_at 0)"
  keys Right
  keys -l "Б"
  wait_for 'from "Б"'
  start_in ru_RU.UTF-8
  wait_line 2 "$(name_at 0)"
  keys Left
  keys -l "Б"
  wait_for "динамический поставщик ищет только по тегу name: набирайте в колонке name, а не code"
  wait_line 2 "$(name_at 0)"
  ;;
*)
  echo "no case named $case_name"
  exit 1
  ;;
esac
echo "ok: $case_name"
