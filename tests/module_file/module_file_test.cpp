#include <string>
#include <vector>

#include "platform/runtime/script_object.h"
#include "platform/win/host_journal.h"
#include "platform/win/module_loader.h"
#include "tests/support/host_fixture.h"

using test_support::Cp;
using test_support::Utf;

namespace {

class ModuleFile : public test_support::HostTest {
protected:
    int baseline_ = 0;
    void SetUp() override {
        HostTest::SetUp();
        host_journal::Clear();
        baseline_ = CBLContext::RegistrationCount();  // classes of the platform (OLEDBData)
        mfc_test::SetInitExtensionModuleFails(false);
    }
    void TearDown() override {
        mfc_test::SetInitExtensionModuleFails(false);
        HostTest::TearDown();
    }
};

TEST_F(ModuleFile, LoadRegistersThenAttachesAndUnloadDetachesThenUnregisters) {
    HINSTANCE module = win::LoadLibraryA(ROWLARK_MODULE_PATH);
    ASSERT_NE(nullptr, module) << win::LastLoadError();
    {
        ScriptObject english = ScriptObject::Create("Rowlark.Provider.OleDb.VFP.Dynamic");
        ScriptObject russian = ScriptObject::Create(Cp("Рядовид.Провайдер.OleDb.VFP.Статический").c_str());
        ASSERT_TRUE(english.Valid());
        ASSERT_TRUE(russian.Valid());
        EXPECT_EQ(8, english.context()->PropertyCount());
        EXPECT_EQ(2, russian.context()->PropertyCount());
        EXPECT_EQ("Рядовид.Провайдер.OleDb.VFP.Динамический", Utf(english.context()->DisplayTypeName()));
    }
    ASSERT_TRUE(win::FreeLibrary(module));
    const std::string path = ROWLARK_MODULE_PATH;
    EXPECT_EQ((std::vector<std::string>{
                  "LoadLibrary " + path,
                  "RegisterContextClass Rowlark.Provider.OleDb.VFP.Static 100",
                  "RegisterContextClass Рядовид.Провайдер.OleDb.VFP.Статический 100",
                  "RegisterContextClass Rowlark.Provider.OleDb.VFP.Dynamic 100",
                  "RegisterContextClass Рядовид.Провайдер.OleDb.VFP.Динамический 100",
                  "AfxInitExtensionModule",
                  "CDynLinkLibrary(false)",
                  "AfxTermExtensionModule(false)",
                  "UnRegisterContextClass CContext_Rowlark.Provider.OleDb.VFP.Dynamic",
                  "UnRegisterContextClass CContext_Rowlark.Provider.OleDb.VFP.Dynamic",
                  "UnRegisterContextClass CContext_Rowlark.Provider.OleDb.VFP.Static",
                  "UnRegisterContextClass CContext_Rowlark.Provider.OleDb.VFP.Static",
                  "UnloadLibrary",
              }),
              test_support::HostJournal());
    EXPECT_EQ(0, (CBLContext::RegistrationCount() - baseline_));
    EXPECT_EQ(0, mfc_test::LiveDynLinkLibraries());
}

TEST_F(ModuleFile, FailingAttachFailsTheLoadAndUndoesStaticInitialisation) {
    mfc_test::SetInitExtensionModuleFails(true);
    EXPECT_EQ(nullptr, win::LoadLibraryA(ROWLARK_MODULE_PATH));
    EXPECT_NE(std::string::npos, win::LastLoadError().find("attach"));
    EXPECT_EQ(0, (CBLContext::RegistrationCount() - baseline_));
    EXPECT_FALSE(CBLContext::IsRegistered("Rowlark.Provider.OleDb.VFP.Static"));
}

TEST_F(ModuleFile, HundredLoadAndUnloadCyclesLeaveNothingBehind) {
    for (int i = 0; i < 100; ++i) {
        HINSTANCE module = win::LoadLibraryA(ROWLARK_MODULE_PATH);
        ASSERT_NE(nullptr, module) << win::LastLoadError();
        ScriptObject provider = ScriptObject::Create("Rowlark.Provider.OleDb.VFP.Static");
        ASSERT_TRUE(provider.Valid());
        provider = ScriptObject(CValue());  // objects die before their code is unloaded
        ASSERT_TRUE(win::FreeLibrary(module));
        ASSERT_EQ(0, (CBLContext::RegistrationCount() - baseline_));
    }
    EXPECT_EQ(0, mfc_test::LiveDynLinkLibraries());
}

TEST_F(ModuleFile, MissingFileIsRefusedWithTheLoadersReason) {
    EXPECT_EQ(nullptr, win::LoadLibraryA("/nonexistent/Rowlark.Provider.OleDb.VFP.so"));
    EXPECT_FALSE(win::LastLoadError().empty());
}

}  // namespace
