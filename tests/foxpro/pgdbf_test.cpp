// Tables with no csv of their own (cp1251.dbf, the database container's calls and contacts)
// against pgdbf, another reader: its COPY rows must hold our values. Its forms: \N for null,
// COPY's backslash escapes, datetimes as "J<julian day> HH:MM:SS" (rounded to the second as ours).

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "foxpro/field_decoder.h"
#include "foxpro/table_reader.h"

namespace rowlark::foxpro {
namespace {

const std::string kData = ROWLARK_FOXPRO_DATA;

std::string Run(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    char buffer[4096];
    std::size_t got;
    while (pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0) out.append(buffer, got);
    return out;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) { out += text[i]; continue; }
        const char e = text[++i];
        out += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
    }
    return out;
}

// The rows between "\COPY ... FROM STDIN" and "\.", split at tabs.
std::vector<std::vector<std::string>> CopyRows(const std::string& output) {
    std::vector<std::vector<std::string>> rows;
    const std::size_t start = output.find("FROM STDIN\n");
    if (start == std::string::npos) return rows;
    std::size_t at = start + 11;
    while (at < output.size() && output.compare(at, 3, "\\.\n") != 0) {
        const std::size_t end = output.find('\n', at);
        std::string line = output.substr(at, end - at);
        rows.emplace_back();
        std::size_t from = 0;
        for (std::size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
            rows.back().push_back(line.substr(from, tab - from));
        rows.back().push_back(line.substr(from));
        at = end + 1;
    }
    return rows;
}

std::string AsPgdbf(const Value& value) {
    if (value.kind == ValueKind::Null) return "\\N";
    if (value.kind == ValueKind::Integer) return std::to_string(value.integer);
    return value.text;
}

// pgdbf's datetime "J2449678 13:35:39" in our ISO form.
std::string Theirs(const std::string& cell, const Value& ours) {
    if (cell == "\\N") return cell;
    if (ours.kind == ValueKind::DateTime && cell.size() > 1 && cell[0] == 'J')
        return JulianDayToIso(std::atoll(cell.c_str() + 1)) + "T" + cell.substr(cell.find(' ') + 1);
    return Unescape(cell);
}

void ExpectSameAsPgdbf(const std::string& table, const std::string& pgdbf_options, std::size_t records) {
    const auto rows = CopyRows(Run("pgdbf " + pgdbf_options + " '" + kData + "/" + table + "' 2>&1"));
    ASSERT_EQ(rows.size(), records) << table;
    auto reader = TableReader::Open(kData + "/" + table);
    Record record;
    for (const auto& row : rows) {
        ASSERT_TRUE(reader->Next(record));
        ASSERT_EQ(row.size(), record.values.size()) << table << " record " << record.number;
        for (std::size_t i = 0; i < row.size(); ++i)
            EXPECT_EQ(AsPgdbf(record.values[i]), Theirs(row[i], record.values[i]))
                << table << " record " << record.number << " " << reader->Columns()[i].name;
    }
    EXPECT_FALSE(reader->Next(record));
}

TEST(Pgdbf, CodePage1251TableMatches) { ExpectSameAsPgdbf("cp1251.dbf", "-s cp1251", 4); }

TEST(Pgdbf, DatabaseContainerTablesWithMemosMatch) {
    ExpectSameAsPgdbf("vfp_database/calls.dbf", "-m '" + kData + "/vfp_database/calls.FPT'", 16);
    ExpectSameAsPgdbf("vfp_database/contacts.dbf", "-m '" + kData + "/vfp_database/contacts.FPT'", 5);
}

}  // namespace
}  // namespace rowlark::foxpro
