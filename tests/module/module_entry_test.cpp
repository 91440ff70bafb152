#include "addin/module/module_entry.h"
#include "platform/win/host_journal.h"
#include "tests/support/host_fixture.h"

namespace {

class ModuleEntryTest : public test_support::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        host_journal::Clear();
        mfc_test::SetInitExtensionModuleFails(false);
    }
    void TearDown() override {
        mfc_test::SetInitExtensionModuleFails(false);
        HostTest::TearDown();
    }
};

TEST_F(ModuleEntryTest, AttachJoinsMfcWithAHeapLibraryAndDetachLeaves) {
    EXPECT_EQ(TRUE, Rowlark::ModuleEntry(nullptr, DLL_PROCESS_ATTACH, nullptr));
    EXPECT_EQ(1, mfc_test::LiveDynLinkLibraries());
    EXPECT_EQ(TRUE, Rowlark::ModuleEntry(nullptr, DLL_THREAD_ATTACH, nullptr));
    EXPECT_EQ(TRUE, Rowlark::ModuleEntry(nullptr, DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(0, mfc_test::LiveDynLinkLibraries());
    EXPECT_EQ((std::vector<std::string>{"AfxInitExtensionModule", "CDynLinkLibrary(false)",
                                        "AfxTermExtensionModule(false)"}),
              host_journal::Entries());
}

TEST_F(ModuleEntryTest, FailingExtensionModuleFailsTheAttach) {
    mfc_test::SetInitExtensionModuleFails(true);
    EXPECT_EQ(FALSE, Rowlark::ModuleEntry(nullptr, DLL_PROCESS_ATTACH, nullptr));
    EXPECT_EQ(0, mfc_test::LiveDynLinkLibraries());
    EXPECT_EQ(std::vector<std::string>{"AfxInitExtensionModule"}, host_journal::Entries());
}

}  // namespace
