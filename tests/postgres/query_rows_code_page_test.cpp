// The server's QueryRows over values the host's code page cannot hold: its index texts are the same
// tokens the SQLite procedure hands out, they find their rows again after a trip through CP1251, and
// a key that cannot make the trip is refused.

#include "database/index_token.h"
#include "platform/text/cp1251.h"
#include "tests/postgres/postgres_fixture.h"

namespace rowlark::postgres::testing {
namespace {

// A text as the host keeps it and sends it back: to CP1251 and again to UTF-8, '?' for what it lacks.
std::string ThroughHost(const std::string& utf8) { return cp1251::ToUtf8(cp1251::FromUtf8(utf8)); }

class QueryRowsCodePage : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (IsSkipped()) return;
        Exec("CREATE TABLE goods (id integer PRIMARY KEY, name text)");
        Exec("INSERT INTO goods SELECT i, CASE WHEN i % 3 = 0 THEN"
             " (ARRAY['中文', '中国茶', '日本', '😀 улыбка', 'Cafe' || chr(769), '¤ знак', 'e' || chr(769), '中'])[i % 8 + 1]"
             " || ' ' || (i % 5) ELSE (ARRAY['Арбуз', 'Банан', 'Вишня'])[i % 3 + 1] END"
             " FROM generate_series(1, 300) AS i");
        Exec("SELECT rowlark_add_index_tag('goods', 'name', 'name', 'id')");
    }
};

TEST_F(QueryRowsCodePage, IndexTextsAreTheTokensTheSqliteProcedureGives) {
    // Every character from U+0001 to U+2200 and a few beyond, one per row, against the C++ encoder.
    Exec("CREATE TABLE chars (id integer PRIMARY KEY, c text)");
    Exec("INSERT INTO chars SELECT p, chr(p) || 'ж' FROM generate_series(1, 8704) AS p WHERE p NOT BETWEEN 55296 AND 57343"
         " UNION ALL VALUES (100000, chr(128512) || '¤' || chr(20013))");
    Exec("SELECT rowlark_add_index_tag('chars', 'c', 'c', 'id')");
    const auto rows = Exec("SELECT c.id, c.c, q.index_value FROM queryrows('chars', 'c', '', '', 100000, 'id', 1, '', '', 0) q"
                           " JOIN chars c ON c.id::text = q.key");
    ASSERT_EQ(rows.size(), 8705u);
    for (const auto& row : rows) ASSERT_EQ(row[2], database::EncodeIndexToken(row[1])) << "row " << row[0];
}

TEST_F(QueryRowsCodePage, ScrollThroughTheHostServesEveryRowOnceEitherWay) {
    for (bool forward : {true, false}) {
        Call call;
        call.table = "goods";
        call.tag = "name";
        call.forward = forward;
        call.count = 7;
        std::vector<std::string> keys;
        for (int guard = 0; guard < 100; ++guard) {
            const Rows rows = Answer(call);
            for (const Row& row : rows) keys.push_back(row.first);
            if (rows.size() < 7) break;
            call.index = ThroughHost(rows.back().second);
            call.key = ThroughHost(rows.back().first);
        }
        std::vector<std::string> sorted = keys;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end()) << "a row served twice";
        EXPECT_EQ(keys.size(), 300u) << (forward ? "forwards" : "backwards");
    }
}

TEST_F(QueryRowsCodePage, TokensThatNoAnswerGaveAreRefused) {
    Call call;
    call.table = "goods";
    call.tag = "name";
    call.key = "3";
    call.count = 1;
    call.index = "¤ZZ;";
    EXPECT_EQ(ErrorOf(call), "QueryRows argument 3 (start index text) '¤ZZ;' is not an index text that QueryRows gave: "
                             "a ¤ there starts none of ¤¤, ¤code;, ¤xHH;");
    call.index = "¤110000;";
    EXPECT_NE(ErrorOf(call), "");
    call.index = "¤xFF;";
    EXPECT_EQ(ErrorOf(call), "QueryRows argument 3 (start index text) '¤xFF;' escapes a byte that is not UTF-8, "
                             "which no text of this database holds");
    call.index = "¤4E2D;文 3";  // a well-formed token of a value that is there
    EXPECT_EQ(ErrorOf(call), "");
}

TEST_F(QueryRowsCodePage, KeyTheCodePageCannotCarryIsRefused) {
    Exec("CREATE TABLE coded (sku text PRIMARY KEY, name text)");
    Exec("INSERT INTO coded VALUES ('A1', 'a'), ('中1', 'b')");
    Exec("SELECT rowlark_add_index_tag('coded', 'name', 'name', 'sku')");
    Call call;
    call.table = "coded";
    call.tag = "name";
    call.key_field = "sku";
    call.count = 1;
    EXPECT_EQ(Answer(call), (Rows{{"A1", "a"}})) << "the rows before it travel";
    call.count = 2;
    EXPECT_EQ(ErrorOf(call), "QueryRows: the key '¤4E2D;1' holds a character that code page 1251 cannot carry "
                             "(shown as ¤code;), so no row query could find its row by it");
}

}  // namespace
}  // namespace rowlark::postgres::testing
