#include <gtest/gtest.h>

#include "platform/oledb/call_text.h"

using oledb_backend::CallName;
using oledb_backend::CursorError;
using oledb_backend::ParseCall;

TEST(CallText, ReadsTheProvidersQueryRowsCall) {
    const auto call = ParseCall("QueryRows ('goods', 'NAME', '', '', 50, 'id',1, '', '',0)");
    EXPECT_EQ(call.name, "QueryRows");
    ASSERT_EQ(call.args.size(), 10u);
    EXPECT_TRUE(call.args[0].is_text);
    EXPECT_EQ(call.args[0].text, "goods");
    EXPECT_EQ(call.args[2].text, "");
    EXPECT_FALSE(call.args[4].is_text);
    EXPECT_EQ(call.args[4].number, 50);
    EXPECT_EQ(call.args[6].number, 1);
    EXPECT_EQ(call.args[9].number, 0);
}

TEST(CallText, UndoublesApostrophesAndKeepsEverythingElseInsideQuotes) {
    const auto call = ParseCall("P('it''s', '''', 'a, b)', 'Ёлка  ')");
    ASSERT_EQ(call.args.size(), 4u);
    EXPECT_EQ(call.args[0].text, "it's");
    EXPECT_EQ(call.args[1].text, "'");
    EXPECT_EQ(call.args[2].text, "a, b)");
    EXPECT_EQ(call.args[3].text, "Ёлка  ");
}

TEST(CallText, ReadsNegativeAndExtremeIntegers) {
    const auto call = ParseCall("P(-20, 0, -9223372036854775808, 9223372036854775807)");
    ASSERT_EQ(call.args.size(), 4u);
    EXPECT_EQ(call.args[0].number, -20);
    EXPECT_EQ(call.args[1].number, 0);
    EXPECT_EQ(call.args[2].number, INT64_MIN);
    EXPECT_EQ(call.args[3].number, INT64_MAX);
}

TEST(CallText, AcceptsAnyBlanksNoArgumentsAndATrailingSemicolon) {
    EXPECT_EQ(ParseCall("  P\t(\n 1 ,'a'\r\n)  ; ").args.size(), 2u);
    EXPECT_TRUE(ParseCall("P()").args.empty());
    EXPECT_TRUE(ParseCall("P (  )").args.empty());
}

TEST(CallText, RefusesBadSyntaxSayingWhere) {
    const char* bad[] = {
        "P('a'",              // not closed
        "P('a)",              // text not closed
        "P('a' 'b')",         // missing comma
        "P(1,)",              // missing argument
        "P(,1)",              // missing argument
        "P(abc)",             // a bare word
        "P(1.5)",             // not a whole number
        "P(--1)",             // two signs
        "P(-)",               // a sign alone
        "P(12x)",             // digits running into a word
        "P(1) extra",         // text after the call
        "P(1);;",             // two semicolons
        "P(9223372036854775808)",   // above 64 bits
        "P(-9223372036854775809)",  // below 64 bits
        "(1)",                // no name
    };
    for (const char* text : bad) EXPECT_THROW(ParseCall(text), CursorError) << text;
    try {
        ParseCall("QueryRows('a' 'b')");
        FAIL();
    } catch (const CursorError& e) {
        EXPECT_NE(std::string(e.what()).find("QueryRows"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("позиции 15"), std::string::npos) << e.what();
    }
}

TEST(CallText, RecognisesOnlyTextsShapedLikeACall) {
    EXPECT_EQ(CallName("QueryRows ('a')").value_or(""), "QueryRows");
    EXPECT_EQ(CallName("  p_2(").value_or(""), "p_2");
    EXPECT_FALSE(CallName("SELECT * FROM t").has_value());
    EXPECT_FALSE(CallName("QueryRows").has_value());
    EXPECT_FALSE(CallName("").has_value());
    EXPECT_FALSE(CallName("2P(1)").has_value());
}
