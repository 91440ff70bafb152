#include "tools/terminal_text/showable_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "platform/text/cp1251.h"

namespace {

using terminal_text::Align;
using terminal_text::Cut;
using terminal_text::Fit;
using terminal_text::Showable;
using terminal_text::Width;

const std::string kReplacement = "\xEF\xBF\xBD";  // U+FFFD

std::string Utf8(char32_t c) {
    std::string out;
    cp1251::detail::AppendUtf8(out, c);
    return out;
}

TEST(ShowableText, EveryC0ControlAndDelBecomesItsControlPicture) {
    for (char32_t c = 0; c < 0x20; ++c) {
        const std::string text(1, static_cast<char>(c));
        EXPECT_EQ(Utf8(0x2400 + c), Showable(text)) << "control " << static_cast<int>(c);
        EXPECT_EQ(1u, Width(text)) << "control " << static_cast<int>(c);
    }
    EXPECT_EQ("\xE2\x90\xA1", Showable("\x7F"));
    // The carriage return that drew "3" over "7" now stands beside it.
    EXPECT_EQ("7\xE2\x90\x8D" "3", Showable("7\r3"));
}

TEST(ShowableText, C1AndDirectionControlsBecomeTheReplacementCharacter) {
    for (char32_t c = 0x80; c < 0xA0; ++c) EXPECT_EQ(kReplacement, Showable(Utf8(c))) << std::hex << c;
    for (char32_t c : {0x061C, 0x200E, 0x200F, 0x2028, 0x2029, 0x202A, 0x202B, 0x202C, 0x202D, 0x202E, 0x2066, 0x2067,
                       0x2068, 0x2069, 0x206A, 0x206F, 0xFFF9, 0xFFFB}) {
        EXPECT_EQ(kReplacement, Showable("a" + Utf8(c) + "b").substr(1, 3)) << std::hex << c;
        EXPECT_EQ(3u, Width("a" + Utf8(c) + "b")) << std::hex << c;
    }
}

TEST(ShowableText, EachBadByteRunBecomesOneReplacementAndTheRestSurvives) {
    EXPECT_EQ("a" + kReplacement + "b", Showable("a\xFF" "b"));
    EXPECT_EQ(kReplacement + "a", Showable("\xC3" "a"));  // a lead byte cut short
    EXPECT_EQ(kReplacement + kReplacement, Showable("\xC0\xAF"));  // overlong
    EXPECT_EQ(kReplacement + kReplacement + kReplacement, Showable("\xED\xA0\x80"));  // a surrogate
    EXPECT_EQ("x" + kReplacement, Showable("x\xE6\xBC"));  // the text ends inside a character
    EXPECT_EQ(2u, Width("\xFF\xFE"));
}

TEST(ShowableText, PrintableTextIsLeftAsItIsAndShowingTwiceChangesNothing) {
    const std::string printable = "Ёжик 漢字 Ａ \U0001F600 e\u0301 a\u200Bb \u200D №";
    EXPECT_EQ(printable, Showable(printable));
    const std::string hostile = "\x1B]2;title\x07\r\b\t\n\xC2\x9B\u202E\xFF";
    EXPECT_EQ(Showable(hostile), Showable(Showable(hostile)));
    EXPECT_EQ(Width(hostile), Width(Showable(hostile)));
}

TEST(ShowableText, CyrillicFromTheHostCodePageIsShownAndItsOneControlReplaced) {
    EXPECT_EQ("Ёж", terminal_text::ShowableFromCp1251("\xA8\xE6"));
    EXPECT_EQ(kReplacement, terminal_text::ShowableFromCp1251("\x98"));  // U+0098, a C1 control
    EXPECT_EQ("\xE2\x90\x9B", terminal_text::ShowableFromCp1251("\x1B"));
}

TEST(TextWidth, WideCharactersTakeTwoColumnsAndCombiningAndZeroWidthOnesNone) {
    EXPECT_EQ(4u, Width("漢字"));
    EXPECT_EQ(2u, Width("Ａ"));
    EXPECT_EQ(2u, Width("\U0001F600"));
    EXPECT_EQ(1u, Width("e\u0301"));
    EXPECT_EQ(2u, Width("a\u200Bb"));
    EXPECT_EQ(5u, Width("Ёжик."));
}

TEST(TextWidth, DoesNotDependOnOrChangeTheProcessLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    ASSERT_EQ("C", before);  // the test program never sets one
    EXPECT_EQ(4u, Width("漢字"));
    EXPECT_EQ("漢字", Showable("漢字"));
    EXPECT_EQ(before, std::setlocale(LC_ALL, nullptr));
}

TEST(FitText, PadsToScreenColumnsOnTheChosenSide) {
    EXPECT_EQ("漢  ", Fit("漢", 4));
    EXPECT_EQ("  Ж", Fit("Ж", 3, Align::kRight));
    EXPECT_EQ("e\u0301  ", Fit("e\u0301", 3));
    EXPECT_EQ("\xE2\x90\x8D ", Fit("\r", 2));
    EXPECT_EQ("", Fit("anything", 0));
}

TEST(FitText, CutsWithAnEllipsisAndNeverSplitsAWideCharacterAcrossTheEdge) {
    EXPECT_EQ("abc…", Fit("abcdef", 4));
    EXPECT_EQ("漢… ", Fit("漢字漢", 4));  // 字 would cross the edge: a blank keeps the width
    EXPECT_EQ(4u, Width(Fit("漢字漢", 4)));
    EXPECT_EQ("…", Fit("ab", 1));
    const std::string cut = Fit("\r\b\x1B[2J\u202Eabc", 5);
    EXPECT_EQ(5u, Width(cut));
    EXPECT_EQ(std::string::npos, cut.find_first_of("\r\b\x1B"));
}

TEST(CutText, KeepsWhatFitsWithoutMarkOrPadding) {
    EXPECT_EQ("abc", Cut("abc漢", 4));
    EXPECT_EQ("ab", Cut("ab", 10));
    EXPECT_EQ("a\u0301", Cut("a\u0301b", 1));  // a combining mark goes with its letter
    EXPECT_EQ("\xE2\x90\x9B[", Cut("\x1B[2J", 2));
}

}  // namespace
