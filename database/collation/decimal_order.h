#pragma once
// The numeric order of decimal texts. SQLite keeps a decimal that a double cannot hold exactly as its
// digits in a column of TEXT affinity (platform/oledb/sqlite_decimal_columns.h) under the collation of
// this order, so that its indexes, ORDER BY, min/max and comparisons with numbers go by value.
//
// A decimal text is an optional sign, digits with an optional point (at least one digit) and an
// optional exponent ("-12.50", "4e3", "1.0e+19", ".5"), nothing around it. Decimals compare by exact
// value, whatever their length ("1.5" equals "1.50", "-0" equals "0"); every other text sorts before
// every decimal, by its bytes, so the empty text is the least of all.

#include <string_view>

namespace rowlark::collation {

// The collation's name in SQLite: never a built-in name, so a writer without it fails ("no such
// collation sequence") instead of writing another order.
inline constexpr const char* kDecimalCollation = "rowlark_decimal";

// Whether text is a decimal text as above.
bool IsDecimalText(std::string_view text);

// Negative, zero or positive as a sorts before, with or after b in this order.
int CompareDecimalTexts(std::string_view a, std::string_view b);

// The comparison in the shape of SQLite's xCompare (the texts are UTF-8 of the given byte lengths);
// it takes no argument. Shared by the layer's connections and the loadable extension.
int CompareDecimalCallback(void* unused, int a_length, const void* a, int b_length, const void* b);

}  // namespace rowlark::collation
