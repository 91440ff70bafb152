// The sample goods table: its rows for a seed, their forms, its tags, and a refused build
// that leaves nothing behind.

#include <cmath>
#include <cstdio>
#include <regex>

#include "database/database_error.h"
#include "database/index_tags.h"
#include "database/sample_goods.h"
#include "platform/oledb/connection.h"
#include "platform/oledb/sqlite_connection.h"
#include "tests/database/database_fixture.h"

namespace rowlark::database::testing {
namespace {

Rows Dump(sqlite3* db, const std::string& table = "goods") {
    return Select(db, "SELECT id, code || '|' || name || '|' || price || '|' || qty || '|' || ifnull(note, '<null>')"
                      " FROM " + table + " ORDER BY id");
}

// The code points of a UTF-8 text (two-byte sequences are all the sample data holds).
std::u32string CodePoints(const std::string& text) {
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            out += lead;
            i += 1;
        } else {
            out += (char32_t(lead & 0x1F) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F);
            i += 2;
        }
    }
    return out;
}

bool IsLower(char32_t c) { return (c >= U'а' && c <= U'я') || c == U'ё'; }
bool IsUpper(char32_t c) { return (c >= U'А' && c <= U'Я') || c == U'Ё'; }

// One to three lower-case Cyrillic words separated by one blank, the first letter capitalised.
bool IsSampleName(const std::string& name) {
    const std::u32string text = CodePoints(name);
    if (text.empty() || !IsUpper(text[0])) return false;
    int words = 1;
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] == U' ' && text[i - 1] != U' ' && i + 1 < text.size()) ++words;
        else if (!IsLower(text[i])) return false;
    }
    return words <= 3;
}

GoodsOptions Small(std::int64_t rows, std::uint64_t seed) {
    GoodsOptions options;
    options.rows = rows;
    options.seed = seed;
    return options;
}

TEST(SampleGoods, SameSeedGivesSameRowsOtherSeedOtherRows) {
    DbHandle a = OpenMemoryDb(), b = OpenMemoryDb(), c = OpenMemoryDb();
    CreateGoodsTable(a.get(), Small(300, 42));
    CreateGoodsTable(b.get(), Small(300, 42));
    CreateGoodsTable(c.get(), Small(300, 43));
    EXPECT_EQ(Dump(a.get()), Dump(b.get()));
    EXPECT_NE(Dump(a.get()), Dump(c.get()));
    EXPECT_EQ(Dump(a.get()).size(), 300u);
}

TEST(SampleGoods, RowsHaveTheDocumentedForms) {
    DbHandle db = OpenMemoryDb();
    const GoodsReport report = CreateGoodsTable(db.get(), Small(2000, 7));
    EXPECT_GT(report.word_count, 0u);
    const std::regex code("(Т|М|К|П|С)-[0-9]{6}");
    Statement rows(db.get(), "SELECT id, code, name, price, qty, note FROM goods ORDER BY id");
    int nulls = 0, count = 0;
    while (rows.Step()) {
        ++count;
        char id_digits[16];
        std::snprintf(id_digits, sizeof id_digits, "%06lld", static_cast<long long>(rows.ColumnInt(0)));
        const std::string code_text = rows.ColumnText(1);
        EXPECT_TRUE(std::regex_match(code_text, code)) << code_text;
        EXPECT_EQ(code_text.substr(code_text.size() - 6), id_digits);
        EXPECT_TRUE(IsSampleName(rows.ColumnText(2))) << rows.ColumnText(2);
        const double price = sqlite3_column_double(rows.get(), 3);
        EXPECT_GE(price, 1.0);
        EXPECT_LT(price, 100000.0);
        EXPECT_EQ(std::round(price * 100) / 100, price);
        EXPECT_GE(rows.ColumnInt(4), 0);
        EXPECT_LT(rows.ColumnInt(4), 1000);
        nulls += rows.IsNull(5);
    }
    EXPECT_EQ(count, 2000);
    EXPECT_GT(nulls, 2000 / 5);
    EXPECT_LT(nulls, 2000 / 2);
}

TEST(SampleGoods, TagsWalkTheTable) {
    DbHandle db = OpenMemoryDb();
    CreateGoodsTable(db.get(), Small(500, 3));
    for (const char* tag : {"name", "code", "price"}) {
        Call call;
        call.table = "goods";
        call.tag = tag;
        const Rows walked = PageThrough(db.get(), call, 50);
        const std::string value = std::string(tag) == "price" ? "price" : std::string("rtrim(") + tag + ")";
        // The name tag is in the Russian order (the collation its index was built with), the code tag in bytes.
        const std::string order = value + (std::string(tag) == "name" ? " COLLATE rowlark_ru" : "");
        EXPECT_EQ(walked, Select(db.get(), "SELECT id, " + value + " FROM goods NOT INDEXED ORDER BY " + order + ", id"))
            << tag;
        EXPECT_EQ(FindIndexTag(db.get(), "goods", tag)->order,
                  std::string(tag) == "name" ? TextOrder::Russian : TextOrder::Bytes);
    }
}

TEST(SampleGoods, MissingDictionaryFallsBackToBuiltInWords) {
    DbHandle db = OpenMemoryDb();
    GoodsOptions options = Small(50, 1);
    options.dictionary = "/nonexistent/ru_RU.dic";
    const GoodsReport report = CreateGoodsTable(db.get(), options);
    EXPECT_FALSE(report.words_from_dictionary);
    EXPECT_EQ(Dump(db.get()).size(), 50u);
}

TEST(SampleGoods, ExistingTableIsRefusedAndKeptAsItWas) {
    DbHandle db = OpenMemoryDb();
    CreateGoodsTable(db.get(), Small(20, 1));
    const Rows before = Dump(db.get());
    EXPECT_THROW(CreateGoodsTable(db.get(), Small(30, 2)), DatabaseError);
    EXPECT_EQ(Dump(db.get()), before);
}

TEST(SampleGoods, FailedBuildLeavesNoTableAndNoTags) {
    DbHandle db = OpenMemoryDb();
    // A clashing index name makes the last step, the tags, fail after every row is in.
    Execute(db.get(), "CREATE TABLE other (x); CREATE INDEX rowlark_tag_stock_price ON other (x)");
    GoodsOptions options = Small(100, 1);
    options.table = "stock";
    EXPECT_THROW(CreateGoodsTable(db.get(), options), DatabaseError);
    EXPECT_FALSE(TableExists(db.get(), "stock"));
    EXPECT_FALSE(FindIndexTag(db.get(), "stock", "name").has_value());
    EXPECT_TRUE(sqlite3_get_autocommit(db.get())) << "no transaction left open";
}

// The goods written through the backend seam's bulk writer, on a connection of the layer.
std::shared_ptr<oledb_backend::Connection> OpenMemoryConnection() { return oledb_backend::Connection::Open(":memory:"); }

TEST(SampleGoodsThroughTheSeam, WritesTheRowsAndTagsAHandleGets) {
    const auto connection = OpenMemoryConnection();
    DbHandle direct = OpenMemoryDb();
    CreateGoodsTable(*connection, Small(300, 42));
    CreateGoodsTable(direct.get(), Small(300, 42));
    EXPECT_EQ(Dump(oledb_backend::SqliteHandle(*connection)), Dump(direct.get()));
    const auto tags = ListIndexTags(*connection);
    ASSERT_EQ(tags.size(), 3u);
    EXPECT_EQ(tags[2].tag, "price");
    EXPECT_EQ(tags[2].kind, TagKind::Number);
    EXPECT_EQ(connection->OpenCatalogue()->PrimaryKey("goods"), std::vector<std::string>{"id"});
}

TEST(SampleGoodsThroughTheSeam, FailedBuildLeavesNoTableNoTagsAndNoTransaction) {
    const auto connection = OpenMemoryConnection();
    connection->Execute("CREATE TABLE other (x); CREATE INDEX rowlark_tag_stock_price ON other (x)");
    GoodsOptions options = Small(100, 1);
    options.table = "stock";
    EXPECT_THROW(CreateGoodsTable(*connection, options), std::exception);
    EXPECT_FALSE(connection->OpenCatalogue()->Table("stock"));
    EXPECT_FALSE(FindIndexTag(*connection, "stock", "name").has_value());
    EXPECT_TRUE(sqlite3_get_autocommit(oledb_backend::SqliteHandle(*connection))) << "no transaction left open";
    options.table = "stock2";
    CreateGoodsTable(*connection, options);  // the connection builds the next table as if nothing happened
    EXPECT_EQ(connection->OpenCatalogue()->RowCount("stock2"), 100);
}

TEST(RussianWords, CapitalisesCyrillicAndLatinFirstLetters) {
    EXPECT_EQ(CapitaliseFirst("яблоко"), "Яблоко");
    EXPECT_EQ(CapitaliseFirst("ёлка"), "Ёлка");
    EXPECT_EQ(CapitaliseFirst("apple"), "Apple");
    EXPECT_EQ(CapitaliseFirst("Дом"), "Дом");
    EXPECT_EQ(CapitaliseFirst(""), "");
}

TEST(RussianWords, IllFormedUtf8IsNoLetter) {
    // C1 A1 is an overlong form of "a", C0 80 one of the zero byte: neither is a letter to capitalise.
    EXPECT_EQ(CapitaliseFirst("\xC1\xA1" "bcd"), "\xC1\xA1" "bcd");
    EXPECT_EQ(CapitaliseFirst("\xC0\x80"), "\xC0\x80");
    EXPECT_EQ(CapitaliseFirst("\xD1"), "\xD1") << "a lead byte without its continuation";
    const std::string path = ::testing::TempDir() + "rowlark_ill_formed_words.dic";
    {
        std::FILE* file = std::fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr);
        // An overlong "в" (E0 90 B2), a truncated "л", a stray continuation byte, then one good word.
        std::fputs("4\nсто\xE0\x90\xB2\nсто\xD0\nст\x80ол\nкомод\n", file);
        std::fclose(file);
    }
    const WordList list = LoadRussianWords(path);
    std::remove(path.c_str());
    EXPECT_EQ(list.words, (std::vector<std::string>{"комод"}));
}

TEST(RussianWords, KeepsOnlyLowerCaseCyrillicWordsOfFourToTwelveLetters) {
    const std::string path = ::testing::TempDir() + "rowlark_words.dic";
    {
        std::FILE* file = std::fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs("6\nстол/AB\nЧПУ\nкот\nмосква-река\nabcd\nдиван\n", file);
        std::fclose(file);
    }
    const WordList list = LoadRussianWords(path);
    std::remove(path.c_str());
    EXPECT_TRUE(list.from_dictionary);
    EXPECT_EQ(list.words, (std::vector<std::string>{"стол", "диван"}));
}

}  // namespace
}  // namespace rowlark::database::testing
