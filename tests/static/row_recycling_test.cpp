// Rows built in storage that earlier rows left behind (the row shelf): each shows only its own
// result row, and a row the grid still holds keeps its values through reloads and later runs.

#include "addin/provider/data_row.h"
#include "addin/provider/row_shelf.h"
#include "platform/oledb/faults.h"
#include "tests/provider/provider_probe.h"
#include "tests/static/static_fixture.h"

namespace static_test {
namespace {

using OleDb::GridProvider::CDataRow;
namespace RowShelf = OleDb::GridProvider::RowShelf;

class RecycledRows : public StaticProviderTest {
protected:
    // The rows of a run, every one held.
    std::vector<RowPtr> Hold(int count) {
        provider_->PrepareRows(nullptr, count, 0);
        std::vector<RowPtr> rows;
        for (RowPtr row(provider_->NextRow()); row; row.reset(provider_->NextRow())) rows.push_back(std::move(row));
        return rows;
    }
    // The UTF-8 display text of cell index of row.
    static std::string Cell(::CDataRow& row, int index) {
        CString text;
        return Utf(std::string(row.FormatField(index, text).view()));
    }
};

TEST_F(RecycledRows, HeldRowsKeepTheirValuesWhileDeletedOnesServeTheReload) {
    LoadGoods();
    std::vector<RowPtr> held = Hold(10);
    ASSERT_EQ(10u, held.size());
    held.resize(3);  // the grid lets rows 3..9 go: their storage is shelved
    ASSERT_GE(RowShelf::KeptValueArrays(), 1u);

    db_->Exec("UPDATE goods SET name = 'новое ' || name, id = id + 1000");
    provider_->GetData();
    std::vector<RowPtr> fresh = Hold(10);
    ASSERT_EQ(10u, fresh.size());
    for (int k = 0; k < 3; ++k) {  // rows held over the reload are still the old snapshot
        EXPECT_EQ(std::to_string(100 + k), Cell(*held[k], 0));
        EXPECT_EQ(k, held[k]->GetRowId());
    }
    EXPECT_EQ("Арбуз", Cell(*held[0], 1));
    EXPECT_EQ("Вишня", Cell(*held[2], 1));
    for (int k = 0; k < 10; ++k) EXPECT_EQ(std::to_string(1100 + k), Cell(*fresh[k], 0)) << "row " << k;
    EXPECT_EQ("новое Арбуз", Cell(*fresh[0], 1));
    EXPECT_EQ("новое Изюм", Cell(*fresh[9], 1));
}

TEST_F(RecycledRows, ARowOfOtherColumnsHoldsExactlyItsOwn) {
    Load("SELECT id, name, id * 2 AS twice FROM goods ORDER BY id");
    Hold(10);  // every row deleted: three-value arrays on the shelf
    Load("SELECT name FROM goods ORDER BY id DESC", "name");
    std::vector<RowPtr> narrow = Hold(2);
    ASSERT_EQ(2u, narrow.size());
    EXPECT_EQ(1u, static_cast<CDataRow&>(*narrow[0]).GetValueCount());
    EXPECT_EQ("Изюм", Cell(*narrow[0], 0));
    EXPECT_EQ(CValue::Kind::Empty, static_cast<CDataRow&>(*narrow[0]).GetValueAt(1).GetKind());
    narrow.clear();

    Load("SELECT id, name, id * 2 AS twice, 'x' AS mark FROM goods ORDER BY id");
    std::vector<RowPtr> wide = Hold(1);
    ASSERT_EQ(1u, wide.size());
    EXPECT_EQ(4u, static_cast<CDataRow&>(*wide[0]).GetValueCount());
    EXPECT_EQ("100", Cell(*wide[0], 0));
    EXPECT_EQ("Арбуз", Cell(*wide[0], 1));
    EXPECT_EQ("200", Cell(*wide[0], 2));
    EXPECT_EQ("x", Cell(*wide[0], 3));
}

TEST_F(RecycledRows, ACellTheLayerFailsToDeliverIsEmptyNotAnEarlierRowsValue) {
    test_support::ProbeProvider probe;
    probe.Load(db_->connection(), "SELECT id, name FROM goods ORDER BY id");
    ASSERT_TRUE(probe.result().GetRow(4));
    delete new CDataRow(4, probe.result(), probe.GetFieldSet());  // "Дыня" left on the shelf
    ASSERT_GE(RowShelf::KeptValueArrays(), 1u);

    oledb_faults::FailFieldValue(1, 5);
    ASSERT_TRUE(probe.result().GetRow(5));
    CDataRow row(5, probe.result(), probe.GetFieldSet());
    EXPECT_FALSE(row.IsComplete());
    EXPECT_EQ("105", Cell(row, 0));
    EXPECT_EQ(CValue::Kind::Empty, row.GetValueAt(1).GetKind());
    EXPECT_EQ("", Cell(row, 1));
}

TEST_F(RecycledRows, AnIncompleteRowIsNeverHandedOutAndItsStorageIsReused) {
    LoadGoods();
    oledb_faults::FailFieldValue(1, 2);
    EXPECT_EQ(std::vector<int>({0, 1}), Run(nullptr, 10));
    EXPECT_EQ(std::vector<std::string>({"Невозможно получить следующую строку данных"}), Errors());
    oledb_faults::ResetAll();
    std::vector<RowPtr> rest = Hold(10);
    ASSERT_EQ(10u, rest.size());
    EXPECT_EQ("Вишня", Cell(*rest[2], 1));
}

}  // namespace
}  // namespace static_test
