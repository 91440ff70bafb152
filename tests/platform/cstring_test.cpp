// CString's documented MFC behaviour that the module relies on.

#include <cstring>

#include <gtest/gtest.h>

#include "platform/mfc/cstring.h"
#include "platform/text/cp1251.h"
#include "platform/win/crt.h"

namespace {

TEST(CStringBuffer, GrowsKeepingTheContentsAndReleaseFindsTheNul) {
    CString text("abc");
    char* buffer = text.GetBuffer(10);
    EXPECT_EQ(std::memcmp(buffer, "abc", 3), 0);
    std::memcpy(buffer + 3, "defg", 5);  // with its NUL
    text.ReleaseBuffer();
    EXPECT_EQ(text.GetLength(), 7);
    EXPECT_STREQ(text, "abcdefg");
}

TEST(CStringBuffer, ReleaseWithALengthKeepsExactlyThatMany) {
    CString text;
    char* buffer = text.GetBuffer(5);
    std::memcpy(buffer, "a\0b\0c", 5);
    text.ReleaseBuffer(5);
    EXPECT_EQ(text.GetLength(), 5);
    EXPECT_EQ(text.view(), std::string_view("a\0b\0c", 5));
    text.GetBuffer(0);
    text.ReleaseBuffer();  // -1: up to the first NUL
    EXPECT_EQ(text.GetLength(), 1);
}

TEST(CStringBuffer, SmallerRequestKeepsTheWholeString) {
    CString text("hello");
    char* buffer = text.GetBuffer(2);
    EXPECT_STREQ(buffer, "hello");
    text.ReleaseBuffer();
    EXPECT_STREQ(text, "hello");
}

TEST(CStringEdit, DeleteClampsToTheString) {
    CString text("abcdef");
    EXPECT_EQ(text.Delete(1, 2), 4);
    EXPECT_STREQ(text, "adef");
    EXPECT_EQ(text.Delete(2, 100), 2);
    EXPECT_STREQ(text, "ad");
    EXPECT_EQ(text.Delete(5), 2);
    EXPECT_EQ(text.Delete(-3, 1), 1);
    EXPECT_STREQ(text, "d");
    EXPECT_EQ(text.Delete(0, 0), 1);
    EXPECT_EQ(text.Delete(0, -1), 1);
}

TEST(CStringEdit, ReplaceCountsAndDoesNotRescanItsOwnOutput) {
    CString text("aaa");
    EXPECT_EQ(text.Replace("a", "aa"), 3);
    EXPECT_STREQ(text, "aaaaaa");
    EXPECT_EQ(text.Replace("aa", "b"), 3);
    EXPECT_STREQ(text, "bbb");
    EXPECT_EQ(text.Replace("x", "y"), 0);
    EXPECT_EQ(text.Replace("", "y"), 0);
    EXPECT_EQ(text.Replace("b", ""), 3);
    EXPECT_TRUE(text.IsEmpty());

    const std::string marker = cp1251::FromUtf8("%СписокИД%");
    CString query(("where id in (" + marker + ")").c_str());
    EXPECT_EQ(query.Replace(marker.c_str(), "'1','2'"), 1);
    EXPECT_STREQ(query, "where id in ('1','2')");
}

class CStringLower : public ::testing::Test {
protected:
    void TearDown() override { crt::SetLocale(crt::Locale::C); }
    static std::string Lower(const char* utf8) {
        CString text(cp1251::FromUtf8(utf8).c_str());
        text.MakeLower();
        return std::string(text.view());
    }
};

TEST_F(CStringLower, CLocaleLowersOnlyLatin) {
    crt::SetLocale(crt::Locale::C);
    EXPECT_EQ(Lower("ABC Имя ЁЛКА"), cp1251::FromUtf8("abc Имя ЁЛКА"));
}

TEST_F(CStringLower, RussianLocaleLowersCyrillicIncludingYo) {
    crt::SetLocale(crt::Locale::Russian1251);
    EXPECT_EQ(Lower("ABC Имя ЁЛКА ЯЗЫК Її"), cp1251::FromUtf8("abc имя ёлка язык її"));
    EXPECT_EQ(Lower("ёлка 123 !"), cp1251::FromUtf8("ёлка 123 !"));
}

TEST(CStringParts, FindLeftMidCompare) {
    CString text("key=value");
    EXPECT_EQ(text.Find("="), 3);
    EXPECT_EQ(text.Find("=", 4), -1);
    EXPECT_EQ(text.Find("k", 99), -1);
    EXPECT_STREQ(text.Left(3), "key");
    EXPECT_STREQ(text.Left(99), "key=value");
    EXPECT_STREQ(text.Mid(4, 99), "value");
    EXPECT_STREQ(text.Mid(-2, 3), "key");
    EXPECT_LT(CString("a").Compare(cp1251::FromUtf8("а").c_str()), 0);  // bytes compare unsigned
    EXPECT_EQ(CString("same").Compare("same"), 0);
}

}  // namespace
