// The terminal's keys as the grid reads them, on a pseudo-terminal of type xterm: Ctrl+Home and
// Ctrl+End come as Home and End, so one table entry serves both. A wait for a key ends for a stop
// signal however close to the wait it comes, and for a resize.
#include <curses.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "tools/grid/terminal.h"
#include "tools/session/stop_signals.h"

namespace grid_tool {
namespace {

class PseudoTerminalTest : public ::testing::Test {
protected:
    void SetUp() override {
        winsize size{};
        size.ws_row = 24;
        size.ws_col = 80;
        ASSERT_EQ(openpty(&master_, &slave_, nullptr, nullptr, &size), 0);
        out_ = fdopen(dup(slave_), "w");
        in_ = fdopen(dup(slave_), "r");
        ASSERT_NE(out_, nullptr);
        ASSERT_NE(in_, nullptr);
    }
    void TearDown() override {
        for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal_number, SIG_DFL);
        tools::g_stop_signal = 0;
        tools::g_test_signal_after_check = 0;
        if (out_ != nullptr) std::fclose(out_);
        if (in_ != nullptr) std::fclose(in_);
        if (slave_ >= 0) close(slave_);
        if (master_ >= 0) close(master_);
    }
    void Type(const std::string& bytes) { ASSERT_EQ(write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
    // The next key: waits through reads that time out before the bytes arrive.
    static Terminal::Key NextKey(Terminal& terminal) {
        for (int attempt = 0; attempt < 50; ++attempt) {
            const Terminal::Key key = terminal.Read();
            if (key.kind != Terminal::Key::Kind::None) return key;
        }
        return {};
    }

    int master_ = -1;
    int slave_ = -1;
    FILE* out_ = nullptr;
    FILE* in_ = nullptr;
};

TEST_F(PseudoTerminalTest, CtrlHomeAndCtrlEndComeAsHomeAndEnd) {
    Terminal terminal("xterm", out_, in_);
    ASSERT_TRUE(terminal.open());
    Type("\x1b[1;5H");  // xterm's kHOM5
    Terminal::Key key = NextKey(terminal);
    EXPECT_EQ(key.kind, Terminal::Key::Kind::Function);
    EXPECT_EQ(key.code, KEY_HOME);
    Type("\x1b[1;5F");  // kEND5
    key = NextKey(terminal);
    EXPECT_EQ(key.kind, Terminal::Key::Kind::Function);
    EXPECT_EQ(key.code, KEY_END);
}

TEST_F(PseudoTerminalTest, CharactersAndPlainFunctionKeysComeAsTheyAre) {
    Terminal terminal("xterm", out_, in_);
    ASSERT_TRUE(terminal.open());
    Type("\xd0\x96");  // Ж in UTF-8
    Terminal::Key key = NextKey(terminal);
    EXPECT_EQ(key.kind, Terminal::Key::Kind::Char);
    EXPECT_EQ(key.code, 0x416);
    Type(tigetstr("kf2"));
    key = NextKey(terminal);
    EXPECT_EQ(key.kind, Terminal::Key::Kind::Function);
    EXPECT_EQ(key.code, KEY_F(2));
}

TEST_F(PseudoTerminalTest, AStopSignalRightAfterTheCheckForOneEndsTheWaitForAKey) {
    tools::CatchStopSignals();  // as the grid does, before the screen opens
    Terminal terminal("xterm", out_, in_);
    ASSERT_TRUE(terminal.open());
    tools::g_test_signal_after_check = SIGINT;
    EXPECT_EQ(terminal.Read().kind, Terminal::Key::Kind::None);
    EXPECT_EQ(tools::g_stop_signal, SIGINT);
    tools::g_stop_signal = 0;  // the stop is taken; keys come again
    Type("q");
    EXPECT_EQ(terminal.Read().code, 'q');
}

TEST_F(PseudoTerminalTest, AResizeNotedBeforeTheWaitComesAsAKey) {
    tools::CatchStopSignals();
    Terminal terminal("xterm", out_, in_);
    ASSERT_TRUE(terminal.open());
    winsize size{};
    size.ws_row = 30;
    size.ws_col = 100;
    ASSERT_EQ(ioctl(master_, TIOCSWINSZ, &size), 0);
    std::raise(SIGWINCH);
    const Terminal::Key key = terminal.Read();
    EXPECT_EQ(key.kind, Terminal::Key::Kind::Function);
    EXPECT_EQ(key.code, KEY_RESIZE);
    EXPECT_EQ(terminal.Lines(), 30);
}

}  // namespace
}  // namespace grid_tool
