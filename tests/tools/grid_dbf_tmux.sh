#!/bin/bash
# The grid over a FoxPro table named directly (grid FILE.dbf), in a real terminal (tmux, 110 x 20):
# imported once into the cache, its Russian texts shown, scrolled by a tag of its .cdx, opened from
# the cache again without a new import, and numbers a double cannot hold shown with every digit.
# Usage: grid_dbf_tmux.sh CASE, with $GRID the program and $FOXPRO the shared FoxPro tables.
set -u
case_name=$1
socket=rowlark-dbf-$$
work=$(mktemp -d "${TMPDIR:-/tmp}/rowlark_grid_dbf.XXXXXX")
trap 'tmux -L "$socket" kill-server 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/grid_tmux_helpers.sh"
cp "$FOXPRO/cp1251.dbf" "$FOXPRO"/vfp_database/* "$work/"

# Starts the grid on $work/$1 with the options that follow; its exit status goes to $work/status.
start() {
  local table=$1 args=""
  shift
  [ $# -eq 0 ] || printf -v args ' %q' "$@"
  # A server of its own for each start: a new server on a socket whose old server is still going
  # away can be refused ("server exited unexpectedly").
  tmux -L "$socket" kill-server 2>/dev/null
  starts=$((${starts:-0} + 1))
  socket=rowlark-dbf-$$-$starts
  rm -f "$work/status"
  tmux -L "$socket" -f /dev/null new-session -d -s grid -x 110 -y 20 \
    "XDG_CACHE_HOME='$work/cache' LC_ALL=C.UTF-8 '$GRID' '$work/$table'$args; echo \$? >'$work/status'; exec sleep 600"
}
# A Visual FoxPro table (code page 1251) of one record: an N(20,0), an N(20,4) and a currency field at
# values a double cannot hold, written byte by byte (header, field descriptors, backlink, record).
write_exact_numbers() {
  /usr/bin/python3 - "$1" <<'EOF'
import struct, sys
fields = [(b'ACCT', b'N', 20, 0), (b'AMOUNT', b'N', 20, 4), (b'MONEY', b'Y', 8, 4)]
record = b' 40702810900000012345-99999999999999.9999' + struct.pack('<q', -9223372036854775808)
header = 32 + 32 * len(fields) + 1 + 263
table = struct.pack('<B3BIHH16xBB2x', 0x30, 126, 12, 8, 1, header, len(record), 0, 0xC9)
offset = 1
for name, kind, length, decimals in fields:
    table += struct.pack('<11scIBB14x', name, kind, offset, length, decimals)
    offset += length
open(sys.argv[1], 'wb').write(table + b'\r' + bytes(263) + record + b'\x1a')
EOF
}
quit() {
  keys q
  [ "$(wait_status)" = 0 ] || fail "the grid did not exit with 0"
}

case $case_name in
  russian_texts)
    start cp1251.dbf
    wait_for "амбулаторно-поликлиническое"
    wait_for "образовательное медицинское"
    wait_for "static · cp1251 · recno 1"
    quit
    [ "$(ls "$work/cache/rowlark" | wc -l)" = 1 ] || fail "no single copy in the cache"
    copy=$(ls "$work/cache/rowlark")
    stamp=$(stat -c %Y.%N "$work/cache/rowlark/$copy")
    start cp1251.dbf
    wait_for "больничное"
    quit
    [ "$(stat -c %Y.%N "$work/cache/rowlark/$copy")" = "$stamp" ] || fail "the unchanged table was imported again"
    ;;
  scroll_by_cdx_tag)
    # contacts.CDX orders by type_id (its key expression names the container's long name): contacts 2, 4, 5, 1, 3.
    start contacts.dbf --tag type_id --columns contact_id,contact_type_id,first_name
    wait_for "dynamic · contacts · tag type_id · contact_id 2"
    keys End
    wait_for "contact_id 3 "
    keys Home
    wait_for "contact_id 2 "
    keys Down
    wait_for "contact_id 4 "
    quit
    ;;
  exact_numbers)
    write_exact_numbers "$work/exact.dbf"
    start exact.dbf
    wait_for "static · exact · recno 1"
    wait_for " 40702810900000012345 "
    wait_for " -99999999999999.9999 "
    wait_for " -922337203685477.5808"
    quit
    ;;
  *) fail "no such case" ;;
esac
echo "ok ($case_name)"
