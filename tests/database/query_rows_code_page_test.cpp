// QueryRows over values the host's code page cannot hold: the index texts it hands out find their
// rows again after a trip through CP1251, so a whole scroll serves every row once in either
// direction; a key that cannot make the trip is refused; an empty text key is a start key like any other.

#include <set>

#include "database/cursor_error.h"
#include "database/index_token.h"
#include "platform/text/cp1251.h"
#include "tests/database/database_fixture.h"

namespace rowlark::database::testing {
namespace {

// A text as the host keeps it and sends it back: to CP1251 and again to UTF-8, '?' for what it lacks.
std::string ThroughHost(const std::string& utf8) { return cp1251::ToUtf8(cp1251::FromUtf8(utf8)); }

// Pages through the tag as the dynamic provider does: each page starts from the last row served,
// with both its texts after a trip through the host.
Rows ScrollThroughHost(sqlite3* db, Call call, std::int64_t page) {
    Rows all;
    call.count = page;
    for (int guard = 0; guard < 10000; ++guard) {
        const Rows rows = Answer(db, call);
        for (const Row& row : rows) all.emplace_back(row.first, DecodeIndexToken(ThroughHost(row.second)).value_or("(no token)"));
        if (static_cast<std::int64_t>(rows.size()) < page) return all;
        call.index = ThroughHost(rows.back().second);
        call.key = ThroughHost(rows.back().first);
    }
    ADD_FAILURE() << "a scroll that does not end";
    return all;
}

// 300 goods; every third name begins with Chinese characters, others hold emoji, combining marks,
// the token's own escape character, or plain Russian, with repeated values to make runs.
class QueryRowsCodePage : public ::testing::Test {
protected:
    void SetUp() override {
        Execute(db(), "CREATE TABLE goods (id INTEGER PRIMARY KEY, name TEXT)");
        const char* const plain[] = {"Арбуз", "Банан", "Вишня"};
        const char* const foreign[] = {"中文", "中国茶", "日本", "😀 улыбка", "Cafe\u0301", "¤ знак", "e\u0301", "中"};
        Statement insert(db(), "INSERT INTO goods (id, name) VALUES (?1, ?2)");
        for (int id = 1; id <= 300; ++id) {
            insert.BindInt(1, id);
            insert.BindText(2, id % 3 == 0 ? std::string(foreign[id % 8]) + " " + std::to_string(id % 5)
                                           : std::string(plain[id % 3]) + (id % 2 ? "" : foreign[id % 8]));
            insert.Step();
            insert.Reset();
        }
        AddIndexTag(db(), "goods", "name", "name", "id", TagKind::Text);
    }
    sqlite3* db() const { return db_.get(); }

    Call Goods() const {
        Call call;
        call.table = "goods";
        call.tag = "name";
        return call;
    }

    DbHandle db_ = OpenMemoryDb();
};

TEST_F(QueryRowsCodePage, WholeScrollServesEveryRowOnceInOrderBothWays) {
    const Rows all = Select(db(), "SELECT id, name FROM goods ORDER BY name, id");
    ASSERT_EQ(all.size(), 300u);
    for (std::int64_t page : {1, 7, 50}) {
        Call forward = Goods();
        EXPECT_EQ(ScrollThroughHost(db(), forward, page), all) << "page " << page;
        Call backward = Goods();
        backward.forward = false;
        EXPECT_EQ(ScrollThroughHost(db(), backward, page), Reversed(all)) << "page " << page;
    }
}

TEST_F(QueryRowsCodePage, ScrollWithinAFilterRangeServesEveryRowOfTheRange) {
    const Rows range = Select(db(), "SELECT id, name FROM goods WHERE name >= 'Б' AND name < 'Г' ORDER BY name, id");
    ASSERT_GT(range.size(), 100u);
    Call call = Goods();
    call.from = "Б";
    call.to = "В";
    EXPECT_EQ(ScrollThroughHost(db(), call, 9), range);
    call.forward = false;
    EXPECT_EQ(ScrollThroughHost(db(), call, 9), Reversed(range));
}

TEST_F(QueryRowsCodePage, InclusiveStartFromAnEscapedIndexTextIsItsOwnRow) {
    const Rows all = Select(db(), "SELECT id, name FROM goods ORDER BY name, id");
    std::set<std::string> tokens;
    for (const Row& row : all) {
        Call call = Goods();
        call.index = ThroughHost(EncodeIndexToken(row.second));
        call.key = row.first;
        call.count = 1;
        call.inclusive = true;
        const Rows answer = Answer(db(), call);
        ASSERT_EQ(answer.size(), 1u) << row.first;
        EXPECT_EQ(answer[0].first, row.first);
        EXPECT_EQ(answer[0].second, EncodeIndexToken(row.second));
        tokens.insert(answer[0].second);
    }
    EXPECT_GT(tokens.size(), 10u);
}

TEST_F(QueryRowsCodePage, StartIndexTextThatNoAnswerGaveIsRefusedByName) {
    Call call = Goods();
    call.index = "中文 ¤4E2D";
    call.key = "3";
    call.count = 5;
    try {
        Answer(db(), call);
        ADD_FAILURE() << "no error";
    } catch (const oledb_backend::CursorError& error) {
        EXPECT_NE(std::string(error.what()).find("QueryRows argument 3 (start index text)"), std::string::npos)
            << error.what();
    }
}

TEST(QueryRowsKeysOutsideCodePage, KeyTheHostCannotCarryEndsTheAnswerWithAClearError) {
    DbHandle db = OpenMemoryDb();
    Execute(db.get(), "CREATE TABLE p (code TEXT PRIMARY KEY, name TEXT)");
    Execute(db.get(), "INSERT INTO p VALUES ('k1', 'a'), ('k2', 'b'), ('ключ中', 'c'), ('k4', 'd')");
    AddIndexTag(db.get(), "p", "name", "name", "code", TagKind::Text);
    Call call;
    call.table = "p";
    call.tag = "name";
    call.key_field = "code";
    call.count = 10;
    auto cursor = QueryRows(db.get(), call.Args());
    ASSERT_TRUE(cursor->Step());
    EXPECT_EQ(cursor->Column(0).text, "k1");
    ASSERT_TRUE(cursor->Step());
    try {
        cursor->Step();
        ADD_FAILURE() << "the key was served";
    } catch (const oledb_backend::CursorError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "QueryRows: the key 'ключ¤4E2D;' holds a character that code page 1251 cannot carry (shown as "
                  "¤code;), so no row query could find its row by it");
    }
    // Past the key, from its neighbour, the walk goes on.
    call.index = "c";
    call.key = "ключ中";
    EXPECT_EQ(Answer(db.get(), call), (Rows{{"k4", "d"}}));
}

// ('', 'a'), ('x', 'a'), ('z', 'a'), ('y', 'b'): the first row's key is the empty text.
class QueryRowsEmptyTextKey : public ::testing::Test {
protected:
    void SetUp() override {
        Execute(db(), "CREATE TABLE p (code TEXT PRIMARY KEY, name TEXT)");
        Execute(db(), "INSERT INTO p VALUES ('', 'a'), ('x', 'a'), ('z', 'a'), ('y', 'b')");
        AddIndexTag(db(), "p", "name", "name", "code", TagKind::Text);
    }
    sqlite3* db() const { return db_.get(); }
    Call From(const std::string& index, const std::string& key, bool forward, bool inclusive) const {
        Call call;
        call.table = "p";
        call.tag = "name";
        call.key_field = "code";
        call.count = 10;
        call.index = index;
        call.key = key;
        call.forward = forward;
        call.inclusive = inclusive;
        return call;
    }
    DbHandle db_ = OpenMemoryDb();
};

TEST_F(QueryRowsEmptyTextKey, EmptyStartKeyIsTheStartRowInBothDirections) {
    EXPECT_EQ(Answer(db(), From("a", "", true, false)), (Rows{{"x", "a"}, {"z", "a"}, {"y", "b"}}));
    EXPECT_EQ(Answer(db(), From("a", "", true, true)), (Rows{{"", "a"}, {"x", "a"}, {"z", "a"}, {"y", "b"}}));
    EXPECT_EQ(Answer(db(), From("a", "", false, true)), (Rows{{"", "a"}}));
    EXPECT_EQ(Answer(db(), From("a", "", false, false)), Rows{});
    EXPECT_EQ(Answer(db(), From("a", "x", false, false)), (Rows{{"", "a"}}));
}

TEST_F(QueryRowsEmptyTextKey, PagingPassesTheRowWithTheEmptyKeyOnceBothWays) {
    const Rows all{{"", "a"}, {"x", "a"}, {"z", "a"}, {"y", "b"}};
    Call forward = From("", "", true, false);
    EXPECT_EQ(PageThrough(db(), forward, 1), all);
    Call backward = From("", "", false, false);
    EXPECT_EQ(PageThrough(db(), backward, 1), Reversed(all));
}

}  // namespace
}  // namespace rowlark::database::testing
