// Ill-formed UTF-8 from the database: every decoder of the layer and of the text helper treats it
// like a character code page 1251 cannot hold ('?', and the replacement is reported), never as
// the character an overlong form would spell.

#include <gtest/gtest.h>

#include <string>

#include "platform/oledb/text_out.h"
#include "platform/text/cp1251.h"

namespace {

struct Case {
    const char* what;
    std::string utf8;
    std::string cp1251;  // what the host gets
};

const Case kIllFormed[] = {
    {"overlong apostrophe", "a\xC0\xA7z", "a??z"},
    {"overlong two-byte Cyrillic form", "\xC1\x81", "??"},
    {"overlong three-byte apostrophe", "\xE0\x80\xA7", "???"},
    {"overlong four-byte apostrophe", "\xF0\x80\x80\xA7", "????"},
    {"high surrogate", "\xED\xA0\x80", "???"},
    {"low surrogate", "\xED\xBF\xBF", "???"},
    {"beyond U+10FFFF", "\xF4\x90\x80\x80", "????"},
    {"lead byte F5", "\xF5\x80\x80\x80", "????"},
    {"lead byte FF", "\xFF", "?"},
    {"truncated two-byte at the end", "ok\xD0", "ok?"},
    {"truncated three-byte before ASCII", "\xE2\x80z", "?z"},
    {"truncated four-byte before a letter", "\xF0\x9F\x98\xD0\x90", "?\xC0"},
    {"stray continuation byte", "\x80\xBF", "??"},
    {"Cyrillic lead without its second byte", "\xD0z", "?z"},
};

const Case kWellFormed[] = {
    {"Russian letters", "\xD0\x90\xD1\x8F\xD1\x91", "\xC0\xFF\xB8"},  // А я ё
    {"no-break space", "\xC2\xA0", "\xA0"},
    {"ellipsis", "\xE2\x80\xA6", "\x85"},
    {"euro sign", "\xE2\x82\xAC", "\x88"},
    {"ASCII apostrophe", "it's", "it's"},
};

TEST(IllFormedUtf8, EveryDecoderGivesQuestionMarksAndReportsIt) {
    for (const Case& c : kIllFormed) {
        std::string layer;
        EXPECT_FALSE(oledb_backend::AppendCp1251(c.utf8, layer)) << c.what;
        EXPECT_EQ(layer, c.cp1251) << c.what;
        EXPECT_EQ(cp1251::FromUtf8(c.utf8), c.cp1251) << c.what;
        EXPECT_FALSE(cp1251::TryFromUtf8(c.utf8).has_value()) << c.what;
    }
}

TEST(IllFormedUtf8, WellFormedTextStillConvertsExactly) {
    for (const Case& c : kWellFormed) {
        std::string layer;
        EXPECT_TRUE(oledb_backend::AppendCp1251(c.utf8, layer)) << c.what;
        EXPECT_EQ(layer, c.cp1251) << c.what;
        EXPECT_EQ(cp1251::FromUtf8(c.utf8), c.cp1251) << c.what;
        EXPECT_EQ(cp1251::TryFromUtf8(c.utf8), c.cp1251) << c.what;
    }
}

// The compile-time literals decode with the same rules.
constexpr bool DecodesAsIllFormed(const char* s, std::size_t n) {
    std::size_t i = 0;
    return cp1251::detail::DecodeUtf8(s, n, i) == cp1251::detail::kIllFormed;
}
static_assert(DecodesAsIllFormed("\xC0\xA7", 2));
static_assert(DecodesAsIllFormed("\xED\xA0\x80", 3));
static_assert(DecodesAsIllFormed("\xF4\x90\x80\x80", 4));
static_assert(!DecodesAsIllFormed("\xF4\x8F\xBF\xBF", 4));

TEST(IllFormedUtf8, DecoderConsumesTheLeadAndTheValidContinuations) {
    const std::string text = "\xF0\x9F\x98" "A";
    std::size_t i = 0;
    EXPECT_EQ(cp1251::detail::DecodeUtf8(text.data(), text.size(), i), cp1251::detail::kIllFormed);
    EXPECT_EQ(i, 3u) << "the next character starts at the A";
    EXPECT_EQ(cp1251::detail::DecodeUtf8(text.data(), text.size(), i), U'A');
}

}  // namespace
