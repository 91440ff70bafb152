#include <memory>

#include "addin/provider/data_row.h"
#include "tests/provider/provider_probe.h"

using ProviderRow = OleDb::GridProvider::CDataRow;
using OleDb::GridProvider::CDynamicDataRow;
using test_support::Cp;
using test_support::ProbeProvider;

namespace {

class DataRows : public test_support::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        db.Exec("CREATE TABLE t(id INTEGER, name TEXT, price REAL, note TEXT)");
        db.Exec("INSERT INTO t VALUES (1, 'Молоко', 12.5, NULL), (2, 'Хлеб', 30, 'свежий')");
    }
    test_support::TestDatabase db;
};

TEST_F(DataRows, RowCopiesEveryColumnOfTheCurrentRow) {
    ProbeProvider provider;
    provider.Load(db.connection(), "SELECT id, name, price, note FROM t ORDER BY id");
    ASSERT_TRUE(provider.result().GetRow(1));
    ProviderRow row(1, provider.result(), provider.GetFieldSet());
    ASSERT_TRUE(provider.result().GetRow(0));  // moving the result does not touch the row
    CString text;
    EXPECT_EQ(1, row.GetRowId());
    EXPECT_EQ(4, row.GetFieldCount());
    EXPECT_STREQ("2", row.FormatField(0, text));
    EXPECT_EQ(Cp("Хлеб"), std::string(row.FormatField(1, text).view()));
    EXPECT_STREQ("30", row.FormatField(2, text));
    EXPECT_EQ(CValue::Kind::String, row.GetValueAt(3).GetKind());
}

TEST_F(DataRows, NullBecomesTheEmptyValue) {
    ProbeProvider provider;
    provider.Load(db.connection(), "SELECT note FROM t ORDER BY id");
    ASSERT_TRUE(provider.result().GetRow(0));
    ProviderRow row(0, provider.result(), provider.GetFieldSet());
    EXPECT_EQ(CValue::Kind::Empty, row.GetValueAt(0).GetKind());
}

TEST_F(DataRows, FieldLookupsAreExactAndRepeatedNamesGiveTheFirstColumn) {
    ProbeProvider provider;
    provider.Load(db.connection(), "SELECT id, name, price AS id FROM t");
    ASSERT_TRUE(provider.result().GetRow(0));
    ProviderRow row(0, provider.result(), provider.GetFieldSet());
    EXPECT_EQ(0, row.LookupFieldIndex("id"));
    EXPECT_EQ(-1, row.LookupFieldIndex("ID"));
    EXPECT_EQ(-1, row.LookupFieldIndex(nullptr));
    EXPECT_STREQ("name", row.LookupFieldName(1));
    EXPECT_EQ(nullptr, row.LookupFieldName(2));
    EXPECT_EQ(nullptr, row.LookupFieldName(-1));
    EXPECT_EQ(2, row.GetFieldCount());
    EXPECT_EQ(3u, row.GetValueCount());  // one value per result column
}

TEST_F(DataRows, RowFromAnEmptyResultHoldsNoValuesButKnowsItsFields) {
    ProbeProvider provider;
    provider.Load(db.connection(), "SELECT id, name FROM t WHERE id < 0");
    ProviderRow row(0, provider.result(), provider.GetFieldSet());
    EXPECT_EQ(0u, row.GetValueCount());
    EXPECT_EQ(2, row.GetFieldCount());
}

TEST_F(DataRows, IndexOutsideTheValuesGivesEmptyTextAndValue) {
    ProbeProvider provider;
    provider.Load(db.connection(), "SELECT id FROM t");
    ASSERT_TRUE(provider.result().GetRow(0));
    ProviderRow row(0, provider.result(), provider.GetFieldSet());
    CString text("stale");
    EXPECT_STREQ("", row.FormatField(5, text));
    EXPECT_EQ(CValue::Kind::Empty, row.GetValueAt(-1).GetKind());
}

TEST_F(DataRows, RowOutlivesReloadWithItsOwnFieldsAndValues) {
    ProbeProvider provider;
    provider.Load(db.connection(), "SELECT id, name FROM t ORDER BY id");
    ASSERT_TRUE(provider.result().GetRow(0));
    auto row = std::make_unique<ProviderRow>(0, provider.result(), provider.GetFieldSet());
    provider.Load(db.connection(), "SELECT price AS cost FROM t");
    provider.Load(db.connection(), "SELECT 1 AS other");
    CString text;
    EXPECT_STREQ("name", row->LookupFieldName(1));
    EXPECT_EQ(-1, row->LookupFieldIndex("other"));
    EXPECT_EQ(Cp("Молоко"), std::string(row->FormatField(1, text).view()));
}

TEST_F(DataRows, DynamicRowCarriesItsTextsAndRowNumberZero) {
    ProbeProvider provider;
    provider.Load(db.connection(), "SELECT id, name FROM t ORDER BY id");
    ASSERT_TRUE(provider.result().GetRow(1));
    std::unique_ptr<::CDataRow> row(new CDynamicDataRow("Хлеб", "2", provider.result(), provider.GetFieldSet()));
    auto* dynamic_row = static_cast<CDynamicDataRow*>(row.get());
    EXPECT_EQ(0, row->GetRowId());
    EXPECT_EQ("2", dynamic_row->GetKeyText());
    EXPECT_EQ("Хлеб", dynamic_row->GetIndexText());
    CString text;
    EXPECT_STREQ("2", row->FormatField(0, text));
}

}  // namespace
