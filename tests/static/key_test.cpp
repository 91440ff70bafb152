// From a row to its key and back, the row's host values, and which rows count as the same.

#include "tests/static/static_fixture.h"
#include "platform/oledb/faults.h"

namespace static_test {
namespace {

using StaticProviderKey = StaticProviderTest;

TEST_F(StaticProviderKey, FindRowByKeyReturnsTheFirstOfDuplicates) {
    db_->Exec("CREATE TABLE pairs(code TEXT, n INTEGER)");
    db_->Exec("INSERT INTO pairs VALUES('a', 0), ('b', 1), ('dup', 2), ('c', 3), ('dup', 4)");
    Load("SELECT n, code FROM pairs ORDER BY n", "code");
    RowPtr row(provider_->FindRowByKey(Text("dup")));
    ASSERT_TRUE(row);
    EXPECT_EQ(2, row->GetRowId());
    CString text;
    EXPECT_EQ("2", std::string(row->FormatField(0, text).view()));
}

TEST_F(StaticProviderKey, FindRowByKeyWithoutAMatchReturnsNull) {
    LoadGoods();
    EXPECT_EQ(nullptr, provider_->FindRowByKey(Number(99)));
    // Equality is by kind as well: the text "105" is not the number 105.
    EXPECT_EQ(nullptr, provider_->FindRowByKey(Text("105")));
    EXPECT_EQ(nullptr, provider_->FindRowByKey(CValue()));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(StaticProviderKey, FindRowByKeyBeforeAnyLoadReturnsNull) {
    EXPECT_EQ(nullptr, provider_->FindRowByKey(Number(100)));
}

TEST_F(StaticProviderKey, FindRowByKeyOnAFailingRowReturnsNullWithoutAMessage) {
    LoadGoods();
    oledb_faults::FailGetRowAt(3);
    EXPECT_EQ(nullptr, provider_->FindRowByKey(Number(105)));
    // Rows before the failing one are still found: the scan stops at the match.
    RowPtr before(provider_->FindRowByKey(Number(102)));
    ASSERT_TRUE(before);
    EXPECT_EQ(2, before->GetRowId());

    oledb_faults::ResetAll();
    oledb_faults::FailFieldValue(0, 1);
    EXPECT_EQ(nullptr, provider_->FindRowByKey(Number(104)));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(StaticProviderKey, GetRowKeyGivesTheKeyColumnValue) {
    Load("SELECT name, id FROM goods ORDER BY id");
    RowPtr row(provider_->FindRowByKey(Number(104)));
    ASSERT_TRUE(row);
    CValue key;
    provider_->GetRowKey(row.get(), key);
    ASSERT_EQ(CValue::Kind::Number, key.GetKind());
    EXPECT_EQ(104L, static_cast<long>(key.GetNumeric()));
}

TEST_F(StaticProviderKey, GetRowKeyLeavesTheKeyUntouchedWithoutRowOrLoad) {
    CValue key = Text("прежний");
    provider_->GetRowKey(nullptr, key);
    EXPECT_EQ("прежний", Utf(key.Format()));
    LoadGoods();
    provider_->GetRowKey(nullptr, key);
    EXPECT_EQ("прежний", Utf(key.Format()));

    // A row of another provider handed to one that has loaded nothing.
    RowPtr row = RowNumber(1);
    CVfpProviderStatic empty;
    empty.GetRowKey(row.get(), key);
    EXPECT_EQ("прежний", Utf(key.Format()));
}

// After the key-column message the old key column may not belong to the new result: this provider
// then gives no key and finds no row, rather than reading some other column.
TEST_F(StaticProviderKey, AfterTheKeyColumnMessageNoKeyIsGivenAndNoRowFound) {
    Load("SELECT name, id FROM goods ORDER BY id");
    ASSERT_TRUE(Errors().empty());
    provider_->SetQueryText("SELECT id AS number FROM goods ORDER BY id");
    provider_->GetData();
    ASSERT_EQ(1u, Errors().size());

    provider_->PrepareRows(nullptr, 1, 0);
    RowPtr row(provider_->NextRow());
    ASSERT_TRUE(row);
    CValue key = Text("прежний");
    provider_->GetRowKey(row.get(), key);
    EXPECT_EQ("прежний", Utf(key.Format()));
    EXPECT_EQ(nullptr, provider_->FindRowByKey(Number(100)));

    // A load that finds the key column again restores both.
    provider_->SetKeyField("number");
    provider_->GetData();
    RowPtr found(provider_->FindRowByKey(Number(100)));
    ASSERT_TRUE(found);
    provider_->GetRowKey(found.get(), key);
    EXPECT_EQ(100L, static_cast<long>(key.GetNumeric()));
}

TEST_F(StaticProviderKey, KeyColumnMessageOnTheFirstLoadLeavesNoKeyColumn) {
    Load("SELECT id, name FROM goods ORDER BY id", "code");
    ASSERT_EQ(1u, Errors().size());
    EXPECT_EQ(nullptr, provider_->FindRowByKey(Number(100)));
    provider_->PrepareRows(nullptr, 1, 0);
    RowPtr row(provider_->NextRow());
    ASSERT_TRUE(row);
    CValue key;
    provider_->GetRowKey(row.get(), key);
    EXPECT_EQ(CValue::Kind::Empty, key.GetKind());
}

TEST_F(StaticProviderKey, GetV7RowGivesTheRowsHostValuesOnlyWhenLoadedAndGivenARow) {
    LoadGoods();
    EXPECT_EQ(nullptr, provider_->GetV7Row(nullptr));
    RowPtr row = RowNumber(7);
    CV7DataRow* v7 = provider_->GetV7Row(row.get());
    ASSERT_NE(nullptr, v7);
    EXPECT_EQ(107L, static_cast<long>(v7->GetValueAt(0).GetNumeric()));
    EXPECT_EQ("Жёлудь", Utf(v7->GetValueAt(1).Format()));

    CVfpProviderStatic empty;
    EXPECT_EQ(nullptr, empty.GetV7Row(row.get()));
}

TEST_F(StaticProviderKey, IsSameRowComparesRowNumbersEvenAcrossLoads) {
    LoadGoods();
    RowPtr three = RowNumber(3);
    RowPtr three_again = RowNumber(3);
    RowPtr four = RowNumber(4);
    EXPECT_EQ(TRUE, provider_->IsSameRow(three.get(), three_again.get()));
    EXPECT_EQ(FALSE, provider_->IsSameRow(three.get(), four.get()));

    provider_->SetQueryText("SELECT id, name FROM goods ORDER BY id DESC");
    provider_->GetData();
    RowPtr other_data(provider_->FindRowByKey(Number(106)));  // row 3 of the new load
    ASSERT_TRUE(other_data);
    EXPECT_EQ(TRUE, provider_->IsSameRow(three.get(), other_data.get()));

    CVfpProviderStatic empty;
    EXPECT_EQ(TRUE, empty.IsSameRow(three.get(), other_data.get()));
    EXPECT_EQ(FALSE, empty.IsSameRow(three.get(), four.get()));
}

TEST_F(StaticProviderKey, ReservedOperationsAnswerTheirFixedValues) {
    EXPECT_EQ(1, provider_->ReservedQuery2(0));
    EXPECT_EQ(0, provider_->ReservedQuery1());
    LoadGoods();
    EXPECT_EQ(1, provider_->ReservedQuery2(12345));
}

}  // namespace
}  // namespace static_test
