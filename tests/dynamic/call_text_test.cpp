// The texts sent to the database, built on their own: every separator, and the quoting of texts.

#include <locale>
#include <string>

#include <gtest/gtest.h>

#include "addin/provider/dynamic/call_text.h"
#include "platform/text/cp1251.h"

namespace {

using OleDb::GridProvider::AppendQuoted;
using OleDb::GridProvider::QueryRowsCall;

std::string Text(const QueryRowsCall& call) { return OleDb::GridProvider::QueryRowsCallText(call); }

QueryRowsCall Goods() {
    QueryRowsCall call;
    call.table = "goods";
    call.index_tag = "NAME";
    call.key_field = "id";
    return call;
}

TEST(DynamicCallText, FirstLoadWithoutStartRow) {
    QueryRowsCall call = Goods();
    call.count = 1;
    call.filter_from = "A";
    call.filter_to = "B";
    EXPECT_EQ(Text(call), "QueryRows ('goods', 'NAME', '', '', 1, 'id',1, 'A', 'B',0)");
}

TEST(DynamicCallText, BackwardFromStartRowWithEmptyFilters) {
    QueryRowsCall call = Goods();
    call.start_index = "  lead";
    call.start_key = "42";
    call.count = 20;
    call.forward = false;
    EXPECT_EQ(Text(call), "QueryRows ('goods', 'NAME', '  lead', '42', 20, 'id',0, '', '',0)");
}

TEST(DynamicCallText, InclusiveAndLargeCountAreWrittenPlain) {
    QueryRowsCall call = Goods();
    call.count = 4294967295u;
    call.inclusive = true;
    EXPECT_EQ(Text(call), "QueryRows ('goods', 'NAME', '', '', 4294967295, 'id',1, '', '',1)");
}

// Groups digits by threes with a dot, as some national locales do.
struct DotGrouping : std::numpunct<char> {
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(DynamicCallText, CountIsPlainDigitsUnderAGroupingLocale) {
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new DotGrouping));
    QueryRowsCall call = Goods();
    call.count = 1234567;
    const std::string text = Text(call);
    std::locale::global(previous);
    EXPECT_EQ(text, "QueryRows ('goods', 'NAME', '', '', 1234567, 'id',1, '', '',0)");
}

TEST(DynamicCallText, ApostrophesInsideTextsAreDoubled) {
    QueryRowsCall call = Goods();
    call.start_index = "O'Brien";
    call.start_key = "'";
    call.filter_from = "a''b";
    EXPECT_EQ(Text(call), "QueryRows ('goods', 'NAME', 'O''Brien', '''', 0, 'id',1, 'a''''b', '',0)");
}

TEST(DynamicCallText, TextsWithoutApostropheKeepTheirBytes) {
    static constexpr cp1251::Literal kName{"Товары \"Ёлка\"\t"};
    QueryRowsCall call = Goods();
    call.table = kName.view();
    EXPECT_EQ(Text(call), "QueryRows ('" + kName.str() + "', 'NAME', '', '', 0, 'id',1, '', '',0)");
}

TEST(DynamicCallText, KeyListQuotesEachKey) {
    std::string list;
    AppendQuoted(list, "k1");
    list += ',';
    AppendQuoted(list, "it's");
    list += ',';
    AppendQuoted(list, "");
    list += ',';
    AppendQuoted(list, "''");
    EXPECT_EQ(list, "'k1','it''s','',''''''");
}

TEST(DynamicCallText, QuotingKeepsZeroBytesAndAppendsToWhatIsThere) {
    std::string list = "x";
    AppendQuoted(list, std::string_view("a\0'b", 4));
    EXPECT_EQ(list, std::string("x'a\0''b'", 8));
}

}  // namespace
