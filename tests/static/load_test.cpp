// The load ("GetData"): its checks and their order, the row count, the key column, parameters,
// the connection, and what a refused or partial load leaves behind.

#include "tests/static/static_fixture.h"
#include "platform/oledb/faults.h"

namespace static_test {
namespace {

using E = std::vector<std::string>;
using StaticProviderLoad = StaticProviderTest;

const char* const kNoConnection = "Не установлено подключение OLE DB (метод УстановитьПодключение/SetConnection)";
const char* const kNoQueryText = "Не установлен текст запроса (свойство ТекстЗапроса/QueryText)";
const char* const kNoKeyField = "Не установлено ключевое поле (свойство КлючевоеПоле/KeyField)";

TEST_F(StaticProviderLoad, ConnectionIsCheckedFirstEvenWithNothingElseSet) {
    provider_->GetData();
    EXPECT_EQ(E({kNoConnection}), Errors());
    int count = -1;
    EXPECT_FALSE(provider_->GetRowCount(count));
    EXPECT_EQ(-1, count);
}

TEST_F(StaticProviderLoad, ChecksRunInOrderConnectionQueryTextKeyField) {
    provider_->SetQueryText("SELECT id FROM goods");
    provider_->SetKeyField("id");
    provider_->GetData();
    EXPECT_EQ(E({kNoConnection}), Errors());

    host_errors::Clear();
    provider_->SetConnection(db_->connection());
    provider_->SetQueryText("");
    provider_->SetKeyField("");
    provider_->GetData();
    EXPECT_EQ(E({kNoQueryText}), Errors());

    host_errors::Clear();
    provider_->SetQueryText("SELECT id FROM goods");
    provider_->GetData();
    EXPECT_EQ(E({kNoKeyField}), Errors());

    host_errors::Clear();
    provider_->SetKeyField("id");
    provider_->GetData();
    EXPECT_TRUE(Errors().empty());
    EXPECT_EQ(10, RowCount());
}

TEST_F(StaticProviderLoad, CommandNotMadeCountsAsNoConnection) {
    oledb_faults::FailCreateCommand();
    Load("SELECT id FROM goods");
    EXPECT_EQ(E({kNoConnection}), Errors());
    int count = -1;
    EXPECT_FALSE(provider_->GetRowCount(count));
}

TEST_F(StaticProviderLoad, MissingKeyColumnRaisesWithTheStoredKeyFieldAndStaysLoaded) {
    Load("SELECT id, name FROM goods WHERE id < 103", "NoSuch");
    EXPECT_EQ(E({"В полученном наборе данных отсутствует ключевое поле (nosuch)"}), Errors());
    // Loaded with the new result all the same.
    EXPECT_EQ(3, RowCount());
    provider_->PrepareRows(nullptr, 5, 0);
    EXPECT_EQ(std::vector<int>({0, 1, 2}), Drain());
}

TEST_F(StaticProviderLoad, MissingCyrillicKeyColumnNamesItInLowerCase) {
    Load("SELECT id FROM goods", "КОД");
    EXPECT_EQ(E({"В полученном наборе данных отсутствует ключевое поле (код)"}), Errors());
}

TEST_F(StaticProviderLoad, RefusedLoadKeepsThePreviousOne) {
    Load("SELECT id, name FROM goods ORDER BY id");
    ASSERT_EQ(10, RowCount());

    provider_->SetQueryText(Cp("SELECT id FROM goods WHERE id = 100"));
    provider_->SetKeyField("");
    provider_->GetData();
    EXPECT_EQ(E({kNoKeyField}), Errors());
    EXPECT_EQ(10, RowCount());
    provider_->PrepareRows(nullptr, -1, 0);
    RowPtr last(provider_->NextRow());
    ASSERT_TRUE(last);
    EXPECT_EQ(9, last->GetRowId());
    EXPECT_EQ(2, last->GetFieldCount());
    RowPtr found(provider_->FindRowByKey(Number(104)));
    ASSERT_TRUE(found);
    EXPECT_EQ(4, found->GetRowId());
}

TEST_F(StaticProviderLoad, KeyFieldIsLowerCasedExceptCapitalYo) {
    provider_->SetKeyField(Cp("КодТовара_ЁЖ_ID"));
    EXPECT_EQ("кодтовара_Ёж_id", Utf(provider_->GetKeyField()));
    provider_->SetKeyField(Cp("ёж"));
    EXPECT_EQ("ёж", Utf(provider_->GetKeyField()));
}

TEST_F(StaticProviderLoad, KeyColumnNamedWithCapitalsIsFoundByTheLayersSmallLetters) {
    Load("SELECT id AS \"Id\", name FROM goods", "Id");  // quoted: the server would fold a bare name
    EXPECT_TRUE(Errors().empty());
    EXPECT_TRUE(RowPtr(provider_->FindRowByKey(Number(102))));
    Load("SELECT id AS \"Код\", name FROM goods", "КОД");
    EXPECT_TRUE(Errors().empty());
    EXPECT_TRUE(RowPtr(provider_->FindRowByKey(Number(102))));
}

TEST_F(StaticProviderLoad, KeyColumnWithCapitalYoOnlyMatches) {
    Load("SELECT name, id AS \"Ёж\" FROM goods ORDER BY id", "Ёж");
    EXPECT_TRUE(Errors().empty());
    RowPtr row(provider_->FindRowByKey(Number(102)));
    ASSERT_TRUE(row);
    EXPECT_EQ(2, row->GetRowId());
}

TEST_F(StaticProviderLoad, KeyColumnIsTheFirstColumnOfThatName) {
    Load("SELECT name AS id, id AS id FROM goods ORDER BY goods.id");
    ASSERT_TRUE(Errors().empty());
    RowPtr row(provider_->FindRowByKey(Text("Вишня")));
    ASSERT_TRUE(row);
    EXPECT_EQ(2, row->GetRowId());
    EXPECT_EQ(nullptr, provider_->FindRowByKey(Number(102)));
}

TEST_F(StaticProviderLoad, RowsAreCountedByPositioningWhenTheLayerReportsNoCount) {
    oledb_faults::ReportRowCount(0);
    LoadGoods();
    EXPECT_EQ(10, RowCount());
    oledb_faults::ReportRowCount(-1);
    provider_->GetData();
    EXPECT_EQ(10, RowCount());
    // Counting stops at the first row that cannot be positioned.
    oledb_faults::ReportRowCount(0);
    oledb_faults::FailGetRowFrom(4);
    provider_->GetData();
    EXPECT_EQ(4, RowCount());
    EXPECT_TRUE(Errors().empty());
}

TEST_F(StaticProviderLoad, AReportedCountIsTakenAsItIs) {
    oledb_faults::ReportRowCount(3);
    LoadGoods();
    EXPECT_EQ(3, RowCount());
    EXPECT_EQ(std::vector<int>({0, 1, 2}), Run(nullptr, 100));
}

TEST_F(StaticProviderLoad, EmptyResultIsLoadedWithZeroRows) {
    int count = -1;
    EXPECT_FALSE(provider_->GetRowCount(count));
    Load("SELECT id, name FROM goods WHERE id < 0");
    EXPECT_TRUE(Errors().empty());
    EXPECT_TRUE(provider_->GetRowCount(count));
    EXPECT_EQ(0, count);
    EXPECT_TRUE(Run(nullptr, 5).empty());
    EXPECT_TRUE(Run(nullptr, -5).empty());
    EXPECT_EQ(nullptr, provider_->FindRowByKey(Number(100)));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(StaticProviderLoad, EmptyResultCountedByPositioningIsZero) {
    oledb_faults::ReportRowCount(0);
    Load("SELECT id, name FROM goods WHERE id < 0");
    EXPECT_EQ(0, RowCount());
}

TEST_F(StaticProviderLoad, ParametersAreBoundAgainOnEveryLoad) {
    provider_->SetParameter("top", Number(103));
    Load("SELECT id, name FROM goods WHERE id < :top ORDER BY id");
    ASSERT_TRUE(Errors().empty());
    EXPECT_EQ(3, RowCount());
    // A fresh command knows no bindings: only the provider's own map can supply them.
    provider_->SetConnection(db_->connection());
    provider_->GetData();
    EXPECT_TRUE(Errors().empty());
    EXPECT_EQ(3, RowCount());
    provider_->SetParameter("top", Number(106));
    provider_->GetData();
    EXPECT_EQ(6, RowCount());
}

TEST_F(StaticProviderLoad, ParameterNamesDifferingInCaseAreTwoParameters) {
    provider_->SetParameter("lo", Number(102));
    provider_->SetParameter("LO", Number(105));
    Load("SELECT id FROM goods WHERE id >= :lo AND id < :LO ORDER BY id");
    ASSERT_TRUE(Errors().empty());
    EXPECT_EQ(3, RowCount());
}

TEST_F(StaticProviderLoad, SecondConnectionReplacesTheFirst) {
    test_support::TestDatabase other;
    other.Exec("CREATE TABLE goods(id INTEGER, name TEXT)");
    other.Exec("INSERT INTO goods VALUES(500, 'Другой')");
    provider_->SetConnection(db_->connection());
    provider_->SetConnection(other.connection());
    provider_->SetQueryText("SELECT id, name FROM goods");
    provider_->SetKeyField("id");
    provider_->GetData();
    ASSERT_EQ(1, RowCount());
    EXPECT_TRUE(RowPtr(provider_->FindRowByKey(Number(500))));
}

TEST_F(StaticProviderLoad, ConnectionToNothingLeavesNoCommand) {
    LoadGoods();
    provider_->SetConnection(nullptr);
    provider_->GetData();
    EXPECT_EQ(E({kNoConnection}), Errors());
    EXPECT_EQ(10, RowCount());
}

TEST_F(StaticProviderLoad, RefreshRowBeforeSetConnectionRaisesTheConnectionMessageAndAnswersTrue) {
    EXPECT_EQ(TRUE, provider_->RefreshRow(nullptr));
    EXPECT_EQ(E({kNoConnection}), Errors());
}

TEST_F(StaticProviderLoad, RefreshRowReloadsAndLeavesTheRowAsItWas) {
    LoadGoods();
    RowPtr row = RowNumber(3);
    db_->Exec("UPDATE goods SET name = 'Другое' WHERE id = 103");
    db_->Exec("INSERT INTO goods VALUES(110, 'Йогурт')");
    EXPECT_EQ(TRUE, provider_->RefreshRow(row.get()));
    EXPECT_EQ(11, RowCount());
    CString text;
    EXPECT_EQ("Груша", Utf(std::string(row->FormatField(1, text).view())));
    RowPtr fresh = RowNumber(3);
    EXPECT_EQ("Другое", Utf(std::string(fresh->FormatField(1, text).view())));
}

TEST_F(StaticProviderLoad, RowsOutliveAReloadWithOtherColumnsAndTheProvider) {
    LoadGoods();
    RowPtr old = RowNumber(6);
    provider_->SetQueryText("SELECT name AS title, id FROM goods ORDER BY id DESC");
    provider_->GetData();
    ASSERT_TRUE(Errors().empty());
    RowPtr fresh(provider_->FindRowByKey(Number(106)));
    ASSERT_TRUE(fresh);
    EXPECT_EQ(3, fresh->GetRowId());
    provider_.reset();

    CString text;
    EXPECT_EQ(0, old->LookupFieldIndex("id"));
    EXPECT_EQ(-1, old->LookupFieldIndex("title"));
    EXPECT_STREQ("name", old->LookupFieldName(1));
    EXPECT_EQ("Ёлка", Utf(std::string(old->FormatField(1, text).view())));
    EXPECT_EQ(0, fresh->LookupFieldIndex("title"));
    EXPECT_EQ("Ёлка", Utf(std::string(fresh->FormatField(0, text).view())));
}

}  // namespace
}  // namespace static_test
