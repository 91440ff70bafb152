#pragma once
// Translates a FoxPro index key expression into an SQL expression over the imported columns
// (SQLite's dialect, the tag catalogue's), so a .cdx tag can become an index tag there. A field,
// UPPER/LOWER, DTOS, STR, PADL/PADR, the TRIM family and fields joined by '+' translate; anything
// else is reported as skipped with its reason. Character fields of a concatenation (but the
// last) are padded to their width, since FoxPro joins them blank-padded and the import trims them.

#include <string>
#include <string_view>
#include <vector>

#include "foxpro/cdx_reader.h"

namespace rowlark::foxpro {

// Text and Date keys feed a text tag (ISO dates sort as text), Number keys a number tag.
enum class KeyKind { Text, Number, Date };

// A table's field as the key expressions name it, and the column the import gives it.
struct KeyColumn {
    std::string field;   // the .dbf name (UTF-8, ten characters at most); matched without letter case
    std::string column;  // the column's name in the database (the long name from a .dbc when known)
    char type = 'C';
    int length = 0;
    int decimals = 0;
};

struct KeyTranslation {
    bool translated = false;
    std::string sql;      // the SQL expression, when translated
    KeyKind kind = KeyKind::Text;
    bool upper = false;   // the key is upper-cased: the tag orders without regard to letter case
    std::string reason;   // why not, when not translated
};

// The expression in UTF-8, as the names of columns; its literals stay as they are.
KeyTranslation TranslateKeyExpression(std::string_view expression, const std::vector<KeyColumn>& columns);

// A .cdx tag as the tag catalogue would take it: its key translated, or skipped with the reason
// (also when it has a FOR filter other than !DELETED(), which an import of live records meets).
struct TagDescription {
    std::string tag;
    KeyTranslation key;
    bool candidate = false;
    bool descending = false;
};

TagDescription DescribeTag(const CdxTag& tag, const std::vector<KeyColumn>& columns);

const char* KeyKindName(KeyKind kind);

}  // namespace rowlark::foxpro
