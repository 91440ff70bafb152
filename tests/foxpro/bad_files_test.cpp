// Damaged files: each fault gives FoxProError naming the file, the record and field where they
// apply, and what was expected, in the user's language; no read goes past what the file holds.

#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "foxpro/cdx_reader.h"
#include "foxpro/error.h"
#include "foxpro/key_expression.h"
#include "foxpro/message_text.h"
#include "foxpro/table_reader.h"
#include "tools/i18n/tool_text.h"

namespace rowlark::foxpro {
namespace {

const std::string kData = ROWLARK_FOXPRO_DATA;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void PutLe32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i) & 0xFF);
}

// Reads every record of the table's bytes (and memo bytes) and answers the error's text.
std::string ErrorOf(const std::string& dbf, const std::string* memo = nullptr) {
    try {
        TableReader reader(MemorySource("t.dbf", dbf), memo ? MemorySource("t.fpt", *memo) : nullptr, {});
        Record record;
        while (reader.Next(record)) {}
    } catch (const FoxProError& error) {
        return error.what();
    }
    return "no error";
}

TEST(BadTable, TruncatedHeaderNamesTheSizes) {
    EXPECT_EQ(ErrorOf(std::string(10, '\x30')), "t.dbf: truncated header: 10 bytes, a table header needs 32");
    std::string dbf = ReadAll(kData + "/dbase_03.dbf");
    EXPECT_EQ(ErrorOf(dbf.substr(0, 500)), "t.dbf: truncated header: it declares 1025 bytes, the file holds 500");
}

TEST(BadTable, RecordCountBeyondTheFilesEnd) {
    std::string dbf = ReadAll(kData + "/dbase_03.dbf");
    PutLe32(dbf, 4, 15);
    EXPECT_EQ(ErrorOf(dbf), "t.dbf: record count 15 needs 9875 bytes, beyond the file's end at 9286");
    PutLe32(dbf, 4, 0xFFFFFFFF);
    EXPECT_NE(ErrorOf(dbf).find("record count 4294967295"), std::string::npos);
}

TEST(BadTable, FieldListWithoutItsTerminator) {
    std::string dbf = ReadAll(kData + "/dbase_03.dbf");
    dbf[1024] = ' ';  // the 0x0D after the 31st field
    EXPECT_EQ(ErrorOf(dbf), "t.dbf: the field list has no terminator (0x0D) within the header's 1025 bytes");
}

TEST(BadTable, UnknownTypeAndImpossibleLengthNameTheField) {
    std::string dbf = ReadAll(kData + "/dbase_31.dbf");
    dbf[32 + 32 + 11] = 'Z';
    EXPECT_EQ(ErrorOf(dbf), "t.dbf: field PRODUCTNAM: unknown field type 'Z'");
    dbf = ReadAll(kData + "/dbase_31.dbf");
    dbf[32 + 16] = 5;  // PRODUCTID I(4) -> I(5)
    EXPECT_EQ(ErrorOf(dbf), "t.dbf: field PRODUCTID: type I has length 5; the type needs 4");
}

TEST(BadTable, UnknownTypeIsKeptAsItsStoredBytesWhenAsked) {
    std::string dbf = ReadAll(kData + "/dbase_31.dbf");
    dbf[32 + 32 + 11] = 'Z';  // PRODUCTNAM C(40) of a type not known here
    ReaderOptions options;
    options.keep_unknown_types = true;
    TableReader reader(MemorySource("t.dbf", dbf), nullptr, options);
    EXPECT_TRUE(reader.Columns()[1].unknown_type);
    Record record;
    ASSERT_TRUE(reader.Next(record));
    EXPECT_EQ(record.values[0].integer, 1);
    EXPECT_EQ(record.values[1].kind, ValueKind::Bytes);
    EXPECT_EQ(record.values[1].text, std::string("Chai") + std::string(36, ' '));  // blanks kept, as stored
    EXPECT_EQ(record.values[2].kind, ValueKind::Integer);  // the fields after it in their places
    // Kept, it still needs a length.
    dbf[32 + 32 + 16] = 0;
    try {
        TableReader empty(MemorySource("t.dbf", dbf), nullptr, options);
        ADD_FAILURE() << "a field of no bytes was taken";
    } catch (const FoxProError& error) {
        EXPECT_STREQ(error.what(), "t.dbf: field PRODUCTNAM: type Z has length 0; the type needs at least 1");
    }
}

TEST(BadTable, RecordLengthThatDisagreesWithTheFields) {
    std::string dbf = ReadAll(kData + "/dbase_31.dbf");
    dbf[10] = static_cast<char>(dbf[10] + 1);
    EXPECT_EQ(ErrorOf(dbf), "t.dbf: record length 114 disagrees with the fields (1 + their lengths = 113)");
}

TEST(BadTable, ValueTheFieldCannotHoldNamesRecordAndField) {
    std::string dbf = ReadAll(kData + "/dbase_03.dbf");
    const std::size_t record3 = 1025 + 2 * 590;
    dbf.replace(record3 + 1 + 12 + 20 + 20 + 20 + 60 + 20 + 20 + 60 + 0, 8, "20051341");  // Date_Visit
    EXPECT_EQ(ErrorOf(dbf), "t.dbf: record 3, field Date_Visit: \"20051341\" is not a date (YYYYMMDD)");
    dbf = ReadAll(kData + "/dbase_03.dbf");
    dbf.replace(record3 + 1 + 12 + 20 + 20 + 20 + 60 + 20 + 20 + 60 + 8 + 10, 5, " 1x.2");  // Max_PDOP
    EXPECT_EQ(ErrorOf(dbf), "t.dbf: record 3, field Max_PDOP: \" 1x.2\" is not a number");
}

TEST(BadMemo, PointerPastTheMemoFilesEnd) {
    std::string dbf = ReadAll(kData + "/vfp_database/calls.dbf");
    const std::string memo = ReadAll(kData + "/vfp_database/calls.FPT");
    PutLe32(dbf, 488 + 283 + 279, 1000);  // record 2's NOTES
    EXPECT_EQ(ErrorOf(dbf, &memo),
              "t.dbf: record 2, field NOTES: memo pointer 1000 is past the end of t.fpt (1728 bytes, blocks of 64)");
    PutLe32(dbf, 488 + 283 + 279, 2);
    EXPECT_EQ(ErrorOf(dbf, &memo), "t.dbf: record 2, field NOTES: memo pointer 2 points into the header of t.fpt");
}

TEST(BadMemo, BlockLengthPastTheMemoFilesEnd) {
    const std::string dbf = ReadAll(kData + "/vfp_database/calls.dbf");
    std::string memo = ReadAll(kData + "/vfp_database/calls.FPT");
    const std::size_t first_block = 8 * 64;  // record 1's NOTES
    memo[first_block + 4] = '\x7F';
    EXPECT_EQ(ErrorOf(dbf, &memo),
              "t.dbf: record 1, field NOTES: memo block 8 declares 2130706508 bytes, past the end of t.fpt");
}

TEST(BadMemo, MissingMemoFileIsNamed) {
    const std::string dbf = ReadAll(kData + "/vfp_database/calls.dbf");
    EXPECT_EQ(ErrorOf(dbf), "t.dbf: the table has memo fields but no memo file");
    const auto folder = std::filesystem::temp_directory_path() / ("rowlark-foxpro-memo-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(kData + "/vfp_database/calls.dbf", folder / "calls.dbf");
    try {
        TableReader::Open((folder / "calls.dbf").string());
        ADD_FAILURE() << "opened without its memo file";
    } catch (const FoxProError& error) {
        EXPECT_EQ(error.Place().file, (folder / "calls.dbf").string());
        EXPECT_NE(std::string(error.what()).find("its memo file (.fpt) is missing"), std::string::npos);
    }
    std::filesystem::remove_all(folder);
}

TEST(BadTable, UnknownCodePageMarkAsksForTheOption) {
    std::string dbf = ReadAll(kData + "/cp1251.dbf");
    dbf[29] = '\x7F';
    EXPECT_EQ(ErrorOf(dbf), "t.dbf: unknown code page mark 0x7F; name the code page in the options");
    ReaderOptions options;
    options.code_page = 1251;
    TableReader reader(MemorySource("t.dbf", dbf), nullptr, options);
    Record record;
    ASSERT_TRUE(reader.Next(record));
    EXPECT_EQ(record.values[1].text, "амбулаторно-поликлиническое");
}

std::string CdxErrorOf(const std::string& bytes) {
    try {
        ReadCdxTags(*MemorySource("t.cdx", bytes));
    } catch (const FoxProError& error) {
        return error.what();
    }
    return "no error";
}

TEST(BadIndex, TruncatedOrLoopingIndexIsRefused) {
    const std::string cdx = ReadAll(kData + "/vfp_database/calls.CDX");
    EXPECT_EQ(CdxErrorOf(cdx.substr(0, 700)), "t.cdx: truncated index header: 700 bytes, a compound index header needs 1024");
    EXPECT_EQ(CdxErrorOf(cdx.substr(0, 1200)),
              "t.cdx: tag directory node at byte 1024: a node pointer outside the file or off a page boundary");
    std::string looping = cdx;
    looping[1024] = 0;  // the directory's root leaf becomes an interior node pointing at itself
    looping[1026] = 1;
    looping[1024 + 12 + 10 + 4] = 0;
    looping[1024 + 12 + 10 + 5] = 0;
    looping[1024 + 12 + 10 + 6] = 4;
    looping[1024 + 12 + 10 + 7] = 0;
    EXPECT_EQ(CdxErrorOf(looping), "t.cdx: tag directory node at byte 1024: a node visited twice (a loop in the tree)");
}

// The refusals under a Russian locale, with the catalogues bound as a tool binds them at start.
class BadFileInRussian : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"LC_ALL", "LANGUAGE"})
            if (const char* value = std::getenv(name)) saved_[name] = value;
        ::setenv("LC_ALL", "ru_RU.UTF-8", 1);
        ::unsetenv("LANGUAGE");
        tool_text::Start();
        if (std::string(std::setlocale(LC_MESSAGES, nullptr)) == "C") GTEST_SKIP() << "no ru_RU.UTF-8 locale";
    }
    void TearDown() override {
        for (const char* name : {"LC_ALL", "LANGUAGE"}) {
            const auto saved = saved_.find(name);
            if (saved == saved_.end()) ::unsetenv(name); else ::setenv(name, saved->second.c_str(), 1);
        }
        std::setlocale(LC_ALL, "C");
    }

    std::map<std::string, std::string> saved_;
};

TEST_F(BadFileInRussian, RefusalsNameThePlaceAndTheFaultInRussian) {
    std::string dbf = ReadAll(kData + "/dbase_03.dbf");
    dbf.replace(1025 + 2 * 590 + 1 + 12 + 20 + 20 + 20 + 60 + 20 + 20 + 60, 8, "19000229");  // record 3's Date_Visit
    EXPECT_EQ(ErrorOf(dbf), "t.dbf: запись 3, поле Date_Visit: \"19000229\" — не дата (ГГГГММДД)");
    dbf = ReadAll(kData + "/dbase_31.dbf");
    dbf[32 + 32 + 11] = 'Z';
    EXPECT_EQ(ErrorOf(dbf), "t.dbf: поле PRODUCTNAM: неизвестный тип поля 'Z'");
    EXPECT_EQ(ErrorOf(ReadAll(kData + "/vfp_database/calls.dbf")), "t.dbf: у таблицы есть мемо-поля, но нет файла мемо-полей");
    EXPECT_EQ(CdxErrorOf(ReadAll(kData + "/vfp_database/calls.CDX").substr(0, 700)),
              "t.cdx: усечённый заголовок индекса: 700 байт, заголовку составного индекса нужно 1024");
}

TEST_F(BadFileInRussian, MissingMemoFileAndSkippedTagsInRussian) {
    const auto folder = std::filesystem::temp_directory_path() / ("rowlark-foxpro-ru-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(kData + "/vfp_database/calls.dbf", folder / "calls.dbf");
    std::string message = "no error";
    try {
        TableReader::Open((folder / "calls.dbf").string());
    } catch (const FoxProError& error) {
        message = error.what();
    }
    std::filesystem::remove_all(folder);
    EXPECT_EQ(message, (folder / "calls.dbf").string() + ": у таблицы есть мемо-поля, но её файла мемо-полей (.fpt) нет");
    CdxTag tag;
    tag.key_expression = "SOUNDEX('x')";
    tag.for_expression = "qty > 0";
    EXPECT_EQ(TranslateKeyExpression(tag.key_expression, {}).reason, "функция SOUNDEX() не переводится");
    EXPECT_EQ(DescribeTag(tag, {}).key.reason, "у тега есть фильтр FOR (qty > 0)");
}

TEST(MessageText, FillPutsTheArgumentsInOrderAndEnglishStaysWithoutACatalogue) {
    EXPECT_EQ(Fill("record %s, field %s", {"3", "NAME"}), "record 3, field NAME");
    EXPECT_EQ(Fill("%s and %s", {"one"}), "one and ");
    EXPECT_EQ(Fill("no mark", {"unused"}), "no mark");
    EXPECT_STREQ(_("the record is cut off by the file's end"), "the record is cut off by the file's end");
}

}  // namespace
}  // namespace rowlark::foxpro
