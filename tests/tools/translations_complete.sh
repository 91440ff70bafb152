#!/bin/bash
# Every text the tools mark for translation has its Russian form, so no English is left under
# ru_RU: each source file that marks texts is listed in po/POTFILES, and every text marked there
# (extracted as the build's rowlark_update_po target extracts it) has a msgstr in po/ru.po that is
# neither empty nor fuzzy.
# Usage: translations_complete.sh SOURCE_DIR
set -u
cd "$1" || exit 1
work=$(mktemp -d "${TMPDIR:-/tmp}/rowlark_po.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# tools/i18n itself only shows the markers in its comments.
grep -rlE '\b(_|N_|Plural)\("' tools --include=*.cpp --include=*.h | grep -v '^tools/i18n/' | sort >"$work/marking"
sort po/POTFILES >"$work/listed"
unlisted=$(comm -23 "$work/marking" "$work/listed")
[ -z "$unlisted" ] || fail "files that mark texts but are not in po/POTFILES: $unlisted"

xgettext --from-code=UTF-8 --language=C++ --keyword=_ --keyword=N_ --keyword=Plural:1,2 --no-wrap \
  --files-from=po/POTFILES --output="$work/tools.pot" || fail "xgettext could not read the sources"
[ -s "$work/tools.pot" ] || fail "no text was extracted"
# msgcmp counts an empty or fuzzy translation as missing.
msgcmp po/ru.po "$work/tools.pot" 2>"$work/missing" ||
  fail "texts without a Russian translation in po/ru.po (run the rowlark_update_po target, then translate):
$(grep -A1 'this message' "$work/missing" | head -40)"
statistics=$(msgfmt --statistics -o /dev/null po/ru.po 2>&1)
case $statistics in
  *untranslated* | *fuzzy*) fail "po/ru.po: $statistics" ;;
esac
echo "ok: $statistics"
