// The Russian order itself (database/collation) and Russian-order tags in a SQLite catalogue: the
// comparison, its bounds, the catalogue's column for old and new files, and what another program
// does with such a table with and without the loadable extension.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "database/collation/russian_order.h"
#include "database/collation/sqlite_russian_order.h"
#include "database/database_error.h"
#include "database/index_tags.h"
#include "database/statement.h"
#include "tests/database/database_fixture.h"

namespace rowlark::database::testing {
namespace {

namespace fs = std::filesystem;
using collation::CompareRussian;

// The whole table t in the order of a tag.
Call Walk(const std::string& tag) {
    Call call;
    call.table = "t";
    call.tag = tag;
    call.count = 10;
    return call;
}

TEST(RussianOrder, LettersDecideFirstThenYoThenCaseThenBytes) {
    EXPECT_LT(CompareRussian("Бабёнка", "Бабушкин"), 0);
    EXPECT_LT(CompareRussian("ёж", "Ж"), 0);
    EXPECT_LT(CompareRussian("Ёлкин", "Ель"), 0);
    EXPECT_LT(CompareRussian("еж", "ёж"), 0);
    EXPECT_LT(CompareRussian("ёж", "ежа"), 0);
    EXPECT_LT(CompareRussian("жук", "Жук"), 0);
    EXPECT_LT(CompareRussian("Жук", "ЖУКОВ"), 0);
    EXPECT_GT(CompareRussian("ящик", "Ёж"), 0);
    // ё spelled as е and a combining diaeresis is the same letter to ICU: only the bytes part them.
    const std::string composed = "ёж", decomposed = "е\xCC\x88ж";
    EXPECT_NE(CompareRussian(composed, decomposed), 0);
    EXPECT_EQ(CompareRussian(composed, decomposed), -CompareRussian(decomposed, composed));
    EXPECT_EQ(CompareRussian("Жук", "Жук"), 0);
}

TEST(RussianOrder, BoundsKeepWhatDiffersOnlyByCaseAndYo) {
    using collation::RussianLowerBound;
    using collation::RussianPrefixAbove;
    EXPECT_EQ(RussianLowerBound("ЖУК"), "жук");
    EXPECT_EQ(RussianLowerBound("Ёлка"), "елка");
    EXPECT_EQ(RussianLowerBound("\xFF\xFE"), "\xFF\xFE") << "ill-formed UTF-8 is kept as typed";
    for (const char* kept : {"Жук", "жук", "ЖУКОВ", "жуковский", "Жук-2", "Жу\xCC\x81к"})
        EXPECT_LT(CompareRussian(kept, RussianPrefixAbove("жУк")), 0) << kept;
    for (const char* beyond : {"Жул", "Жуя", "Я"}) EXPECT_GT(CompareRussian(beyond, RussianPrefixAbove("Жук")), 0);
    EXPECT_LT(CompareRussian("Ёлкин", RussianPrefixAbove("Е")), 0);
}

class RussianTags : public ::testing::Test {
protected:
    void SetUp() override {
        Execute(db_.get(), "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT, qty INTEGER);"
                           "INSERT INTO t VALUES (1, 'Жук', 1), (2, 'ёж', 2), (3, 'Абрикос', 3), (4, 'жук', 4)");
    }
    std::vector<std::string> Keys(const std::string& tag) {
        std::vector<std::string> keys;
        for (const Row& row : Answer(db_.get(), Walk(tag))) keys.push_back(row.first);
        return keys;
    }
    DbHandle db_ = OpenMemoryDb();
};

TEST_F(RussianTags, AddedTagKeepsItsOrderInTheCatalogueAndItsIndex) {
    AddIndexTag(db_.get(), "t", "ru", "name", "id", TagKind::Text, TextOrder::Russian);
    AddIndexTag(db_.get(), "t", "plain", "name", "id", TagKind::Text);
    EXPECT_EQ(FindIndexTag(db_.get(), "t", "ru")->order, TextOrder::Russian);
    EXPECT_EQ(FindIndexTag(db_.get(), "t", "plain")->order, TextOrder::Bytes);
    Statement sql(db_.get(), "SELECT sql FROM sqlite_schema WHERE name = 'rowlark_tag_t_ru'");
    ASSERT_TRUE(sql.Step());
    EXPECT_NE(sql.ColumnText(0).find("COLLATE rowlark_ru"), std::string::npos);
    EXPECT_EQ(Keys("ru"), (std::vector<std::string>{"3", "2", "4", "1"}));
    EXPECT_EQ(Keys("plain"), (std::vector<std::string>{"3", "1", "4", "2"}));
}

TEST_F(RussianTags, NumberTagInRussianOrderIsRefusedLeavingNothing) {
    try {
        AddIndexTag(db_.get(), "t", "q", "qty", "id", TagKind::Number, TextOrder::Russian);
        FAIL() << "a number tag in the Russian order was added";
    } catch (const DatabaseError& error) {
        EXPECT_STREQ(error.what(), "index tag 'q' of table 't': a number tag orders by number; the Russian "
                                   "order is for text tags");
    }
    EXPECT_FALSE(FindIndexTag(db_.get(), "t", "q"));
    EXPECT_FALSE(TableExists(db_.get(), kTagCatalogue));
}

TEST_F(RussianTags, OlderCatalogueKeepsItsTagsInByteOrderWhenARussianOneJoins) {
    // A catalogue as files made before the order was chosen hold it, with a byte-order tag.
    Execute(db_.get(),
            "CREATE TABLE rowlark_index_tags (table_name TEXT NOT NULL COLLATE NOCASE, tag TEXT NOT NULL COLLATE "
            "NOCASE, expression TEXT NOT NULL, key_field TEXT NOT NULL, kind TEXT NOT NULL CHECK (kind IN ('text', "
            "'number')), index_name TEXT NOT NULL UNIQUE, PRIMARY KEY (table_name, tag));"
            "INSERT INTO rowlark_index_tags VALUES ('t', 'old', 'name', 'id', 'text', 'rowlark_tag_t_old');"
            "CREATE UNIQUE INDEX rowlark_tag_t_old ON t (coalesce(rtrim((name), char(32, 9, 10, 11, 12, 13)), ''), id)");
    EXPECT_EQ(ListIndexTags(db_.get()).at(0).order, TextOrder::Bytes);
    EXPECT_EQ(Keys("old"), (std::vector<std::string>{"3", "1", "4", "2"}));
    AddIndexTag(db_.get(), "t", "ru", "name", "id", TagKind::Text, TextOrder::Russian);
    EXPECT_EQ(FindIndexTag(db_.get(), "t", "old")->order, TextOrder::Bytes);
    EXPECT_EQ(Keys("old"), (std::vector<std::string>{"3", "1", "4", "2"}));
    EXPECT_EQ(Keys("ru"), (std::vector<std::string>{"3", "2", "4", "1"}));
}

#ifdef ROWLARK_RU_EXTENSION
// Another program writing to a table with a Russian-order tag: the plain sqlite3 shell.
class ForeignWriter : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("rowlark_ru_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        file_ = (dir_ / "t.db").string();
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(file_.c_str(), &raw), SQLITE_OK);
        DbHandle db(raw);
        Execute(raw, "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT); INSERT INTO t VALUES (1, 'Жук'), (2, 'ёж')");
        AddIndexTag(raw, "t", "name", "name", "id", TagKind::Text, TextOrder::Russian);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // The shell's exit status; what it printed is in output_.
    int Shell(const std::string& options, const std::string& sql) {
        const std::string out = (dir_ / "out.txt").string();
        const std::string command = "sqlite3 " + options + " " + file_ + " \"" + sql + "\" >" + out + " 2>&1";
        const int status = std::system(command.c_str());
        std::FILE* file = std::fopen(out.c_str(), "r");
        output_.clear();
        for (int c; file && (c = std::fgetc(file)) != EOF;) output_ += static_cast<char>(c);
        if (file) std::fclose(file);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::vector<std::string> Keys() {
        sqlite3* raw = nullptr;
        EXPECT_EQ(sqlite3_open(file_.c_str(), &raw), SQLITE_OK);
        DbHandle db(raw);
        std::vector<std::string> keys;
        for (const Row& row : Answer(raw, Walk("name"))) keys.push_back(row.first);
        return keys;
    }

    fs::path dir_;
    std::string file_;
    std::string output_;
};

TEST_F(ForeignWriter, WithoutTheExtensionFailsAndWritesNothing) {
    EXPECT_NE(Shell("", "INSERT INTO t VALUES (3, 'Ёлка')"), 0);
    EXPECT_NE(output_.find("no such collation sequence: rowlark_ru"), std::string::npos) << output_;
    EXPECT_NE(Shell("", "UPDATE t SET name = 'Ёлка' WHERE id = 1"), 0);
    EXPECT_EQ(Keys(), (std::vector<std::string>{"2", "1"}));
}

TEST_F(ForeignWriter, WithTheExtensionLoadedWritesInTheTagsOrder) {
    const std::string load = std::string("-cmd '.load ") + ROWLARK_RU_EXTENSION + "'";
    ASSERT_EQ(Shell(load, "INSERT INTO t VALUES (3, 'Ёлка'), (4, 'ЖУК'), (5, 'абрикос')"), 0) << output_;
    ASSERT_EQ(Shell(load, "PRAGMA integrity_check"), 0) << output_;
    EXPECT_EQ(output_, "ok\n");
    EXPECT_EQ(Keys(), (std::vector<std::string>{"5", "2", "3", "1", "4"}));
}
#endif

}  // namespace
}  // namespace rowlark::database::testing
