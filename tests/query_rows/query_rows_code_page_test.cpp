// QueryRows over values the host's code page cannot hold: the index texts are tokens
// (database/index_token.h) that find their rows again after a trip through CP1251, so a whole scroll
// serves every row once either way; a token no answer gave is refused by name; a key that cannot make
// the trip is refused; an empty text key is a start key like any other.

#include <map>
#include <set>

#include "database/index_token.h"
#include "platform/text/cp1251.h"
#include "tests/query_rows/query_rows_fixture.h"

namespace query_rows_test {
namespace {

using rowlark::database::DecodeIndexToken;
using rowlark::database::EncodeIndexToken;

// A text as the host keeps it and sends it back: to CP1251 and again to UTF-8, '?' for what it lacks.
std::string ThroughHost(const std::string& utf8) { return cp1251::ToUtf8(cp1251::FromUtf8(utf8)); }

// One code point in UTF-8.
std::string Utf8(unsigned code) {
    std::string out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

// 300 goods; every third name begins with Chinese characters, emoji, combining marks or the token's
// own escape character, others are plain Russian, half of them with such a tail; repeated values make runs.
class QueryRowsCodePage : public QueryRowsTest {
protected:
    void SetUp() override {
        QueryRowsTest::SetUp();
        if (IsSkipped()) return;
        db().Exec("CREATE TABLE goods (id integer PRIMARY KEY, name text)");
        const char* const plain[] = {"Арбуз", "Банан", "Вишня"};
        const char* const foreign[] = {"中文", "中国茶", "日本", "😀 улыбка", "Cafe\u0301", "¤ знак", "e\u0301", "中"};
        BackendDatabase::Rows rows;
        for (int id = 1; id <= 300; ++id) {
            rows.push_back({std::to_string(id), id % 3 == 0 ? std::string(foreign[id % 8]) + " " + std::to_string(id % 5)
                                                            : std::string(plain[id % 3]) + (id % 2 ? "" : foreign[id % 8])});
        }
        db().Insert("goods", {"id", "name"}, rows);
        db().AddIndexTag("goods", "name", "name", "id");
    }

    static Call Goods() {
        Call call;
        call.table = "goods";
        call.tag = "name";
        return call;
    }
    Rows ByName(const std::string& where = "") {
        return Select("SELECT id, name FROM goods " + where + " ORDER BY name" + Either("", " COLLATE \"C\"") +
                      ", goods.id");
    }

    // Pages through the tag as the dynamic provider does: each page starts from the last row served, with
    // both its texts after a trip through the host; the rows with their index values decoded.
    Rows ScrollThroughHost(Call call, std::int64_t page) {
        Rows all;
        call.count = page;
        for (int guard = 0; guard < 1000; ++guard) {
            const Rows rows = Answer(call);
            for (const Row& row : rows)
                all.emplace_back(row.first, DecodeIndexToken(ThroughHost(row.second)).value_or("(no token)"));
            if (static_cast<std::int64_t>(rows.size()) < page) return all;
            call.index = ThroughHost(rows.back().second);
            call.key = ThroughHost(rows.back().first);
        }
        ADD_FAILURE() << "a scroll that does not end";
        return all;
    }
};

TEST_F(QueryRowsCodePage, WholeScrollServesEveryRowOnceInOrderBothWays) {
    const Rows all = ByName();
    ASSERT_EQ(all.size(), 300u);
    for (std::int64_t page : {1, 7, 50}) {
        EXPECT_EQ(ScrollThroughHost(Goods(), page), all) << "page " << page;
        Call backward = Goods();
        backward.forward = false;
        EXPECT_EQ(ScrollThroughHost(backward, page), Reversed(all)) << "page " << page;
    }
}

TEST_F(QueryRowsCodePage, ScrollWithinAFilterRangeServesEveryRowOfTheRange) {
    const Rows range = ByName("WHERE name >= 'Б' AND name < 'Г'" + Either("", " COLLATE \"C\""));
    ASSERT_GT(range.size(), 100u);
    Call call = Goods();
    call.from = "Б";
    call.to = "В";
    EXPECT_EQ(ScrollThroughHost(call, 9), range);
    call.forward = false;
    EXPECT_EQ(ScrollThroughHost(call, 9), Reversed(range));
}

TEST_F(QueryRowsCodePage, InclusiveStartFromAnEscapedIndexTextIsItsOwnRow) {
    std::set<std::string> tokens;
    for (const Row& row : ByName()) {
        Call call = Goods();
        call.index = ThroughHost(EncodeIndexToken(row.second));
        call.key = row.first;
        call.count = 1;
        call.inclusive = true;
        const Rows answer = Answer(call);
        ASSERT_EQ(answer.size(), 1u) << row.first;
        EXPECT_EQ(answer[0].first, row.first);
        EXPECT_EQ(answer[0].second, EncodeIndexToken(row.second));
        tokens.insert(answer[0].second);
    }
    EXPECT_GT(tokens.size(), 10u);
}

TEST_F(QueryRowsCodePage, IndexTextsAreTheTokensOfTheValues) {
    // Every character from U+0001 to U+2200 and a few beyond, one per row, against the C++ encoder.
    db().Exec("CREATE TABLE chars (id integer PRIMARY KEY, c text)");
    BackendDatabase::Rows rows;
    std::map<std::string, std::string> value_of;
    for (unsigned code = 1; code <= 0x2200; ++code) {
        if (code >= 0xD800 && code <= 0xDFFF) continue;
        rows.push_back({std::to_string(code), Utf8(code) + "ж"});
    }
    rows.push_back({"100000", Utf8(0x1F600) + "¤" + Utf8(0x4E2D)});
    for (const auto& row : rows) value_of[*row[0]] = *row[1];
    db().Insert("chars", {"id", "c"}, rows);
    db().AddIndexTag("chars", "c", "c", "id");
    Call call;
    call.table = "chars";
    call.tag = "c";
    call.count = 100000;
    const Rows answer = Answer(call);
    ASSERT_EQ(answer.size(), rows.size());
    for (const Row& row : answer) ASSERT_EQ(row.second, EncodeIndexToken(value_of.at(row.first))) << "row " << row.first;
}

TEST_F(QueryRowsCodePage, TokensThatNoAnswerGaveAreRefusedByName) {
    Call call = Goods();
    call.key = "3";
    call.count = 1;
    call.index = "¤ZZ;";
    EXPECT_EQ(ErrorOf(call), "QueryRows argument 3 (start index text) '¤ZZ;' is not an index text that QueryRows gave: "
                             "a ¤ there starts none of ¤¤, ¤code;, ¤xHH;");
    call.index = "中文 ¤4E2D";
    EXPECT_NE(ErrorOf(call).find("QueryRows argument 3 (start index text)"), std::string::npos) << ErrorOf(call);
    call.index = "¤110000;";
    EXPECT_NE(ErrorOf(call), "");
    call.index = "¤xFF;";  // a SQLite text may hold any bytes; a server text in UTF-8 cannot
    EXPECT_EQ(ErrorOf(call), Either("", "QueryRows argument 3 (start index text) '¤xFF;' escapes a byte that is not "
                                        "UTF-8, which no text of this database holds"));
    call.index = "¤4E2D;文 3";  // a well-formed token of a value that is there
    EXPECT_EQ(ErrorOf(call), "");
}

// ('k1', 'a'), ('k2', 'b'), ('ключ中', 'c'), ('k4', 'd'): the third key cannot reach the host.
class QueryRowsKeysOutsideCodePage : public QueryRowsTest {
protected:
    void SetUp() override {
        QueryRowsTest::SetUp();
        if (IsSkipped()) return;
        db().Exec("CREATE TABLE p (code text PRIMARY KEY, name text)");
        db().Exec("INSERT INTO p VALUES ('k1', 'a'), ('k2', 'b'), ('ключ中', 'c'), ('k4', 'd')");
        db().AddIndexTag("p", "name", "name", "code");
    }
    static Call ByName(std::int64_t count) {
        Call call;
        call.table = "p";
        call.tag = "name";
        call.key_field = "code";
        call.count = count;
        return call;
    }
    static constexpr const char* kRefused =
        "QueryRows: the key 'ключ¤4E2D;' holds a character that code page 1251 cannot carry (shown as ¤code;), so no "
        "row query could find its row by it";
};

TEST_F(QueryRowsKeysOutsideCodePage, KeyTheHostCannotCarryIsRefusedWithAClearError) {
    EXPECT_EQ(ErrorOf(ByName(10)), kRefused);
    EXPECT_EQ(Answer(ByName(2)), (Rows{{"k1", "a"}, {"k2", "b"}})) << "the rows before it travel";
    // Past the key, from its neighbour, the walk goes on.
    Call call = ByName(10);
    call.index = "c";
    call.key = "ключ中";
    EXPECT_EQ(Answer(call), (Rows{{"k4", "d"}}));
    call.forward = false;
    EXPECT_EQ(Answer(call), (Rows{{"k2", "b"}, {"k1", "a"}}));
}

TEST_F(QueryRowsKeysOutsideCodePage, OnSQLiteTheRowsBeforeTheKeyAreServedFirst) {
    ROWLARK_ONLY_ON_SQLITE("the procedure streams its rows and fails at the row; the server fails the whole call");
    const Outcome outcome = Try(ByName(10));
    EXPECT_EQ(outcome.rows, (Rows{{"k1", "a"}, {"k2", "b"}}));
    EXPECT_EQ(outcome.error, kRefused);
}

TEST_F(QueryRowsKeysOutsideCodePage, OnTheServerTheWholeCallFails) {
    ROWLARK_ONLY_ON_SERVER("the function answers its rows at once; the SQLite procedure streams them");
    const Outcome outcome = Try(ByName(10));
    EXPECT_EQ(outcome.rows, Rows{});
    EXPECT_EQ(outcome.error, kRefused);
}

// ('', 'a'), ('x', 'a'), ('z', 'a'), ('y', 'b'): the first row's key is the empty text.
class QueryRowsEmptyTextKey : public QueryRowsTest {
protected:
    void SetUp() override {
        QueryRowsTest::SetUp();
        if (IsSkipped()) return;
        db().Exec("CREATE TABLE p (code text PRIMARY KEY, name text)");
        db().Exec("INSERT INTO p VALUES ('', 'a'), ('x', 'a'), ('z', 'a'), ('y', 'b')");
        db().AddIndexTag("p", "name", "name", "code");
    }
    static Call From(const std::string& index, const std::string& key, bool forward, bool inclusive) {
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
};

TEST_F(QueryRowsEmptyTextKey, EmptyStartKeyIsTheStartRowInBothDirections) {
    EXPECT_EQ(Answer(From("a", "", true, false)), (Rows{{"x", "a"}, {"z", "a"}, {"y", "b"}}));
    EXPECT_EQ(Answer(From("a", "", true, true)), (Rows{{"", "a"}, {"x", "a"}, {"z", "a"}, {"y", "b"}}));
    EXPECT_EQ(Answer(From("a", "", false, true)), (Rows{{"", "a"}}));
    EXPECT_EQ(Answer(From("a", "", false, false)), Rows{});
    EXPECT_EQ(Answer(From("a", "x", false, false)), (Rows{{"", "a"}}));
}

TEST_F(QueryRowsEmptyTextKey, PagingPassesTheRowWithTheEmptyKeyOnceBothWays) {
    const Rows all{{"", "a"}, {"x", "a"}, {"z", "a"}, {"y", "b"}};
    EXPECT_EQ(PageThrough(From("", "", true, false), 1, 6), all);
    EXPECT_EQ(PageThrough(From("", "", false, false), 1, 6), Reversed(all));
}

}  // namespace
}  // namespace query_rows_test
