// Tables python3-dbf (an independent writer) writes at test time: dBase III with .dbt, FoxPro 2
// and Visual FoxPro with memos, every type it writes, nulls, empty values, long memos, code
// pages 1251 and 866, deleted records, the edges of each type's range; and a Visual FoxPro table
// the script writes byte by byte, whose nullable varying fields (V, Q) hold two bits each of
// _NullFlags beside other nullable fields, with null, full-length, short and empty values. Every
// value must be the one the script says it wrote (write_tables.py, expected.tsv).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "foxpro/table_reader.h"
#include "tests/foxpro/value_text.h"

namespace rowlark::foxpro {
namespace {

namespace fs = std::filesystem;

class WrittenTables : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new fs::path(fs::temp_directory_path() / ("rowlark-foxpro-" + std::to_string(::getpid())));
        fs::create_directories(*folder_);
        const std::string command = std::string("/usr/bin/python3 ") + ROWLARK_FOXPRO_SCRIPTS "/write_tables.py " +
                                    folder_->string();
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    static void TearDownTestSuite() {
        fs::remove_all(*folder_);
        delete folder_;
    }

    // table -> "record\tdeleted\tfield" -> "kind:value", from the writer's list.
    static std::map<std::string, std::map<std::string, std::string>> Expected() {
        std::map<std::string, std::map<std::string, std::string>> expected;
        std::ifstream in(*folder_ / "expected.tsv");
        std::string line;
        while (std::getline(in, line)) {
            const std::size_t table_end = line.find('\t');
            const std::size_t value_start = line.rfind('\t');
            expected[line.substr(0, table_end)][line.substr(table_end + 1, value_start - table_end - 1)] =
                line.substr(value_start + 1);
        }
        return expected;
    }

    static std::map<std::string, std::string> Read(const std::string& table, ReaderOptions options) {
        std::map<std::string, std::string> values;
        auto reader = TableReader::Open((*folder_ / (table + ".dbf")).string(), options);
        Record record;
        while (reader->Next(record))
            for (std::size_t i = 0; i < record.values.size(); ++i)
                values[std::to_string(record.number) + "\t" + (record.deleted ? "1" : "0") + "\t" +
                       reader->Columns()[i].name] = testing::ValueText(record.values[i]);
        return values;
    }

    static fs::path* folder_;
};

fs::path* WrittenTables::folder_ = nullptr;

TEST_F(WrittenTables, EveryValueReadsAsWrittenDeletedRecordsIncluded) {
    const auto expected = Expected();
    ASSERT_EQ(expected.size(), 4u);
    ReaderOptions options;
    options.include_deleted = true;
    for (const auto& [table, values] : expected) {
        const auto read = Read(table, options);
        EXPECT_EQ(read.size(), values.size()) << table;
        for (const auto& [place, value] : values) {
            const auto found = read.find(place);
            ASSERT_NE(found, read.end()) << table << " " << place;
            EXPECT_EQ(found->second, value) << table << " " << place;
        }
    }
}

TEST_F(WrittenTables, DeletedRecordsAreSkippedByDefault) {
    for (const auto& [table, values] : Expected()) {
        std::set<std::string> live;
        for (const auto& [place, value] : values)
            if (place.find("\t0\t") != std::string::npos) live.insert(place);
        const auto read = Read(table, {});
        EXPECT_EQ(read.size(), live.size()) << table;
        for (const auto& [place, value] : read) EXPECT_EQ(live.count(place), 1u) << table << " " << place;
    }
}

TEST_F(WrittenTables, CodePageComesFromTheMarkAndAnOptionOverridesIt) {
    EXPECT_EQ(TableReader::Open((*folder_ / "vfp_types.dbf").string())->CodePage(), 1251);
    EXPECT_EQ(TableReader::Open((*folder_ / "db3_memo.dbf").string())->CodePage(), 866);
    // Read as 1251, the 866 bytes of "Ёлка" come out as other letters: the option wins.
    ReaderOptions options;
    options.code_page = 1251;
    const auto read = Read("fox2", options);
    EXPECT_EQ(read.at("2\t0\tNAME"), "text:ABC");
    EXPECT_NE(read.at("1\t0\tNAME"), "text:Проверка кодовой страницы 866");
}

}  // namespace
}  // namespace rowlark::foxpro
