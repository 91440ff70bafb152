#!/bin/bash
# Each tool's usage line and one of its error lines, in Russian under ru_RU.UTF-8 and in English
# under C.UTF-8, from the real programs. Usage: language_cases.sh TOOL, with the programs in $GRID,
# $VIEWER, $DEMO, $TAGS, $SCRIPT, $MAKE and $IMPORT.
set -u
tool=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/rowlark_language.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL ($tool): $*"; exit 1; }
locale -a | grep -qix 'ru_RU.utf-\?8' || fail "the ru_RU.UTF-8 locale is missing: run scripts/setup"

# Runs a command under locale $1; its standard error must hold $2 (a fixed text) and its status be $3.
expect() {
  local lang=$1 text=$2 status=$3
  shift 3
  LANGUAGE= LC_ALL=$lang LANG=$lang "$@" </dev/null >"$work/out" 2>"$work/err"
  local got=$?
  grep -qF -- "$text" "$work/err" || fail "$lang: $* said
$(cat "$work/err")
instead of: $text"
  [ "$got" = "$status" ] || fail "$lang: $* ended with $got, not $status"
  if [ "$lang" = ru_RU.UTF-8 ]; then
    # Nothing of the tool's own English is left: no line of it reads 'usage:' or 'no such'.
    grep -qE '(^|: )(usage|no such|unknown|cannot)' "$work/err" && fail "$lang: English left in: $(cat "$work/err")"
  fi
  return 0
}
both() {  # english russian status command...
  local english=$1 russian=$2 status=$3
  shift 3
  expect C.UTF-8 "$english" "$status" "$@"
  expect ru_RU.UTF-8 "$russian" "$status" "$@"
}

case $tool in
grid)
  "$MAKE" --name-order bytes "$work/goods.db" 20 5 >/dev/null || fail "no sample"
  both "usage: grid [--table T]" "вызов: grid [--table ТАБЛИЦА]" 2 "$GRID"
  both "grid: the database has no table nope" "grid: в базе данных нет таблицы nope" 2 "$GRID" "$work/goods.db" --table nope
  both "no such database file: $work/none.db" "нет такого файла базы данных: $work/none.db" 2 "$GRID" "$work/none.db"
  ;;
viewer)
  both "usage: viewer [--dynamic]" "вызов: viewer [--dynamic]" 2 "$VIEWER"
  both "viewer: --page takes a whole number from 1 to 1000, got 'x'" "viewer: --page принимает" 2 "$VIEWER" --page x db
  ;;
demo)
  both "usage: demo GOODS_DB [BIG_GOODS_DB]" "вызов: demo БАЗА_ТОВАРОВ" 2 "$DEMO"
  both "no such database file: $work/none.db" "нет такого файла базы данных: $work/none.db" 1 "$DEMO" "$work/none.db"
  ;;
tags)
  both "tags: usage: tags PATH list" "tags: вызов: tags ПУТЬ list" 2 "$TAGS" x
  both "tags: unknown command frob; usage:" "tags: неизвестная команда frob; вызов:" 2 "$TAGS" x frob
  both "no such database file: $work/none.db" "нет такого файла базы данных: $work/none.db" 1 "$TAGS" "$work/none.db" list
  ;;
script)
  both "usage: script FILE.1s" "вызов: script ФАЙЛ.1s" 2 "$SCRIPT"
  both "script: --work-date '31.02.2024' is not a day (DD.MM.YYYY)" "script: --work-date «31.02.2024» — не дата (ДД.ММ.ГГГГ)" 2 \
    "$SCRIPT" --work-date 31.02.2024 x.1s
  both "no such database file: $work/none.db" "нет такого файла базы данных: $work/none.db" 2 "$SCRIPT" x.1s --db "$work/none.db"
  ;;
make)
  both "make_sample_db: PATH and ROWS are needed, SEED may follow; usage:" \
    "make_sample_db: нужны ПУТЬ и СТРОК, можно добавить ЗАТРАВКУ; вызов: make_sample_db" 2 "$MAKE"
  both "make_sample_db: ROWS must be a whole number 0 or more, got 'many'" \
    "make_sample_db: СТРОК должно быть целым числом от 0, получено «many»" 2 "$MAKE" "$work/x.db" many
  ;;
import)
  both "import: a source table and a target are needed; usage: import" \
    "import: нужны исходная таблица и назначение; вызов: import" 2 "$IMPORT"
  both "a source is a .dbf table or a .dbc container, got a.txt" \
    "источником может быть таблица .dbf или контейнер .dbc, получено a.txt" 2 "$IMPORT" a.txt "$work/x.db"
  ;;
*)
  echo "no case named $tool"
  exit 1
  ;;
esac
echo "ok: $tool"
