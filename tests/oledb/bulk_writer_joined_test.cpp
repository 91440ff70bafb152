// The bulk writer inside a transaction of the caller's, on both backends: several tables kept or
// undone together by the caller's COMMIT or ROLLBACK, a failed table undone alone, a refused row
// named by its number and field.

#include <gtest/gtest.h>

#include "platform/oledb/connection.h"
#include "tests/oledb/backend_fixture.h"

namespace {

using oledb_backend::FieldType;
using oledb_backend::FieldValue;
using Kind = oledb_backend::FieldValue::Kind;

class JoinedBulkWriter : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        connection_ = oledb_backend::Connection::Open(ConnectionText());
    }
    void TearDown() override {
        connection_.reset();
        BackendTest::TearDown();
    }
    // A table of an id and a name that must be given.
    static oledb_backend::TableDefinition Named(const std::string& name) {
        oledb_backend::TableDefinition table{
            name, {{"id", FieldType::kInteger, 8, 0, false}, {"label", FieldType::kText, 10, 0, false}}, {"id"}, false};
        table.in_caller_transaction = true;
        return table;
    }
    void Write(const std::string& name, const std::vector<std::vector<FieldValue>>& rows) {
        const auto writer = connection_->StartBulkWrite(Named(name));
        for (const auto& row : rows) writer->Add(row);
        writer->Commit();
    }
    static std::vector<FieldValue> Row(std::int64_t id, const char* label) {
        return {FieldValue::Int(id), label ? FieldValue::Of(Kind::Text, label) : FieldValue::Null()};
    }
    bool Has(const std::string& table) { return connection_->OpenCatalogue()->Table(table).has_value(); }

    std::shared_ptr<oledb_backend::Connection> connection_;
};

TEST_P(JoinedBulkWriter, TablesAreKeptByTheCallersCommitOnly) {
    connection_->Execute("BEGIN");
    Write("first", {Row(1, "a")});
    Write("second", {Row(1, "b"), Row(2, "c")});
    connection_->Execute("ROLLBACK");
    EXPECT_FALSE(Has("first"));
    EXPECT_FALSE(Has("second"));

    connection_->Execute("BEGIN");
    Write("first", {Row(1, "a")});
    Write("second", {Row(1, "b"), Row(2, "c")});
    connection_->Execute("COMMIT");
    EXPECT_EQ(connection_->OpenCatalogue()->RowCount("first"), 1);
    EXPECT_EQ(connection_->OpenCatalogue()->RowCount("second"), 2);
}

TEST_P(JoinedBulkWriter, RefusedRowIsNamedAndOnlyItsTableUndone) {
    connection_->Execute("BEGIN");
    Write("first", {Row(1, "a")});
    try {
        // The server's COPY tells only when the rows end.
        Write("second", {Row(1, "b"), Row(2, nullptr), Row(3, "d")});
        FAIL() << "a row without its label was taken";
    } catch (const oledb_backend::RowRefused& refused) {
        EXPECT_EQ(refused.row(), 2u) << refused.what();
        EXPECT_EQ(refused.field(), "label") << refused.what();
    }
    connection_->Execute("COMMIT");
    EXPECT_EQ(connection_->OpenCatalogue()->RowCount("first"), 1);
    EXPECT_FALSE(Has("second"));
}

TEST_P(JoinedBulkWriter, ValueTheServerCannotHoldIsNamedByRowAndField) {
    if (!Postgres()) GTEST_SKIP() << "SQLite keeps a decimal of any size";
    auto table = Named("amounts");
    table.fields.push_back({"amount", FieldType::kDecimal, 4, 2, true});
    connection_->Execute("BEGIN");
    const auto writer = connection_->StartBulkWrite(table);
    writer->Add({FieldValue::Int(1), FieldValue::Of(Kind::Text, "a"), FieldValue::Of(Kind::Decimal, "12.5")});
    writer->Add({FieldValue::Int(2), FieldValue::Of(Kind::Text, "b"), FieldValue::Of(Kind::Decimal, "123.5")});
    try {
        writer->Commit();
        FAIL() << "123.5 was taken as numeric(4, 2)";
    } catch (const oledb_backend::RowRefused& refused) {
        EXPECT_EQ(refused.row(), 2u) << refused.what();
        EXPECT_EQ(refused.field(), "amount") << refused.what();
    }
}

TEST_P(JoinedBulkWriter, JoiningWithoutATransactionAndOwningInsideOneAreRefused) {
    EXPECT_THROW(connection_->StartBulkWrite(Named("first")), oledb_backend::CursorError);
    auto own = Named("first");
    own.in_caller_transaction = false;
    connection_->Execute("BEGIN");
    EXPECT_THROW(connection_->StartBulkWrite(own), oledb_backend::CursorError);
    connection_->Execute("ROLLBACK");
    EXPECT_FALSE(Has("first"));
}

ROWLARK_BOTH_BACKENDS(JoinedBulkWriter);

}  // namespace
