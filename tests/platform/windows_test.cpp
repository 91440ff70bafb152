// Window procedures reached through SendMessageA, and _mbscmp's unsigned byte order.

#include <gtest/gtest.h>

#include "platform/text/cp1251.h"
#include "platform/win/crt.h"
#include "platform/win/windows.h"

namespace {

struct Received {
    int calls = 0;
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
};

LRESULT Record(HWND window, UINT message, WPARAM wparam, LPARAM lparam, void* user) {
    auto* received = static_cast<Received*>(user);
    ++received->calls;
    *received = {received->calls, window, message, wparam, lparam};
    return 77;
}

TEST(SendMessage, LiveWindowGetsTheMessageAtOnceAndAnswers) {
    Received received;
    HWND window = win::CreateMessageWindow(&Record, &received);
    EXPECT_TRUE(win::IsWindow(window));
    EXPECT_EQ(SendMessageA(window, WM_USER + 16, 2, -5), 77);
    EXPECT_EQ(received.calls, 1);
    EXPECT_EQ(received.window, window);
    EXPECT_EQ(received.message, WM_USER + 16);
    EXPECT_EQ(received.wparam, 2u);
    EXPECT_EQ(received.lparam, -5);
    win::DestroyMessageWindow(window);
}

TEST(SendMessage, DestroyedOrNullWindowAnswersZeroAndCallsNothing) {
    Received received;
    HWND window = win::CreateMessageWindow(&Record, &received);
    win::DestroyMessageWindow(window);
    EXPECT_FALSE(win::IsWindow(window));
    EXPECT_EQ(SendMessageA(window, WM_USER + 16, 0, 0), 0);
    EXPECT_EQ(SendMessageA(nullptr, WM_USER + 16, 0, 0), 0);
    EXPECT_EQ(received.calls, 0);
}

int Compare(const std::string& a, const std::string& b) {
    return _mbscmp(reinterpret_cast<const unsigned char*>(a.c_str()),
                   reinterpret_cast<const unsigned char*>(b.c_str()));
}

TEST(Mbscmp, ComparesBytesAsUnsigned) {
    const std::string cyrillic = cp1251::FromUtf8("я");
    EXPECT_GT(Compare(cyrillic, "z"), 0);  // 0xFF after every ASCII byte
    EXPECT_LT(Compare(cp1251::FromUtf8("Ёж"), cp1251::FromUtf8("Еж")), 0);  // 0xA8 before 0xC5
    EXPECT_EQ(Compare("abc", "abc"), 0);
    EXPECT_LT(Compare("ab", "abc"), 0);
    EXPECT_GT(Compare("abc", "ab"), 0);
    EXPECT_EQ(Compare("", ""), 0);
}

}  // namespace
