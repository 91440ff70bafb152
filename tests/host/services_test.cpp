// The system and user interface services on the host runtime stand-in.

#include <gtest/gtest.h>

#include "addin/host/platform.h"
#include "addin/host/services.h"
#include "addin/host/services_1s.h"
#include "platform/text/cp1251.h"

namespace {

class HostServices : public ::testing::Test {
protected:
    void SetUp() override { ClearHost(); }
    void TearDown() override { ClearHost(); }
    static void ClearHost() {
        GetBkEndUI()->Clear();
        host_errors::SetRaiseThrows(false);
        host_errors::Clear();
        AfxMessageBoxLog().clear();
    }
};

TEST_F(HostServices, AccessorsReturnOneObjectEachOfTheHostImplementation) {
    Utils::CSystemInterface* system = GetSystemInterface();
    Utils::CUserInterface* user = GetUserInterface();
    EXPECT_EQ(system, GetSystemInterface());
    EXPECT_EQ(user, GetUserInterface());
    EXPECT_NE(dynamic_cast<Utils1s::CSystemInterface*>(system), nullptr);
    EXPECT_NE(dynamic_cast<Utils1s::CUserInterface*>(user), nullptr);
}

TEST_F(HostServices, ShowMessageMapsKindsToMarkers) {
    const std::pair<int, int> kind_to_marker[] = {{0, 1}, {1, 5}, {2, 7}, {3, 1}, {-1, 1}};
    for (const auto& [kind, marker] : kind_to_marker)
        GetUserInterface()->ShowMessage("kind " + std::to_string(kind), kind);

    const auto& lines = GetBkEndUI()->Lines();
    ASSERT_EQ(lines.size(), std::size(kind_to_marker));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].text, "kind " + std::to_string(kind_to_marker[i].first));
        EXPECT_EQ(lines[i].marker, kind_to_marker[i].second) << "kind " << kind_to_marker[i].first;
    }
}

TEST_F(HostServices, ShowMessagePassesCp1251TextUnchanged) {
    static constexpr cp1251::Literal kLine{"Опорная таблица: Ёлки"};
    GetUserInterface()->ShowMessage(kLine.str(), 0);
    ASSERT_EQ(GetBkEndUI()->Lines().size(), 1u);
    EXPECT_EQ(GetBkEndUI()->Lines()[0].text, kLine.view());
}

TEST_F(HostServices, SetStatusTextSetsThenEmptyTextClears) {
    static constexpr cp1251::Literal kSearching{"Идет поиск..."};
    GetUserInterface()->SetStatusText(kSearching.str());
    EXPECT_EQ(GetBkEndUI()->StatusText(), kSearching.view());
    GetUserInterface()->SetStatusText("");
    EXPECT_EQ(GetBkEndUI()->StatusText(), "");
    ASSERT_EQ(GetBkEndUI()->StatusHistory().size(), 2u);
    EXPECT_TRUE(GetBkEndUI()->Lines().empty());
}

TEST_F(HostServices, ShowMessageBoxUsesInformationStyleAndNoHelpContext) {
    GetUserInterface()->ShowMessageBox("done");
    ASSERT_EQ(AfxMessageBoxLog().size(), 1u);
    EXPECT_EQ(AfxMessageBoxLog()[0].text, "done");
    EXPECT_EQ(AfxMessageBoxLog()[0].type, 0x40u);
    EXPECT_EQ(AfxMessageBoxLog()[0].help_context, 0u);
}

TEST_F(HostServices, RaiseErrorRecordsTextWithFlag7AndReturns) {
    static constexpr cp1251::Literal kError{"Неверный индекс поля"};
    GetSystemInterface()->RaiseError(kError.str());
    ASSERT_EQ(host_errors::Raised().size(), 1u);
    EXPECT_EQ(host_errors::Raised()[0].text, kError.view());
    EXPECT_EQ(host_errors::Raised()[0].flag, 7);
}

TEST_F(HostServices, RaiseErrorLeavesByTheHostMechanismWhenTheHostThrows) {
    host_errors::SetRaiseThrows(true);
    try {
        GetSystemInterface()->RaiseError("boom");
        FAIL() << "RaiseError returned although the host throws";
    } catch (const HostRuntimeError& e) {
        EXPECT_STREQ(e.what(), "boom");
        EXPECT_EQ(e.flag, 7);
    }
}

}  // namespace
