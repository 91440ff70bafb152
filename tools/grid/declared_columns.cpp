#include "tools/grid/declared_columns.h"

namespace grid_tool {

namespace {

using oledb_backend::AsciiLower;

bool IsWordCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           (static_cast<unsigned char>(c) >= 0x80);
}

// The column of that name in any ASCII letter case, as the list spells it; empty for none.
std::string Named(const std::string& word, const std::vector<std::string>& columns) {
    for (const std::string& column : columns)
        if (AsciiLower(column) == AsciiLower(word)) return column;
    return std::string();
}

}  // namespace

std::string TagColumn(const std::string& expression, const std::vector<std::string>& columns) {
    std::string whole = Named(expression, columns);
    if (!whole.empty()) return whole;
    for (std::size_t at = 0; at < expression.size();) {
        if (!IsWordCharacter(expression[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < expression.size() && IsWordCharacter(expression[end])) ++end;
        std::string column = Named(expression.substr(at, end - at), columns);
        if (!column.empty()) return column;
        at = end;
    }
    return std::string();
}

DeclaredColumns ReadDeclaredColumns(const Options& options, const TablePlan& plan) {
    DeclaredColumns declared;
    declared.columns = plan.declared;
    if (plan.tag.empty()) return declared;
    // The columns shown: the plan's, or the table's under a query of the user's.
    std::vector<std::string> shown = plan.columns;
    if (shown.empty())
        for (const auto& column : declared.columns) shown.push_back(column.name);
    declared.range_column = TagColumn(plan.tag_expression, shown);
    if (plan.dynamic || !options.tag.empty()) declared.open_on = declared.range_column;
    if (!plan.dynamic) declared.range_column.clear();
    return declared;
}

}  // namespace grid_tool
