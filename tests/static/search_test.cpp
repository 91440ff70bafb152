// The type-ahead search and the grid notifications: what matches, what the status line shows,
// what the grid window receives and when it receives nothing.

#include "platform/oledb/faults.h"
#include "platform/win/crt.h"
#include "tests/static/static_fixture.h"

namespace static_test {
namespace {

using S = std::vector<std::string>;

class StaticProviderSearch : public StaticProviderTest {
protected:
    void SetUp() override {
        StaticProviderTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        provider_->m_hWnd = window_.handle();
        // Cells are lower-cased by the C runtime's locale; the host runs under the Russian one.
        crt::SetLocale(crt::Locale::Russian1251);
    }
    void TearDown() override {
        if (provider_) provider_->m_hWnd = nullptr;  // none when the test was skipped
        StaticProviderTest::TearDown();
    }
    // Loads a table "words" whose rows hold the given cells (UTF-8) in column "word", row k as n = k.
    void LoadWords(const std::vector<std::string>& cells, const std::string& select = "SELECT word, n FROM words") {
        db_->Exec("CREATE TABLE words(n INTEGER, word TEXT)");
        for (std::size_t k = 0; k < cells.size(); ++k)
            db_->Exec("INSERT INTO words VALUES(" + std::to_string(k) + ", '" + cells[k] + "')");
        Load(select + " ORDER BY n", "n");
        ASSERT_TRUE(Errors().empty());
    }
    void Search(const std::string& utf8_column, const std::string& utf8_typed) {
        const std::string column = Cp(utf8_column);
        const CString typed(Cp(utf8_typed).c_str());
        const SearchRequest request{column.c_str(), 0, &typed};
        provider_->QuickSearch(request);
    }
    // Row numbers reported with code 2, in order.
    std::vector<int> Matches() const {
        std::vector<int> rows;
        for (const auto& n : window_.received())
            if (n.code == 2) rows.push_back(n.row_id);
        return rows;
    }

    NotificationWindow window_;
};

using V = std::vector<int>;

TEST_F(StaticProviderSearch, ShortCellIsSkippedFirstPrefixMatchWinsAndLaterRowsAreNeverRead) {
    LoadWords({"A", "Abc", "aB"});
    oledb_faults::FailGetRowAt(2);  // reading row 2 would raise
    Search("word", "ab");
    EXPECT_EQ(V({1}), Matches());
    ASSERT_EQ(1u, window_.received().size());
    EXPECT_EQ("Abc", window_.received()[0].first_cell);
    EXPECT_TRUE(Errors().empty());
    EXPECT_EQ(S({"Идет поиск...", ""}), StatusHistory());
}

TEST_F(StaticProviderSearch, MatchIsReportedWithCode2AndTheMatchingRowWhileItIsHandled) {
    LoadGoods();
    Search("name", "зем");
    ASSERT_EQ(1u, window_.received().size());
    const Notification& n = window_.received()[0];
    EXPECT_EQ(2u, n.code);
    EXPECT_NE(0, n.lparam);
    EXPECT_EQ(8, n.row_id);
    EXPECT_EQ("108", n.first_cell);
}

TEST_F(StaticProviderSearch, EmptyTypedTextMatchesRowZero) {
    LoadGoods();
    Search("name", "");
    EXPECT_EQ(V({0}), Matches());
}

TEST_F(StaticProviderSearch, TypedCapitalsMatchLowerCaseCellsWithoutLocale) {
    crt::SetLocale(crt::Locale::C);
    LoadWords({"яблоко", "мандарин", "молоко"});
    Search("word", "МАН");
    EXPECT_EQ(V({1}), Matches());
}

TEST_F(StaticProviderSearch, CyrillicCapitalsInCellsFoldOnlyUnderTheRussianLocale) {
    crt::SetLocale(crt::Locale::C);
    LoadGoods();
    Search("name", "бан");
    EXPECT_EQ(V(), Matches());  // the C locale lower-cases Latin letters only
    EXPECT_EQ(S({"Идет поиск...", ""}), StatusHistory());

    crt::SetLocale(crt::Locale::Russian1251);
    Search("name", "бАН");
    EXPECT_EQ(V({1}), Matches());
}

TEST_F(StaticProviderSearch, TypedCapitalYoNeverMatchesACellBeginningWithYoUnderTheRussianLocale) {
    LoadGoods();
    Search("name", "Ёл");
    EXPECT_EQ(V(), Matches());
    Search("name", "ёл");
    EXPECT_EQ(V({6}), Matches());
}

TEST_F(StaticProviderSearch, ColumnNameInCapitalsFindsTheLowerCaseColumn) {
    LoadWords({"один", "два"}, "SELECT word AS \"слово\", n FROM words");
    Search("СЛОВО", "дв");
    EXPECT_EQ(V({1}), Matches());
    Search("WORD", "дв");  // no such column
    EXPECT_EQ(V({1}), Matches());
}

TEST_F(StaticProviderSearch, ColumnAliasedInCapitalsIsSearchedByItsNameInAnyCase) {
    LoadWords({"один", "два"}, "SELECT word AS \"Word\", n FROM words");  // quoted: the server would fold it
    Search("Word", "дв");
    EXPECT_EQ(V({1}), Matches());
    Search("WORD", "од");
    EXPECT_EQ(V({1, 0}), Matches());
    EXPECT_TRUE(Errors().empty());
}

TEST_F(StaticProviderSearch, NoMatchClearsTheStatusAndSendsNothing) {
    LoadGoods();
    Search("name", "щука");
    EXPECT_TRUE(window_.received().empty());
    EXPECT_EQ(S({"Идет поиск...", ""}), StatusHistory());
    EXPECT_EQ("", GetBkEndUI()->StatusText());
}

TEST_F(StaticProviderSearch, NumbersAreMatchedByTheirText) {
    LoadGoods();
    Search("id", "107");
    EXPECT_EQ(V({7}), Matches());
}

TEST_F(StaticProviderSearch, EmptyResultClearsTheStatusAndSendsNothing) {
    Load("SELECT id, name FROM goods WHERE id < 0");
    Search("name", "");
    EXPECT_TRUE(window_.received().empty());
    EXPECT_EQ(S({"Идет поиск...", ""}), StatusHistory());
}

TEST_F(StaticProviderSearch, NothingLoadedShowsNothing) {
    Search("name", "");
    EXPECT_TRUE(window_.received().empty());
    EXPECT_TRUE(StatusHistory().empty());
}

TEST_F(StaticProviderSearch, UnpositionableRowRaisesAndTheSearchingTextStays) {
    LoadGoods();
    oledb_faults::FailGetRowAt(2);
    Search("name", "гр");
    EXPECT_EQ(S({"Ошибка при поиске значения"}), Errors());
    EXPECT_EQ(S({"Идет поиск..."}), StatusHistory());
    EXPECT_EQ("Идет поиск...", Utf(GetBkEndUI()->StatusText()));
    EXPECT_TRUE(window_.received().empty());
}

TEST_F(StaticProviderSearch, UnreadableValueRaisesAndTheSearchingTextStays) {
    LoadGoods();
    oledb_faults::FailFieldValue(1, 1);
    Search("name", "гр");
    EXPECT_EQ(S({"Ошибка при получении значения поля"}), Errors());
    EXPECT_EQ(S({"Идет поиск..."}), StatusHistory());
    EXPECT_TRUE(window_.received().empty());
}

TEST_F(StaticProviderSearch, SearchDoesNotDisturbTheRunInProgress) {
    LoadGoods();
    provider_->PrepareRows(nullptr, 3, 0);
    RowPtr first(provider_->NextRow());
    Search("name", "изю");
    RowPtr found(provider_->FindRowByKey(Number(105)));
    EXPECT_TRUE(found);
    EXPECT_EQ(V({9}), Matches());
    EXPECT_EQ(V({1, 2}), Drain());
}

TEST_F(StaticProviderSearch, NullWindowHandleSendsNothing) {
    LoadGoods();
    provider_->m_hWnd = nullptr;
    Search("name", "");
    provider_->NotifyGridCode0();
    EXPECT_EQ(0, provider_->NotifyGridCode1());
    EXPECT_TRUE(window_.received().empty());
    EXPECT_EQ(S({"Идет поиск...", ""}), StatusHistory());
}

TEST_F(StaticProviderSearch, NotifyGridCode0SendsCode0WithoutARow) {
    provider_->NotifyGridCode0();
    ASSERT_EQ(1u, window_.received().size());
    EXPECT_EQ(0u, window_.received()[0].code);
    EXPECT_EQ(0, window_.received()[0].lparam);
}

TEST_F(StaticProviderSearch, NotifyGridCode1ReturnsTheWindowsAnswer) {
    window_.set_answer(77);
    EXPECT_EQ(77, provider_->NotifyGridCode1());
    ASSERT_EQ(1u, window_.received().size());
    EXPECT_EQ(1u, window_.received()[0].code);
    EXPECT_EQ(0, window_.received()[0].lparam);
}

TEST_F(StaticProviderSearch, ALoadSendsNoNotification) {
    LoadGoods();
    provider_->RefreshRow(nullptr);
    EXPECT_TRUE(window_.received().empty());
}

}  // namespace
}  // namespace static_test
