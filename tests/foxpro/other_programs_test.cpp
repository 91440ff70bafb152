// Tables written by Visual FoxPro, dBase and other programs (data/: DbfDataReader's fixtures,
// with the values that reader gives in .csv and .yml): every value read here must equal theirs.
// Their forms differ from ours in known ways, bridged in Same(): dates are dd/MM/yyyy there,
// datetimes dd/MM/yyyy HH:mm:ss, logicals T/F, numbers in the field's own text.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "foxpro/table_reader.h"

namespace rowlark::foxpro {
namespace {

const std::string kData = ROWLARK_FOXPRO_DATA;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// RFC 4180 rows: quoted fields may hold commas, doubled quotes and line breaks.
std::vector<std::vector<std::string>> ParseCsv(std::string text) {
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& cell = rows.back().back();
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') cell += '"', ++i;
        else if (c == '"') quoted = !quoted;
        else if (!quoted && c == ',') rows.back().emplace_back();
        else if (!quoted && (c == '\n' || c == '\r')) {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            rows.emplace_back(1);
        } else cell += c;
    }
    while (!rows.empty() && rows.back().size() == 1 && rows.back()[0].empty()) rows.pop_back();
    return rows;
}

// A decimal text without a '+', leading zeros or trailing fraction zeros: "20.0000" -> "20".
std::string CanonicalDecimal(std::string text) {
    bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.erase(0, 1);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    while (text.size() > 1 && text[0] == '0' && text[1] != '.') text.erase(0, 1);
    if (text == "0") negative = false;
    return (negative ? "-" : "") + text;
}

// "YYYY-MM-DD..." as dd/MM/yyyy plus the rest ("THH:MM:SS" as " HH:MM:SS").
std::string TheirDate(const std::string& iso) {
    std::string text = iso.substr(8, 2) + "/" + iso.substr(5, 2) + "/" + iso.substr(0, 4);
    if (iso.size() > 10) text += " " + iso.substr(11);
    return text;
}

int Seconds(const std::string& hms) {
    return std::atoi(hms.substr(0, 2).c_str()) * 3600 + std::atoi(hms.substr(3, 2).c_str()) * 60 +
           std::atoi(hms.substr(6, 2).c_str());
}

int datetime_rounded = 0;
int texts_trimmed = 0;  // texts equal to theirs only once blanks at their ends are trimmed  // datetimes where their truncation and our rounding differ by a second

bool Same(const Value& ours, const std::string& theirs) {
    switch (ours.kind) {
        case ValueKind::Null: return theirs.empty();
        case ValueKind::Text: {
            // Their reader trims every text at both ends; FoxPro keeps leading blanks (ZSORTER's
            // are part of its sort key) and memos keep their own blanks, so we keep them.
            // client.csv also holds the memos' CR LF line breaks (the .dbt's bytes) as LF alone.
            std::string text = ours.text;
            if (text != theirs && theirs.find('\r') == std::string::npos)
                for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
            const std::size_t first = text.find_first_not_of(' ');
            const std::size_t last = text.find_last_not_of(' ');
            const std::string trimmed = first == std::string::npos ? "" : text.substr(first, last - first + 1);
            texts_trimmed += trimmed == theirs && ours.text != theirs ? 1 : 0;
            return trimmed == theirs;
        }
        case ValueKind::Integer: return std::to_string(ours.integer) == theirs;
        case ValueKind::Decimal: return CanonicalDecimal(ours.text) == CanonicalDecimal(theirs);
        case ValueKind::Real: return std::fabs(ours.real - std::strtod(theirs.c_str(), nullptr)) <= 1e-9 * std::fmax(1, std::fabs(ours.real));
        case ValueKind::Logical: return theirs == (ours.logical ? "T" : "F") || theirs == (ours.logical ? "true" : "false");
        case ValueKind::Date: return TheirDate(ours.text) == theirs;
        case ValueKind::DateTime: {
            // FoxPro stores 17:13:05 as 17:13:04.999; they cut the milliseconds, we round them
            // (FoxPro shows 17:13:05). So ours may be theirs plus one second, never anything else.
            const std::string mine = TheirDate(ours.text);
            if (mine == theirs) return true;
            const bool next_second = mine.substr(0, 11) == theirs.substr(0, 11) &&
                                     Seconds(mine.substr(11)) == Seconds(theirs.substr(11)) + 1;
            datetime_rounded += next_second ? 1 : 0;
            return next_second;
        }
        case ValueKind::Bytes: return false;  // their tables here hold no binary values
    }
    return false;
}

// Compares every record of table with the rows of its .csv, column by column in field order;
// extra csv columns are theirs only ("deleted" compares with our flag, _NullFlags is not a column).
void ExpectSameAsCsv(const std::string& table, std::size_t records, std::vector<std::uint32_t>* deleted = nullptr) {
    const auto rows = ParseCsv(ReadAll(kData + "/" + table + ".csv"));
    ReaderOptions options;
    options.include_deleted = true;
    auto reader = TableReader::Open(kData + "/" + table + ".dbf", options);
    ASSERT_EQ(rows.size(), records + 1) << table;
    const auto& names = rows[0];
    Record record;
    for (std::size_t row = 1; row < rows.size(); ++row) {
        ASSERT_TRUE(reader->Next(record)) << table << " ends before csv row " << row;
        ASSERT_EQ(record.number, row);
        ASSERT_GE(rows[row].size(), record.values.size()) << table << " row " << row;
        for (std::size_t i = 0; i < record.values.size(); ++i) {
            EXPECT_EQ(names[i], reader->Columns()[i].name) << table;
            EXPECT_TRUE(Same(record.values[i], rows[row][i]))
                << table << " record " << row << " " << names[i] << ": ours " << ValueKindName(record.values[i].kind)
                << " \"" << record.values[i].text << "\", theirs \"" << rows[row][i] << "\"";
        }
        if (names.back() == "deleted") {
            // Their "deleted" column says F for every row, yet records 11 and 14 of dbase_03 carry
            // the deletion mark '*' in the file: ours follows the file's byte.
            const std::string bytes = ReadAll(kData + "/" + table + ".dbf");
            const std::size_t at = reader->Header().header_length + (row - 1) * reader->Header().record_length;
            EXPECT_EQ(record.deleted, bytes.at(at) == '*') << table << " " << row;
            EXPECT_EQ(rows[row].back(), "F");
            if (deleted != nullptr && record.deleted) deleted->push_back(record.number);
        }
    }
    EXPECT_FALSE(reader->Next(record)) << table << " has more records than the csv";
}

TEST(OtherPrograms, VisualFoxProTableWithMemosMatchesTheirValues) {
    datetime_rounded = 0;
    texts_trimmed = 0;
    ExpectSameAsCsv("dbase_30", 34);
    // The differences, counted: datetimes stored as .999 of a second, and blanks at texts' ends.
    EXPECT_GT(datetime_rounded, 0);
    EXPECT_GT(texts_trimmed, 0);
    std::printf("dbase_30: %d datetimes a second later than theirs, %d texts with their end blanks kept\n",
                datetime_rounded, texts_trimmed);
}

TEST(OtherPrograms, VisualFoxProAutoincrementTableWithNullFlagsMatchesTheirValues) { ExpectSameAsCsv("dbase_31", 77); }
TEST(OtherPrograms, DBaseThreeTableWithDeletedRecordsMatchesTheirValues) {
    std::vector<std::uint32_t> deleted;
    ExpectSameAsCsv("dbase_03", 14, &deleted);
    EXPECT_EQ(deleted, (std::vector<std::uint32_t>{11, 14}));
}
TEST(OtherPrograms, DBaseFourTableWithDbtMemosMatchesTheirValues) { ExpectSameAsCsv("client", 8); }
TEST(OtherPrograms, CurrencyReadsAsExactDecimals) {
    ExpectSameAsCsv("foxpro_currency_01", 3);
    auto reader = TableReader::Open(kData + "/foxpro_currency_01.dbf");
    Record record;
    ASSERT_TRUE(reader->Next(record));
    EXPECT_EQ(record.values[1].text, "-20.0000");
}

// Their single-record YAML: one "- value" line per field (indented or not), texts quoted.
std::vector<std::string> ParseRecordYaml(const std::string& text) {
    std::vector<std::string> values;
    std::istringstream lines(text);
    std::string line;
    const auto closed = [](const std::string& quoted) {
        std::size_t backslashes = 0;
        for (std::size_t i = quoted.size() - 1; i > 0 && quoted[i - 1] == '\\'; --i) ++backslashes;
        return quoted.size() >= 2 && quoted.back() == '"' && backslashes % 2 == 0;
    };
    while (std::getline(lines, line)) {
        line.erase(0, line.find_first_not_of(' '));
        if (line.compare(0, 2, "- ") != 0) continue;
        std::string value = line.substr(2), out;
        // A double-quoted text folds onto the next lines: each break and indent is one blank.
        while (!value.empty() && value[0] == '"' && !closed(value) && std::getline(lines, line))
            value += " " + line.substr(line.find_first_not_of(' '));
        if (value.size() >= 2 && value[0] == '\'') value = value.substr(1, value.size() - 2);
        else if (value.size() >= 2 && value[0] == '"') {
            for (std::size_t i = 1; i + 1 < value.size(); ++i) {
                if (value[i] != '\\') { out += value[i]; continue; }
                const char e = value[++i];
                out += e == 'r' ? '\r' : e == 'n' ? '\n' : e;
            }
            value = out;
        }
        values.push_back(value);
    }
    return values;
}

TEST(OtherPrograms, DBaseThreeTableWithMemosMatchesTheirRecords) {
    for (const std::uint32_t wanted : {1u, 10u}) {
        const auto theirs = ParseRecordYaml(ReadAll(kData + "/dbase_83_record_" + std::to_string(wanted - 1) + ".yml"));
        auto reader = TableReader::Open(kData + "/dbase_83.dbf");
        Record record;
        while (reader->Next(record) && record.number != wanted) {}
        ASSERT_EQ(record.number, wanted);
        ASSERT_EQ(theirs.size(), record.values.size());
        for (std::size_t i = 0; i < theirs.size(); ++i) {
            const Value& ours = record.values[i];
            const bool same = ours.kind == ValueKind::Decimal
                                  ? std::strtod(ours.text.c_str(), nullptr) == std::strtod(theirs[i].c_str(), nullptr)
                                  : Same(ours, theirs[i]);
            EXPECT_TRUE(same) << "record " << wanted << " " << reader->Columns()[i].name << ": \"" << ours.text
                              << "\" vs \"" << theirs[i] << "\"";
        }
    }
}

TEST(OtherPrograms, HeadersMatchTheirSummaries) {
    auto reader = TableReader::Open(kData + "/dbase_31.dbf");
    EXPECT_EQ(reader->Header().version, 0x31);
    EXPECT_EQ(reader->Header().record_count, 77u);
    EXPECT_EQ(reader->Columns().size(), 12u);  // _NullFlags is no column
    EXPECT_EQ(reader->Columns()[10].type, 'F');
    EXPECT_EQ(reader->Columns()[10].decimals, 2);
    EXPECT_EQ(TableReader::Open(kData + "/dbase_83.dbf")->Header().memo_kind, MemoKind::Dbt3);
    EXPECT_EQ(TableReader::Open(kData + "/client.dbf")->Header().memo_kind, MemoKind::Dbt4);
}

}  // namespace
}  // namespace rowlark::foxpro
