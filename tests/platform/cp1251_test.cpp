// The one code-page helper: compile-time literals and run-time conversion at the edges.

#include <gtest/gtest.h>

#include "platform/text/cp1251.h"

namespace {

TEST(Cp1251, EveryByteSurvivesARoundTripThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string utf8 = cp1251::ToUtf8(all);
    EXPECT_EQ(cp1251::FromUtf8(utf8), all);
    const auto strict = cp1251::TryFromUtf8(utf8);
    ASSERT_TRUE(strict.has_value());
    EXPECT_EQ(*strict, all);
}

TEST(Cp1251, LiteralIsConvertedAtCompileTime) {
    static constexpr cp1251::Literal kText{"Ёё Ая OLEDB"};
    static_assert(kText.size() == 11);
    static_assert(static_cast<unsigned char>(kText.c_str()[0]) == 0xA8);
    static_assert(static_cast<unsigned char>(kText.c_str()[1]) == 0xB8);
    static_assert(static_cast<unsigned char>(kText.c_str()[3]) == 0xC0);
    static_assert(static_cast<unsigned char>(kText.c_str()[4]) == 0xFF);
    EXPECT_EQ(kText.str(), cp1251::FromUtf8("Ёё Ая OLEDB"));
    EXPECT_EQ(cp1251::ToUtf8(kText.view()), "Ёё Ая OLEDB");
    EXPECT_EQ(kText.c_str()[kText.size()], '\0');
}

TEST(Cp1251, CharacterOutsideTheCodePageIsMarkedOrRefused) {
    EXPECT_EQ(cp1251::FromUtf8("a中b"), "a?b");
    EXPECT_FALSE(cp1251::TryFromUtf8("a中b").has_value());
    EXPECT_EQ(cp1251::FromUtf8("a\xFF"), "a?");  // malformed UTF-8
    EXPECT_FALSE(cp1251::TryFromUtf8("\xC3").has_value());  // cut sequence
    EXPECT_EQ(cp1251::FromUtf8("€№"), cp1251::Literal{"€№"}.str());
}

}  // namespace
