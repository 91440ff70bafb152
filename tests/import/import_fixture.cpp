#include "tests/import/import_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <map>

#include "foxpro/table_reader.h"

namespace import_test {

namespace {

using oledb_backend::FieldType;
using rowlark::foxpro::ValueKind;
using test_support::Backend;

std::string Hex(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out = "\\x";
    for (const char c : bytes) {
        out += kDigits[static_cast<unsigned char>(c) >> 4];
        out += kDigits[static_cast<unsigned char>(c) & 0xF];
    }
    return out;
}

std::string Fifteen(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

}  // namespace

std::string NormalDecimal(const std::string& text) {
    std::string digits = text;
    const bool negative = !digits.empty() && digits[0] == '-';
    if (negative || (!digits.empty() && digits[0] == '+')) digits.erase(0, 1);
    if (digits.find('.') != std::string::npos) {
        while (!digits.empty() && digits.back() == '0') digits.pop_back();
        if (!digits.empty() && digits.back() == '.') digits.pop_back();
    }
    while (digits.size() > 1 && digits[0] == '0' && digits[1] != '.') digits.erase(0, 1);
    if (digits.empty() || digits == "0") return "0";
    return (negative ? "-" : "") + digits;
}

std::optional<std::string> Expected(rowlark::foxpro::Value value, const oledb_backend::FieldDefinition& column,
                                    Backend backend) {
    const bool server = backend == Backend::kPostgreSQL;
    switch (value.kind) {
        case ValueKind::Null: return std::nullopt;
        case ValueKind::Text: return value.text;
        case ValueKind::Bytes: return server ? Hex(value.text) : value.text;
        case ValueKind::Integer: return std::to_string(value.integer);
        case ValueKind::Decimal: return value.text;
        case ValueKind::Real: return Fifteen(value.real);
        case ValueKind::Logical: return server ? (value.logical ? "t" : "f") : (value.logical ? "1" : "0");
        case ValueKind::Date: return value.text;
        case ValueKind::DateTime: return value.text.replace(10, 1, " ");
    }
    (void)column;
    return std::nullopt;
}

bool SameValue(const std::optional<std::string>& expected, const std::optional<std::string>& got,
               const oledb_backend::FieldDefinition& column, Backend backend) {
    if (!expected || !got) return expected == got;
    switch (column.type) {
        case FieldType::kDecimal:
        case FieldType::kInteger: return NormalDecimal(*expected) == NormalDecimal(*got);
        case FieldType::kReal: return *expected == Fifteen(std::strtod(got->c_str(), nullptr));
        default: return *expected == *got;
    }
    (void)backend;
}

import_tool::ImportReport ImportTest::Import(const std::vector<std::string>& inputs,
                                             const std::vector<import_tool::RequestedTag>& tags) {
    import_tool::ImportRequest request;
    for (const auto& input : inputs) request.inputs.push_back(kData + "/" + input);
    request.target = db_.connection_text();
    request.tags = tags;
    import_tool::ProgressSink quiet;
    return import_tool::RunImport(request, quiet);
}

import_tool::ImportReport ImportTest::ImportFiles(const std::vector<std::string>& paths) {
    import_tool::ImportRequest request;
    request.inputs = paths;
    request.target = db_.connection_text();
    import_tool::ProgressSink quiet;
    return import_tool::RunImport(request, quiet);
}

void ImportTest::ExpectSameAsReader(const std::string& dbf, const import_tool::TableReport& table) {
    std::vector<std::string> missing;
    auto source = import_tool::ListSourceTables({kData + "/" + dbf}, missing).front();
    source.name = table.name;
    const auto plan = import_tool::PlanTable(source, engine(), {}, {});
    const auto rows = db_.Query("SELECT * FROM \"" + table.name + "\"");
    // The rows by their key: the key column's text.
    std::size_t key_at = 0;
    std::vector<std::string> names;
    for (const auto& column : plan.columns) names.push_back(column.name);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == table.key) key_at = i;
    std::map<std::string, std::vector<test_support::BackendDatabase::Value>> by_key;
    for (const auto& row : rows) by_key[row.at(key_at).value_or("")] = row;
    ASSERT_EQ(by_key.size(), rows.size()) << dbf << ": keys repeat";

    auto reader = rowlark::foxpro::TableReader::Open(kData + "/" + dbf);
    rowlark::foxpro::Record record;
    std::size_t seen = 0;
    const std::size_t first = table.recno ? 1 : 0;
    while (reader->Next(record)) {
        ++seen;
        const std::string key = table.recno ? std::to_string(record.number)
                                            : *Expected(record.values[key_at - first], plan.columns[key_at], db_.backend());
        const auto found = by_key.find(key);
        ASSERT_NE(found, by_key.end()) << dbf << " record " << record.number << " (key " << key << ") is missing";
        ASSERT_EQ(found->second.size(), plan.columns.size());
        for (std::size_t i = 0; i < record.values.size(); ++i) {
            const auto& column = plan.columns[first + i];
            const auto expected = Expected(record.values[i], column, db_.backend());
            EXPECT_TRUE(SameValue(expected, found->second[first + i], column, db_.backend()))
                << dbf << " record " << record.number << " " << column.name << ": expected "
                << expected.value_or("NULL") << ", got " << found->second[first + i].value_or("NULL");
        }
    }
    EXPECT_EQ(seen, rows.size()) << dbf;
    EXPECT_EQ(table.rows, rows.size()) << dbf;
}

}  // namespace import_test
