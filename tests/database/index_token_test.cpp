// The index text as a token: plain texts are their own token, every other value travels through the
// host's code page in an escaped form and comes back as exactly the bytes it was.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/index_token.h"
#include "platform/text/cp1251.h"

namespace rowlark::database {
namespace {

TEST(IndexToken, PlainTextsAreTheirOwnToken) {
    for (const std::string plain : {"", "Арбуз", "O'Brien", "12.5", "Ёж ёж", "€ № ™", "a;b", "x41;"}) {
        EXPECT_EQ(EncodeIndexToken(plain), plain);
        EXPECT_EQ(DecodeIndexToken(plain), plain);
    }
}

TEST(IndexToken, ValuesOutsideTheCodePageComeBackWhole) {
    const std::vector<std::string> values = {
        "中文名", "Ёлка 中", "😀 smile", "e\u0301te", "¤", "¤¤x", "price ¤5;", std::string("nul\0here", 8),
        "bad \xFF byte", "cut \xE4\xB8", "\xC0\xA7 overlong", "中¤😀\xFF"};
    for (const std::string& value : values) {
        const std::string token = EncodeIndexToken(value);
        // What the host keeps is CP1251: the token converts without loss and back again.
        const auto held = cp1251::TryFromUtf8(token);
        ASSERT_TRUE(held) << token;
        EXPECT_EQ(held->find('\0'), std::string::npos) << token;
        EXPECT_EQ(DecodeIndexToken(cp1251::ToUtf8(*held)), value) << token;
    }
    EXPECT_EQ(EncodeIndexToken("中"), "¤4E2D;");
    EXPECT_EQ(EncodeIndexToken("😀"), "¤1F600;");
    EXPECT_EQ(EncodeIndexToken("a¤b"), "a¤¤b");
    EXPECT_EQ(EncodeIndexToken("\xFF"), "¤xFF;");
}

TEST(IndexToken, DistinctValuesGiveDistinctTokens) {
    const std::vector<std::string> values = {"中", "¤4E2D;", "?", "¤", "¤¤", "\xFF", "¤xFF;", ""};
    for (size_t i = 0; i < values.size(); ++i)
        for (size_t j = i + 1; j < values.size(); ++j)
            EXPECT_NE(EncodeIndexToken(values[i]), EncodeIndexToken(values[j])) << i << " " << j;
}

TEST(IndexToken, TextThatNoAnswerGaveIsRefused) {
    for (const std::string bad : {"¤", "a¤", "¤4E2D", "¤;", "¤4e2d;", "¤G;", "¤D800;", "¤110000;", "¤x;", "¤x100;",
                                  "¤ 41;"})
        EXPECT_FALSE(DecodeIndexToken(bad)) << bad;
}

TEST(IndexToken, CodePageFitIsDecidedPerCharacter) {
    EXPECT_TRUE(FitsCodePage(""));
    EXPECT_TRUE(FitsCodePage("Ключ-42 ¤ №"));
    EXPECT_FALSE(FitsCodePage("ключ中"));
    EXPECT_FALSE(FitsCodePage("😀"));
    EXPECT_FALSE(FitsCodePage("e\u0301"));
    EXPECT_FALSE(FitsCodePage(std::string("a\0b", 3)));
    EXPECT_FALSE(FitsCodePage("\xFF"));
}

}  // namespace
}  // namespace rowlark::database
