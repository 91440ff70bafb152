// Run-time errors, the message window and status text, message boxes and extension modules.

#include <gtest/gtest.h>

#include "platform/mfc/afx.h"
#include "platform/runtime/module.h"
#include "platform/win/host_journal.h"

namespace {

class HostErrors : public ::testing::Test {
protected:
    void SetUp() override { host_errors::Clear(); }
    void TearDown() override {
        host_errors::SetRaiseThrows(false);
        host_errors::Clear();
    }
};

TEST_F(HostErrors, RaisedErrorIsRecordedAndTheCallReturns) {
    CBLModule::RaiseExtRuntimeError("first", 7);
    CBLModule::RaiseExtRuntimeError(nullptr, 1);
    ASSERT_EQ(host_errors::Raised().size(), 2u);
    EXPECT_EQ(host_errors::Raised()[0].text, "first");
    EXPECT_EQ(host_errors::Raised()[0].flag, 7);
    EXPECT_EQ(host_errors::Raised()[1].text, "");
}

TEST_F(HostErrors, ThrowingSwitchLeavesByHostRuntimeErrorAfterRecording) {
    host_errors::SetRaiseThrows(true);
    try {
        CBLModule::RaiseExtRuntimeError("stop", 7);
        FAIL() << "returned with the throwing switch on";
    } catch (const HostRuntimeError& e) {
        EXPECT_STREQ(e.what(), "stop");
        EXPECT_EQ(e.flag, 7);
    }
    ASSERT_EQ(host_errors::Raised().size(), 1u);
    host_errors::SetRaiseThrows(false);
    EXPECT_NO_THROW(CBLModule::RaiseExtRuntimeError("again", 7));
}

class BkEndUI : public ::testing::Test {
protected:
    void SetUp() override { GetBkEndUI()->Clear(); }
    void TearDown() override {
        GetBkEndUI()->SetEcho(nullptr);
        GetBkEndUI()->Clear();
    }
    static std::vector<MessageLine>& Echoed() {
        static std::vector<MessageLine> echoed;
        return echoed;
    }
};

TEST_F(BkEndUI, OneObjectKeepsLinesInOrderWithMarkers) {
    EXPECT_EQ(GetBkEndUI(), GetBkEndUI());
    GetBkEndUI()->DoMessageLine("one", 1);
    GetBkEndUI()->DoMessageLine(nullptr, 5);
    const auto& lines = GetBkEndUI()->Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "one");
    EXPECT_EQ(lines[0].marker, 1);
    EXPECT_EQ(lines[1].text, "");
    EXPECT_EQ(lines[1].marker, 5);
}

TEST_F(BkEndUI, EchoSeesEveryLine) {
    Echoed().clear();
    GetBkEndUI()->SetEcho([](const MessageLine& line) { Echoed().push_back(line); });
    GetBkEndUI()->DoMessageLine("shown", 7);
    ASSERT_EQ(Echoed().size(), 1u);
    EXPECT_EQ(Echoed()[0].text, "shown");
    EXPECT_EQ(Echoed()[0].marker, 7);
}

TEST_F(BkEndUI, StatusIsTheLastTextAndEmptyClearsIt) {
    GetBkEndUI()->DoStatusLine("searching");
    EXPECT_EQ(GetBkEndUI()->StatusText(), "searching");
    GetBkEndUI()->DoStatusLine("");
    EXPECT_EQ(GetBkEndUI()->StatusText(), "");
    const std::vector<std::string> history = {"searching", ""};
    EXPECT_EQ(GetBkEndUI()->StatusHistory(), history);
    EXPECT_TRUE(GetBkEndUI()->Lines().empty());
}

TEST(MessageBox, RecordsTextStyleAndHelpContext) {
    AfxMessageBoxLog().clear();
    EXPECT_EQ(AfxMessageBox("note", 0x40, 0), 1);
    ASSERT_EQ(AfxMessageBoxLog().size(), 1u);
    EXPECT_EQ(AfxMessageBoxLog()[0].text, "note");
    EXPECT_EQ(AfxMessageBoxLog()[0].type, 0x40u);
    EXPECT_EQ(AfxMessageBoxLog()[0].help_context, 0u);
    AfxMessageBoxLog().clear();
}

TEST(ExtensionModule, TermFreesTheLibrariesOfItsModuleOnly) {
    AFX_EXTENSION_MODULE mine;
    AFX_EXTENSION_MODULE other;
    const int before = mfc_test::LiveDynLinkLibraries();
    ASSERT_TRUE(AfxInitExtensionModule(mine, nullptr));
    EXPECT_TRUE(mine.bInitialized);
    new CDynLinkLibrary(mine, FALSE);
    auto* kept = new CDynLinkLibrary(other, FALSE);
    EXPECT_EQ(mfc_test::LiveDynLinkLibraries(), before + 2);
    AfxTermExtensionModule(mine, FALSE);
    EXPECT_FALSE(mine.bInitialized);
    EXPECT_EQ(mfc_test::LiveDynLinkLibraries(), before + 1);
    delete kept;
    EXPECT_EQ(mfc_test::LiveDynLinkLibraries(), before);
}

TEST(ExtensionModule, InitCanBeMadeToFail) {
    AFX_EXTENSION_MODULE state;
    mfc_test::SetInitExtensionModuleFails(true);
    EXPECT_FALSE(AfxInitExtensionModule(state, nullptr));
    EXPECT_FALSE(state.bInitialized);
    mfc_test::SetInitExtensionModuleFails(false);
    EXPECT_TRUE(AfxInitExtensionModule(state, nullptr));
}

}  // namespace
