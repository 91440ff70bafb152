#!/bin/bash
# Every tool that prints data or names, over a table whose every text holds every C0 and C1 control,
# the direction controls, escape sequences that would retitle or clear the terminal, bytes that are
# not UTF-8, and wide and zero-width characters. Each tool must show one line per row, every column
# separator at the same screen column on every line of a table, and give the terminal no control
# byte or direction mark of the data's.
# Usage: terminal_safety.sh CASE (grid_static, grid_dynamic, viewer, demo, tags, script, messages); the tools
# come from $GRID, $VIEWER, $DEMO, $TAGS and $SCRIPT.
set -u
export LC_ALL=C.UTF-8 LANG=C.UTF-8
case_name=$1
socket=rowlark-safety-$$
work=$(mktemp -d "${TMPDIR:-/tmp}/rowlark_safety.XXXXXX")
trap 'tmux -L "$socket" kill-server 2>/dev/null; rm -rf "$work"' EXIT
here=$(cd "$(dirname "$0")" && pwd)
. "$here/grid_tmux_helpers.sh"
rows=8

# The hostile pieces as SQL expressions; each text holds all of them, rotated so that every one of
# them falls within the first columns of some row (cells are cut to their column's width).
pieces=()
for c in $(seq 0 31) 127 $(seq 128 159) 1564 8206 8207 8232 8233 $(seq 8234 8238) $(seq 8294 8297); do
  pieces+=("char($c)")
done
pieces+=("char(27)||']2;HACKED'||char(7)" "char(27)||'#8'" "char(27)||'[2J'" "char(27)||'c'"
         "CAST(x'FF' AS TEXT)" "CAST(x'C3' AS TEXT)||'a'" "'漢字'" "'Ａ'" "char(128512)" "'e'||char(769)"
         "char(8203)" "char(8205)" "'Ж'")
hostile() {  # the text rotated by $1 pieces, as one SQL expression
  local n=${#pieces[@]} out="''" k
  for ((k = 0; k < n; k++)); do out+="||${pieces[$(((k + $1) % n))]}"; done
  echo "$out"
}
{
  echo "CREATE TABLE goods (id INTEGER PRIMARY KEY, code TEXT, name TEXT, price REAL, qty INTEGER, note TEXT);"
  for ((r = 1; r <= rows; r++)); do
    echo "INSERT INTO goods VALUES ($r, 'C$r'||$(hostile $((r * 11))), 'N$r'||$(hostile $((r * 11 + 24))),"
    echo "  $r.5, $r, 'T$r'||$(hostile $((r * 11 + 48))));"
  done
} >"$work/make.sql"
sqlite3 "$work/goods.db" <"$work/make.sql" || { echo "FAIL: the table could not be made"; exit 1; }

fail() {
  echo "FAIL ($case_name): $*"
  [ -s "$work/out" ] && { echo "--- output:"; cat -v "$work/out"; }
  [ -n "${socket_used:-}" ] && { echo "--- screen:"; screen; }
  exit 1
}

# Raw bytes a terminal obeys: C0 controls but the allowed ones ($2, e.g. $'\n'), DEL, escape
# sequences that retitle, reset or fill the screen, C1 controls and direction controls in UTF-8.
check_bytes() {
  local file=$1 allowed=${2:-}
  LC_ALL=C grep -qaP '\x1b\]|\x1b#|\x1bc|\x07|\x7f|\xc2[\x80-\x9f]|\xd8\x9c|\xe2\x80[\x8e\x8f\xa8-\xae]|\xe2\x81[\xa6-\xaf]' "$file" &&
    fail "a control, escape sequence or direction mark of the data reached the terminal"
  iconv -f UTF-8 -t UTF-8 "$file" >/dev/null 2>&1 || fail "bytes that are not UTF-8 reached the terminal"
  [ "$allowed" = any-escape ] && return 0
  local stripped
  stripped=$(LC_ALL=C tr -d "\n$allowed" <"$file" | LC_ALL=C tr -d '\040-\176\200-\377' | wc -c)
  [ "$stripped" = 0 ] || fail "$stripped raw control bytes reached the terminal"
}

# The screen columns at which $2 (a separator character) stands in line $1.
separator_columns() {
  local line=$1 mark=$2 prefix="" rest=$1 columns=""
  while [[ $rest == *"$mark"* ]]; do
    prefix+=${rest%%"$mark"*}
    columns+=" $(printf '%s' "$prefix" | wc -L)"
    prefix+=$mark
    rest=${rest#*"$mark"}
  done
  echo "$columns"
}

# The printed tables of $work/out: a line that opens with "#", "==", "loaded ", "opened in ", is
# empty or "(no rows)" ends a table, one that opens with "id " starts one; in each, the rule's "+"
# and every line's "|" stand at the header's columns, and no row's first column (its id) shows twice.
check_tables() {
  local header="" line seen=" " tables=0 id
  while IFS= read -r line; do
    if [[ -z $line || $line == "#"* || $line == "=="* || $line == "loaded "* || $line == "opened in "* ||
          $line == "(no rows)" ]]; then
      header="" seen=" "
      continue
    fi
    if [ -z "$header" ] || [[ $line == "id "*"|"* ]]; then
      header=$(separator_columns "$line" "|") seen=" "
      [ -n "$header" ] || fail "a line that is neither a table's header nor a row: $line"
      tables=$((tables + 1))
    elif [[ $line == -* ]]; then
      [ "$(separator_columns "$line" "+")" = "$header" ] || fail "the rule's columns differ from the header's: $line"
    else
      [ "$(separator_columns "$line" "|")" = "$header" ] || fail "a row's columns stand elsewhere than the header's: $line"
      id=${line%%|*} id=${id// /}
      [[ $id =~ ^[0-9]+$ ]] || fail "a row does not begin with its id: $line"
      [[ $seen == *" $id "* ]] && fail "row $id shows twice (a cell was broken across lines)"
      seen+="$id "
    fi
  done <"$work/out"
  [ "$tables" -gt 0 ] || fail "no table was printed"
}

grid_case() {
  # The grid starts once its raw output is being recorded; the pane's title must stay its own.
  socket_used=1
  tmux -L "$socket" -f /dev/null new-session -d -s grid -x 100 -y 30 \
    "while [ ! -e '$work/go' ]; do sleep 0.05; done; '$GRID' '$work/goods.db' $*; echo \$? >'$work/status'; exec sleep 600"
  tmux -L "$socket" pipe-pane -o -t grid "cat >'$work/raw'"
  touch "$work/go"
  wait_for " · goods · "
  local ids="" header="" y line id
  for ((y = 1; y <= rows + 1; y++)); do
    line=$(tmux -L "$socket" capture-pane -p -e -t grid -S $((y - 1)) -E $((y - 1)) | sed 's/\x1b\[[0-9;]*m//g')
    [ $y = 1 ] && { header=$(separator_columns "$line" "│"); [ -n "$header" ] || fail "no header on line 1"; continue; }
    [ "$(separator_columns "$line" "│")" = "$header" ] || fail "row on line $y has its columns elsewhere than the header's: $line"
    id=${line%%│*} id=${id// /}
    ids+=" $id"
  done
  [ "$(echo $ids | tr ' ' '\n' | sort -n | tr '\n' ' ')" = "$(seq 1 $rows | tr '\n' ' ')" ] ||
    fail "the rows' ids read$ids instead of each of 1 to $rows once"
  # Below the last row only the dynamic grid's scrollbar (░ and its thumb █ in the last column) may stand.
  [ -z "$(screen | sed -n "$((rows + 2))p" | sed 's/[░█]$//' | tr -d ' ')" ] || fail "a row spilled onto the line below the last row"
  tmux -L "$socket" display -p -t grid '#{pane_title}' | grep -q HACKED && fail "the data retitled the terminal"
  keys q
  wait_status >/dev/null
  check_bytes "$work/raw" any-escape
}

case $case_name in
grid_static) grid_case --static ;;
grid_dynamic) "$TAGS" "$work/goods.db" add goods name name id text >/dev/null || fail "no tag"; grid_case ;;
viewer)
  printf 'n\nend\nq\n' | "$VIEWER" --page $rows "$work/goods.db" >"$work/out" 2>&1 || fail "the viewer failed"
  check_bytes "$work/out"
  check_tables
  ;;
demo)
  "$TAGS" "$work/goods.db" add goods name name id text >/dev/null || fail "no tag"
  "$DEMO" "$work/goods.db" "$work/goods.db" >"$work/out" 2>&1 || fail "the demo failed"
  check_bytes "$work/out"
  check_tables
  ;;
script)
  printf '%s\n' 'Соединение = СоздатьОбъект("OLEDBData");' 'Соединение.Открыть(ПутьКБазе);' \
    'Провайдер = СоздатьОбъект("Рядовид.Провайдер.OleDb.VFP.Статический");' \
    'Провайдер.ТекстЗапроса = "SELECT id, code, name, price, qty, note FROM goods ORDER BY id";' \
    'Провайдер.КлючевоеПоле = "id";' 'Провайдер.УстановитьПодключение(Соединение);' 'Провайдер.ПолучитьДанные();' \
    'Сетка = СоздатьОбъект("Сетка");' 'Сетка.УстановитьПровайдер(Провайдер);' 'Сетка.Показать();' >"$work/show.1s"
  "$SCRIPT" "$work/show.1s" --db "$work/goods.db" >"$work/out" 2>&1 || fail "the script failed"
  # The module's one warning that texts were replaced goes before the table.
  sed -i '/^Текст из базы данных содержит символы/d' "$work/out"
  check_bytes "$work/out"
  check_tables
  # The script's own texts, every control of the code page in them, by each road the runner prints.
  printf '%s\n' 'Т = "";' 'Для К = 0 По 31 Цикл Т = Т + Симв(К); КонецЦикла;' 'Т = Т + Симв(127) + "!";' \
    'Сообщить(Т);' 'Сообщить(Т, "!");' 'Состояние(Т);' 'Предупреждение(Т);' 'ВызватьИсключение Т;' >"$work/texts.1s"
  "$SCRIPT" "$work/texts.1s" >"$work/texts" 2>&1
  [ $? = 1 ] || fail "the texts script did not end in its raised error"
  check_bytes "$work/texts"
  ;;
messages)
  # The tools' own lines that quote a user's name or a database's message: a path and a tag
  # expression with controls in them reach the terminal by their stand-ins, each on one line.
  "$DEMO" "$work/"$'x\e[2J\ry\b.db' >"$work/out" 2>&1 && fail "the demo opened a missing file"
  grep -q 'no such database file: .*x␛\[2J␍y␈\.db$' "$work/out" || fail "the missing file is not named by its stand-ins"
  sqlite3 "$work/goods.db" "CREATE TABLE rowlark_index_tags (table_name TEXT, tag TEXT, expression TEXT, key_field TEXT,
    kind TEXT, index_name TEXT); INSERT INTO rowlark_index_tags VALUES ('goods', 'name', 'no' || char(27, 91) || '2J'
    || char(13) || 'pe', 'id', 'text', 'goods_name');" || fail "the broken tag could not be made"
  "$VIEWER" "$work/goods.db" --dynamic </dev/null >>"$work/out" 2>&1 && fail "the viewer served a broken tag"
  check_bytes "$work/out"
  [ "$(wc -l <"$work/out")" = 2 ] || fail "each message should take one line"
  grep -q '^ПолучитьДанные: .*␛' "$work/out" || fail "the database's message is not shown with its stand-ins"
  ;;
tags)
  # Names as a script or a careless paste would give them (an argument cannot hold NUL).
  : >"$work/out"
  for name in $'tag\e]2;HACKED\a\r\bx\u202e\u2066漢\xff\xc2\x9by\t\nz\x7f\e#8' $'\x01\x1b[2Je\u0301\u200bＡ\u061c\x85'; do
    "$TAGS" "$work/goods.db" add goods "$name" name id text >>"$work/out" 2>&1 || fail "tags add refused: $(cat -v "$work/out")"
  done
  "$TAGS" "$work/goods.db" list >>"$work/out" 2>&1 || fail "tags list failed"
  check_bytes "$work/out" $'\t'
  [ "$(wc -l <"$work/out")" = 4 ] || fail "two tags added and listed should take four lines"
  [ "$(grep -c '^added tag .* to table .goods.$' "$work/out")" = 2 ] || fail "an added tag's line is broken"
  # Six fields each: a text tag is in the Russian order unless added with --order bytes.
  [ "$(tail -2 "$work/out" | awk -F'\t' 'NF == 6 && $5 == "text" && $6 == "russian"' | wc -l)" = 2 ] ||
    fail "a listed tag's line is broken"
  ;;
*) fail "unknown case" ;;
esac
echo "ok ($case_name)"
