#include <gtest/gtest.h>

#include "platform/oledb/pg_statement_text.h"
#include "platform/oledb/row_cursor.h"

using oledb_backend::TranslateNamedParams;

namespace {

std::string Sql(const std::string& text) { return TranslateNamedParams(text).sql; }

std::string Refusal(const std::string& text) {
    try {
        TranslateNamedParams(text);
    } catch (const oledb_backend::CursorError& e) {
        return e.what();
    }
    return "<accepted>";
}

}  // namespace

TEST(PgStatementText, NamesInEachNotationBecomeNumbersOnePerAppearance) {
    // One number per appearance: the server gives each its own type from its own place.
    const auto out = TranslateNamedParams("SELECT :a, @b, $c, :a, :Ж_1 FROM t WHERE x = @b");
    EXPECT_EQ(out.sql, "SELECT $1, $2, $3, $4, $5 FROM t WHERE x = $6");
    EXPECT_EQ(out.names, (std::vector<std::string>{"a", "b", "c", "a", "Ж_1", "b"}));
    EXPECT_EQ(out.numbered, 0);
}

TEST(PgStatementText, NamesInsideQuotesCommentsAndDollarTextsStayText) {
    EXPECT_EQ(Sql("SELECT ':a', \":b\", E'\\':c', 'it''s :d' -- :e\n, /* :f /* :g */ :h */ :i"),
              "SELECT ':a', \":b\", E'\\':c', 'it''s :d' -- :e\n, /* :f /* :g */ :h */ $1");
    EXPECT_EQ(Sql("SELECT $$ :a $$, $q$ :b $x$ $q$, :c"), "SELECT $$ :a $$, $q$ :b $x$ $q$, $1");
}

TEST(PgStatementText, CastsOperatorsAndNamesWithDollarsAreNotParameters) {
    EXPECT_EQ(Sql("SELECT x::int, a <@ b, t @@ q, @ -5, a$b FROM t"), "SELECT x::int, a <@ b, t @@ q, @ -5, a$b FROM t");
    EXPECT_EQ(Sql("SELECT :x::int"), "SELECT $1::int");
}

TEST(PgStatementText, WrittenNumberedParametersKeepTheirNumbersAndNamesFollowThem) {
    const auto out = TranslateNamedParams("SELECT $2, :a, $1");
    EXPECT_EQ(out.sql, "SELECT $2, $3, $1");
    EXPECT_EQ(out.numbered, 2);
}

TEST(PgStatementText, OneStatementOnlyWithItsSemicolonAndTrailingCommentsCut) {
    EXPECT_EQ(Sql("SELECT 1; -- done\n ; /* c */"), "SELECT 1");
    EXPECT_EQ(Sql("SELECT ';'"), "SELECT ';'");
    EXPECT_EQ(Refusal("SELECT 1; SELECT 2"), "more than one statement in one command");
    EXPECT_EQ(Refusal("SELECT 1;;x"), "more than one statement in one command");
    EXPECT_EQ(Refusal("  -- nothing\n /* here */ ;"), "empty statement text");
    EXPECT_EQ(Refusal(""), "empty statement text");
}

TEST(PgStatementText, UnclosedQuotesAndCommentsEndAtTheTextsEndForTheServerToRefuse) {
    EXPECT_EQ(Sql("SELECT 'abc; :x"), "SELECT 'abc; :x");
    EXPECT_EQ(Sql("SELECT 1 /* ; :x"), "SELECT 1 /* ; :x");
    EXPECT_EQ(Sql("SELECT $t$ ; :x"), "SELECT $t$ ; :x");
}

namespace {

using Refs = std::vector<std::pair<std::string, std::string>>;  // written, name

Refs RefsOf(const std::vector<oledb_backend::ParameterRef>& refs) {
    Refs out;
    for (const auto& ref : refs) out.emplace_back(ref.written, ref.name);
    return out;
}

}  // namespace

TEST(PgStatementText, MarksBecomeNumberedParametersAsSqliteNumbersThem) {
    const auto out = TranslateNamedParams("SELECT ?, ?3, ?, ?03 FROM t WHERE a = '?' AND b = \"?\" -- ?\n");
    EXPECT_EQ(out.sql, "SELECT $1, $3, $4, $3 FROM t WHERE a = '?' AND b = \"?\" -- ?\n");
    EXPECT_EQ(out.numbered, 4);
    EXPECT_EQ(RefsOf(out.refs), (Refs{{"?", "1"}, {"?3", "3"}, {"?", "4"}, {"?03", "3"}}));
    // A name's first appearance takes a number, as it does in SQLite: the mark after it is the second.
    EXPECT_EQ(TranslateNamedParams("SELECT :a, ?, :a").sql, "SELECT $3, $2, $4");
}

TEST(PgStatementText, DoubledMarkIsTheServersOwnOperator) {
    EXPECT_EQ(Sql("SELECT d ?? 'k', d ??| array['a'], ?"), "SELECT d ? 'k', d ?| array['a'], $1");
    EXPECT_TRUE(TranslateNamedParams("SELECT d ?? 'k'").refs.empty());
}

TEST(PgStatementText, EachParameterIsReportedOnceByTheNameItBindsBy) {
    const auto out = TranslateNamedParams("SELECT :a, @a, $b, :a, $2, $1::int, :Ж_1 FROM t WHERE x = @a");
    EXPECT_EQ(RefsOf(out.refs),
              (Refs{{":a", "a"}, {"@a", "a"}, {"$b", "b"}, {"$2", "2"}, {"$1", "1"}, {":Ж_1", "Ж_1"}}));
    EXPECT_EQ(out.numbered, 2);
}
