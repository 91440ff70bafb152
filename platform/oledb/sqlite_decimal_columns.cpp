#include "platform/oledb/sqlite_decimal_columns.h"

#include <sqlite3.h>

#include <cctype>
#include <cstring>

#include "database/collation/decimal_order.h"
#include "platform/oledb/catalogue.h"
#include "platform/oledb/sqlite_handles.h"
#include "platform/runtime/numeric.h"

namespace oledb_backend {

namespace {

constexpr const char* kDecimalTextType = "DECIMAL TEXT";

}  // namespace

std::string DecimalTextDeclaration(int precision, int scale) {
    return std::string(kDecimalTextType) + "(" + std::to_string(precision) + ", " + std::to_string(scale) +
           ") COLLATE " + rowlark::collation::kDecimalCollation;
}

bool IsDecimalTextType(const char* declared_type) {
    if (!declared_type) return false;
    const std::size_t n = std::strlen(kDecimalTextType);
    for (std::size_t i = 0; i < n; ++i) {
        const char c = declared_type[i];
        if (c == '\0' || std::toupper(static_cast<unsigned char>(c)) != kDecimalTextType[i]) return false;
    }
    const char after = declared_type[n];
    return after == '\0' || after == '(' || after == ' ';
}

std::optional<std::string> DecimalTextOf(std::string_view digits) {
    if (!rowlark::collation::IsDecimalText(digits)) return std::nullopt;
    const auto number = CNumeric::TryParse(digits);
    std::string text = number ? number->Format() : std::string();
    // Beyond the host number's 38 digits or range the digits are kept as they came.
    if (!number || rowlark::collation::CompareDecimalTexts(text, digits) != 0) text = std::string(digits);
    return text;
}

bool IsDecimalTextExpression(sqlite3* db, const std::string& table, const std::string& expression) {
    // The newline ends a trailing "--" comment of the expression, as the tag's own statements do.
    const std::string probe = "SELECT (" + expression + "\n) FROM " + QuotedName(table);
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(db, probe.c_str(), static_cast<int>(probe.size()), &raw, nullptr);
    const Statement statement(raw);
    return rc == SQLITE_OK && statement && sqlite3_column_count(raw) == 1 &&
           IsDecimalTextType(sqlite3_column_decltype(raw, 0));
}

}  // namespace oledb_backend
