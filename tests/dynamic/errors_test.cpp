// Error roads with a failing OLE DB layer, and with the host's run-time error leaving by throwing:
// every load ends cleanly, nothing stale is served, and the next load works.

#include "dynamic_fixture.h"

namespace dynamic_test {
namespace {

using test_support::RaisedErrors;
using Keys = std::vector<std::string>;

const char* const kCannotReadRow = "Ошибка при получении строки запроса";
const char* const kKeyOutsideList =
    "В полученной выборке обнаружена строка с ключевым полем, отсутствующем в списке ключей, полученных из "
    "опорной таблицы. Проверьте корректность запроса и названий ключевых полей.";

class DynamicErrors : public DynamicTest {
protected:
    void SetUp() override {
        DynamicTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        Configure();
    }
};

TEST_F(DynamicErrors, UnreadableRowOfTheRowQueryEndsTheLoadEmpty) {
    provider_->GetData();
    oledb_faults::FailGetRowAt(2);
    provider_->PrepareRows(nullptr, 5, 0);
    EXPECT_EQ(RaisedErrors(), Keys{kCannotReadRow});
    EXPECT_EQ(Next(), nullptr) << "no half-placed window is served";

    oledb_faults::ResetAll();
    host_errors::Clear();
    provider_->PrepareRows(nullptr, 5, 0);
    EXPECT_EQ(Drain().size(), 5u);
    EXPECT_TRUE(RaisedErrors().empty());
}

TEST_F(DynamicErrors, UnreadableKeyValueOfTheRowQueryIsReportedAsUnreadableRow) {
    provider_->GetData();
    oledb_faults::FailFieldValue(0, 1);  // column 0 is the key column of the row query
    provider_->PrepareRows(nullptr, 3, 0);
    EXPECT_EQ(RaisedErrors(), Keys{kCannotReadRow});
    EXPECT_EQ(Next(), nullptr);
}

TEST_F(DynamicErrors, AnswerRowWithUnreadableKeyEndsTheLoadWithAnError) {
    Configure("SELECT code, name, id FROM items WHERE id IN (%СписокИД%)");
    provider_->GetData();
    oledb_faults::FailFieldValue(0, 1);  // the second answer row's key; the row query's column 0 is no key
    provider_->PrepareRows(nullptr, 3, 0);
    EXPECT_EQ(RaisedErrors(), Keys{kCannotReadRow});
    EXPECT_EQ(Next(), nullptr) << "no window with a row missing";

    oledb_faults::ResetAll();
    host_errors::Clear();
    provider_->PrepareRows(nullptr, 3, 0);
    EXPECT_EQ(Drain(), (Keys{"10", "9", "8"}));
    EXPECT_TRUE(RaisedErrors().empty());
}

TEST_F(DynamicErrors, AnswerRowWithUnreadableIndexTextEndsTheLoadWithAnError) {
    Configure("SELECT id FROM items WHERE id IN (%СписокИД%)");  // no column 1 for the fault to hit
    provider_->GetData();
    RowPtr nine = RowOf("9");
    ASSERT_NE(nine, nullptr);
    oledb_faults::FailFieldValue(1, 0);  // the first answer row's index text
    provider_->PrepareRows(nine.get(), 3, 0);
    EXPECT_EQ(RaisedErrors(), Keys{kCannotReadRow});
    EXPECT_EQ(Next(), nullptr) << "no row that would page on from an empty index text";

    oledb_faults::ResetAll();
    host_errors::Clear();
    provider_->PrepareRows(nine.get(), 3, 0);
    EXPECT_EQ(Drain(), (Keys{"8", "7", "6"}));
}

TEST_F(DynamicErrors, RefreshWithUnreadableIndexTextAnswersFalseAndKeepsTheRow) {
    Configure("SELECT id FROM items WHERE id IN (%СписокИД%)");
    provider_->GetData();
    RowPtr six = RowOf("6");
    ASSERT_NE(six, nullptr);
    oledb_faults::FailFieldValue(1, 0);
    EXPECT_FALSE(provider_->RefreshRow(six.get()));
    EXPECT_EQ(RaisedErrors(), Keys{kCannotReadRow});
    EXPECT_EQ(Utf(Dyn(six).GetKeyText()), "6");
    EXPECT_EQ(Utf(Dyn(six).GetIndexText()), "C05");
    EXPECT_EQ(Cell(*six, 0), "6");

    oledb_faults::ResetAll();
    EXPECT_TRUE(provider_->RefreshRow(six.get()));
    EXPECT_TRUE(provider_->RefreshRow(six.get())) << "the refreshed row still finds itself";
    EXPECT_EQ(Utf(Dyn(six).GetKeyText()), "6");
    EXPECT_EQ(Utf(Dyn(six).GetIndexText()), "C05");
    EXPECT_EQ(Cell(*six, 0), "6");
}

TEST_F(DynamicErrors, CellTheLayerFailsToDeliverIsNotServedEmpty) {
    Configure("SELECT id, code, name FROM items WHERE id IN (%СписокИД%) ORDER BY id DESC");
    provider_->GetData();
    RowPtr ten = Next();
    ASSERT_NE(ten, nullptr);
    provider_->PrepareRows(ten.get(), 2, 0);  // keys 9 and 8: rows 0 and 1 of the row query
    oledb_faults::FailFieldValue(2, 0);       // the name of the row with key 9
    EXPECT_EQ(Next(), nullptr);
    EXPECT_EQ(RaisedErrors(), Keys{kCannotReadRow});
    oledb_faults::ResetAll();
    EXPECT_EQ(Drain(), (Keys{"9", "8"})) << "the row stays for the next call";

    host_errors::Clear();
    oledb_faults::FailFieldValue(2, 0);
    EXPECT_FALSE(provider_->RefreshRow(ten.get()));
    EXPECT_EQ(RaisedErrors(), Keys{kCannotReadRow});
    EXPECT_EQ(Cell(*ten, 2), "Товар 10") << "the row keeps its values";
}

TEST_F(DynamicErrors, RowThatCannotBePositionedStaysForTheNextCall) {
    provider_->GetData();
    provider_->PrepareRows(nullptr, 2, 0);
    oledb_faults::FailGetRowFrom(0);
    EXPECT_EQ(Next(), nullptr);
    oledb_faults::ResetAll();
    EXPECT_EQ(Drain(), (Keys{"10", "9"}));
}

TEST_F(DynamicErrors, ThrowingCheckLeavesTheProviderAsItWas) {
    provider_->GetData();
    host_errors::SetRaiseThrows(true);
    provider_->SetIndexTag("");
    EXPECT_THROW(provider_->GetData(), HostRuntimeError);
    provider_->SetIndexTag("code");
    provider_->PrepareRows(nullptr, 2, 0);
    EXPECT_EQ(Drain(), (Keys{"10", "9"})) << "still loaded from the GetData before";
}

TEST_F(DynamicErrors, ThrowingErrorInsideALoadLeavesAnEmptyWindow) {
    provider_->GetData();
    provider_->SetQueryText(Cp("SELECT id, code, name FROM items"));
    host_errors::SetRaiseThrows(true);
    EXPECT_THROW(provider_->PrepareRows(nullptr, 3, 0), HostRuntimeError);
    EXPECT_EQ(Next(), nullptr);

    provider_->SetQueryText(Cp("SELECT id, code, name FROM items WHERE id IN (%СписокИД%)"));
    provider_->PrepareRows(nullptr, 3, 0);
    EXPECT_EQ(Drain(), (Keys{"10", "9", "8"}));
}

TEST_F(DynamicErrors, ThrowingMissingKeyColumnOnFirstLoad) {
    provider_->SetKeyFieldQuery("nope");
    host_errors::SetRaiseThrows(true);
    EXPECT_THROW(provider_->GetData(), HostRuntimeError);
    EXPECT_EQ(Next(), nullptr);
    EXPECT_FALSE(provider_->GetFieldSet());
}

TEST_F(DynamicErrors, ThrowingErrorDuringRefreshLeavesTheRowIntact) {
    provider_->GetData();
    RowPtr row = Next();
    ASSERT_NE(row, nullptr);
    provider_->SetQueryText(Cp("SELECT id, code, name FROM items"));
    host_errors::SetRaiseThrows(true);
    EXPECT_THROW(provider_->RefreshRow(row.get()), HostRuntimeError);
    EXPECT_EQ(Utf(Dyn(row).GetKeyText()), "10");
    EXPECT_EQ(Cell(*row, 2), "Товар 10");
    EXPECT_EQ(Next(), nullptr);
}

TEST_F(DynamicErrors, RecordedErrorDuringRefreshAnswersFalse) {
    provider_->GetData();
    RowPtr row = Next();
    oledb_faults::FailGetRowAt(0);
    EXPECT_FALSE(provider_->RefreshRow(row.get()));
    EXPECT_EQ(RaisedErrors(), Keys{kCannotReadRow});
    EXPECT_EQ(Cell(*row, 2), "Товар 10");
}

TEST_F(DynamicErrors, KeyOutsideTheListAfterPlacedRowsServesNone) {
    Configure("SELECT id, code, name FROM items WHERE id IN (%СписокИД%) UNION ALL SELECT 1, 'x', 'y'");
    provider_->GetData();
    EXPECT_EQ(RaisedErrors(), Keys{kKeyOutsideList});
    EXPECT_EQ(Next(), nullptr);
}

}  // namespace
}  // namespace dynamic_test
