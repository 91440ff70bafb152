// The host's error leaving RaiseError by its own mechanism (an exception through the provider):
// the provider's state stays as the recording road leaves it, and nothing leaks (AddressSanitizer).

#include "platform/oledb/faults.h"
#include "platform/win/crt.h"
#include "tests/static/static_fixture.h"

namespace static_test {
namespace {

class StaticProviderErrorRoad : public StaticProviderTest {
protected:
    void SetUp() override {
        StaticProviderTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        host_errors::SetRaiseThrows(true);
        crt::SetLocale(crt::Locale::Russian1251);  // so that typed Cyrillic meets the capitalised cells
    }
    // The UTF-8 text of the host error that f lets out; fails the test when none does.
    template <class F>
    static std::string Thrown(F f) {
        try {
            f();
        } catch (const HostRuntimeError& error) {
            return Utf(error.what());
        }
        ADD_FAILURE() << "no host error left the call";
        return std::string();
    }
};

TEST_F(StaticProviderErrorRoad, NextRowErrorLeavesAndTheRunStaysOnTheFailingRow) {
    LoadGoods();
    oledb_faults::FailGetRowAt(1);
    provider_->PrepareRows(nullptr, 3, 0);
    RowPtr row0(provider_->NextRow());
    ASSERT_TRUE(row0);
    EXPECT_EQ("Невозможно получить следующую строку данных", Thrown([&] { delete provider_->NextRow(); }));
    oledb_faults::ResetAll();
    EXPECT_EQ(std::vector<int>({1, 2}), Drain());
}

TEST_F(StaticProviderErrorRoad, RefusedLoadLeavesAndKeepsThePreviousLoad) {
    LoadGoods();
    provider_->SetQueryText("");
    EXPECT_EQ("Не установлен текст запроса (свойство ТекстЗапроса/QueryText)",
              Thrown([&] { provider_->GetData(); }));
    EXPECT_EQ(10, RowCount());
    RowPtr row(provider_->FindRowByKey(Number(109)));
    ASSERT_TRUE(row);
    EXPECT_EQ(9, row->GetRowId());
}

TEST_F(StaticProviderErrorRoad, KeyColumnErrorLeavesWithTheNewResultLoadedAndNoKey) {
    LoadGoods();
    provider_->SetQueryText("SELECT name FROM goods WHERE id < 104 ORDER BY id");
    EXPECT_EQ("В полученном наборе данных отсутствует ключевое поле (id)", Thrown([&] { provider_->GetData(); }));
    EXPECT_EQ(4, RowCount());
    EXPECT_EQ(nullptr, provider_->FindRowByKey(Number(100)));
    EXPECT_EQ(std::vector<int>({3, 2, 1, 0}), Run(nullptr, -10));

    provider_->SetQueryText("SELECT name, id FROM goods ORDER BY id");
    provider_->GetData();
    RowPtr row(provider_->FindRowByKey(Number(105)));
    ASSERT_TRUE(row);
    EXPECT_EQ(5, row->GetRowId());
}

TEST_F(StaticProviderErrorRoad, RefreshRowLetsTheLoadErrorOut) {
    EXPECT_EQ("Не установлено подключение OLE DB (метод УстановитьПодключение/SetConnection)",
              Thrown([&] { provider_->RefreshRow(nullptr); }));
    int count = 0;
    EXPECT_FALSE(provider_->GetRowCount(count));
}

TEST_F(StaticProviderErrorRoad, SearchErrorLeavesWithTheSearchingTextShownAndNothingSent) {
    NotificationWindow window;
    provider_->m_hWnd = window.handle();
    LoadGoods();
    oledb_faults::FailFieldValue(1, 3);
    EXPECT_EQ("Ошибка при получении значения поля", Thrown([&] {
                  const CString typed(Cp("дын").c_str());
                  provider_->QuickSearch(SearchRequest{"name", 0, &typed});
              }));
    EXPECT_EQ("Идет поиск...", Utf(GetBkEndUI()->StatusText()));
    EXPECT_TRUE(window.received().empty());

    // The next search runs from the start as usual.
    oledb_faults::ResetAll();
    const CString typed(Cp("дын").c_str());
    provider_->QuickSearch(SearchRequest{"name", 0, &typed});
    ASSERT_EQ(1u, window.received().size());
    EXPECT_EQ(4, window.received()[0].row_id);
    EXPECT_EQ("", GetBkEndUI()->StatusText());
    provider_->m_hWnd = nullptr;
}

// A grid that asks for rows while it handles the match, and meets an error there: the error passes
// out through the search, which lets go of its own row on the way.
struct RowFetchingWindow {
    static LRESULT Procedure(HWND, UINT message, WPARAM code, LPARAM lparam, void* user) {
        if (message != WM_USER + 16 || code != 2) return 0;
        auto* provider = static_cast<CVfpProviderStatic*>(user);
        provider->PrepareRows(reinterpret_cast<const ::CDataRow*>(lparam), 5, 0);
        for (RowPtr row(provider->NextRow()); row; row.reset(provider->NextRow())) {
        }
        return 1;
    }
};

TEST_F(StaticProviderErrorRoad, ErrorWhileTheGridHandlesTheMatchLeavesThroughTheSearch) {
    HWND window = win::CreateMessageWindow(&RowFetchingWindow::Procedure, provider_.get());
    provider_->m_hWnd = window;
    LoadGoods();
    oledb_faults::FailGetRowAt(4);
    const CString typed(Cp("б").c_str());
    EXPECT_EQ("Невозможно получить следующую строку данных",
              Thrown([&] { provider_->QuickSearch(SearchRequest{"name", 0, &typed}); }));
    EXPECT_EQ("Идет поиск...", Utf(GetBkEndUI()->StatusText()));
    provider_->m_hWnd = nullptr;
    win::DestroyMessageWindow(window);
    oledb_faults::ResetAll();
    EXPECT_EQ(std::vector<int>({4, 5, 6}), Drain());  // the grid's run stopped on the failing row
}

}  // namespace
}  // namespace static_test
