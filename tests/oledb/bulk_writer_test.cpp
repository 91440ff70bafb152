// The backend seam's bulk writer, on both backends: a table from field definitions and rows of
// every value kind, kept only on Commit(); a failure or an abandoned writer leaves the database as
// it was, and a stop request ends the write the same way. Inside a transaction of the caller's,
// tables are kept or undone together by the caller's COMMIT or ROLLBACK, a failed one undone alone,
// and a refused row is named by its number and field.

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/oledb/connection.h"
#include "tests/oledb/backend_fixture.h"

namespace {

using oledb_backend::FieldType;
using oledb_backend::FieldValue;
using Kind = oledb_backend::FieldValue::Kind;

class BulkWriterTest : public BackendTest {
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
    static oledb_backend::TableDefinition Things() {
        return {"things",
                {{"id", FieldType::kInteger, 8, 0, false},
                 {"amount", FieldType::kDecimal, 12, 2, true},
                 {"ratio", FieldType::kReal, 0, 0, true},
                 {"name", FieldType::kText, 20, 0, true},
                 {"bytes", FieldType::kBlob, 0, 0, true},
                 {"day", FieldType::kDate, 0, 0, true},
                 {"stamp", FieldType::kDateTime, 0, 0, true}},
                {"id"},
                false};
    }
    static std::vector<FieldValue> Row(std::int64_t id, const std::string& name) {
        return {FieldValue::Int(id),
                FieldValue::Of(Kind::Decimal, "-12.50"),
                FieldValue::Real(0.1),
                FieldValue::Of(Kind::Text, name),
                FieldValue::Of(Kind::Blob, std::string("\0\x01\\\t", 4)),
                FieldValue::Of(Kind::Date, "2024-02-29"),
                FieldValue::Of(Kind::DateTime, "2024-02-29 23:59:58")};
    }
    static std::string Shortest(double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", value);
        return text;
    }
    // Every row as text, in id order (the blob as its length).
    std::vector<std::string> Rows() {
        auto cursor = connection_->RunStatement(
            Either("SELECT id, amount, ratio, name, length(bytes), day, stamp FROM things ORDER BY id",
                   "SELECT id, amount, ratio, name, length(bytes), day::text, stamp::text FROM things ORDER BY id"),
            {}, oledb_backend::Reading::kWhole);
        std::vector<std::string> rows;
        while (cursor->Step()) {
            std::string row;
            for (int c = 0; c < cursor->ColumnCount(); ++c) {
                const auto v = cursor->Column(c);
                row += (c ? "|" : "") + (v.kind == oledb_backend::SqlValue::Kind::Integer ? std::to_string(v.integer)
                                         : v.kind == oledb_backend::SqlValue::Kind::Real  ? Shortest(v.real)
                                         : v.kind == oledb_backend::SqlValue::Kind::Null  ? std::string("NULL")
                                                                                           : v.text);
            }
            rows.push_back(row);
        }
        return rows;
    }
    bool HasThings() { return Has("things"); }
    bool Has(const std::string& table) { return connection_->OpenCatalogue()->Table(table).has_value(); }

    // A table of an id and a label that must be given, written in the caller's transaction.
    static oledb_backend::TableDefinition Labelled(const std::string& name) {
        oledb_backend::TableDefinition table{
            name, {{"id", FieldType::kInteger, 8, 0, false}, {"label", FieldType::kText, 10, 0, false}}, {"id"}, false};
        table.in_caller_transaction = true;
        return table;
    }
    static std::vector<FieldValue> Label(std::int64_t id, const char* label) {
        return {FieldValue::Int(id), label ? FieldValue::Of(Kind::Text, label) : FieldValue::Null()};
    }
    void WriteLabelled(const std::string& name, const std::vector<std::vector<FieldValue>>& rows) {
        const auto writer = connection_->StartBulkWrite(Labelled(name));
        for (const auto& row : rows) writer->Add(row);
        writer->Commit();
    }

    std::shared_ptr<oledb_backend::Connection> connection_;
};

TEST_P(BulkWriterTest, CommittedRowsReadBackWithEveryValueKind) {
    auto writer = connection_->StartBulkWrite(Things());
    writer->Add(Row(2, "Ёж\ttab\nline"));
    writer->Add(Row(1, "plain"));
    writer->Add({FieldValue::Int(3), FieldValue::Null(), FieldValue::Null(), FieldValue::Null(), FieldValue::Null(),
                 FieldValue::Null(), FieldValue::Null()});
    writer->Commit();
    writer.reset();
    const std::string shared = Either("-12.5|0.1|", "-12.50|0.1|");  // SQLite keeps no decimals
    EXPECT_EQ(Rows(), (std::vector<std::string>{"1|" + shared + "plain|4|2024-02-29|2024-02-29 23:59:58",
                                                 "2|" + shared + "Ёж\ttab\nline|4|2024-02-29|2024-02-29 23:59:58",
                                                 "3|NULL|NULL|NULL|NULL|NULL|NULL"}));
    const auto catalogue = connection_->OpenCatalogue();
    EXPECT_EQ(catalogue->PrimaryKey("things"), std::vector<std::string>{"id"});
    EXPECT_EQ(catalogue->Column("things", "name")->size, 20);
    EXPECT_EQ(catalogue->Column("things", "amount")->scale, 2);
}

TEST_P(BulkWriterTest, AbandonedWriterLeavesNoTable) {
    {
        auto writer = connection_->StartBulkWrite(Things());
        writer->Add(Row(1, "a"));
        writer->EndRows();
    }
    EXPECT_FALSE(HasThings());
    connection_->Execute("CREATE TABLE after_it (x INTEGER)");  // the connection is free and in no transaction
    EXPECT_TRUE(connection_->OpenCatalogue()->Table("after_it"));
}

TEST_P(BulkWriterTest, FailedRowLeavesNothingAndTheConnectionUsable) {
    auto writer = connection_->StartBulkWrite(Things());
    writer->Add(Row(1, "a"));
    auto bad = Row(2, "b");
    bad[0] = FieldValue::Of(Kind::Text, "abc");  // not an integer
    bool failed = false;
    try {
        writer->Add(bad);
        writer->Commit();  // the server's COPY tells only when it ends
    } catch (const oledb_backend::CursorError&) {
        failed = true;
    }
    EXPECT_TRUE(failed);
    writer.reset();
    EXPECT_FALSE(HasThings());
    EXPECT_THROW(connection_->StartBulkWrite(Things())->Add({FieldValue::Int(1)}), oledb_backend::CursorError);
    EXPECT_FALSE(HasThings());
}

TEST_P(BulkWriterTest, ExistingTableIsRefusedAndKeepsItsRows) {
    connection_->Execute("CREATE TABLE things (id INTEGER); INSERT INTO things VALUES (7)");
    EXPECT_THROW(connection_->StartBulkWrite(Things()), oledb_backend::CursorError);
    EXPECT_EQ(connection_->OpenCatalogue()->RowCount("things"), 1);
}

TEST_P(BulkWriterTest, StopRequestEndsTheWriteWithNothingWritten) {
    bool stop = false;
    connection_->StopWhen([&] { return stop; });
    auto writer = connection_->StartBulkWrite(Things());
    writer->Add(Row(1, "a"));
    writer->Add(Row(2, "b"));
    stop = true;
    try {
        writer->Add(Row(3, "c"));
        FAIL() << "the third row was written";
    } catch (const oledb_backend::CursorError& error) {
        EXPECT_STREQ(error.what(), "interrupted");
    }
    writer.reset();
    connection_->StopWhen({});
    EXPECT_FALSE(HasThings());
}

TEST_P(BulkWriterTest, TablesAreKeptByTheCallersCommitOnly) {
    connection_->Execute("BEGIN");
    WriteLabelled("first", {Label(1, "a")});
    WriteLabelled("second", {Label(1, "b"), Label(2, "c")});
    connection_->Execute("ROLLBACK");
    EXPECT_FALSE(Has("first"));
    EXPECT_FALSE(Has("second"));

    connection_->Execute("BEGIN");
    WriteLabelled("first", {Label(1, "a")});
    WriteLabelled("second", {Label(1, "b"), Label(2, "c")});
    connection_->Execute("COMMIT");
    EXPECT_EQ(connection_->OpenCatalogue()->RowCount("first"), 1);
    EXPECT_EQ(connection_->OpenCatalogue()->RowCount("second"), 2);
}

TEST_P(BulkWriterTest, RefusedRowIsNamedAndOnlyItsTableUndone) {
    connection_->Execute("BEGIN");
    WriteLabelled("first", {Label(1, "a")});
    try {
        // The server's COPY tells only when the rows end.
        WriteLabelled("second", {Label(1, "b"), Label(2, nullptr), Label(3, "d")});
        FAIL() << "a row without its label was taken";
    } catch (const oledb_backend::RowRefused& refused) {
        EXPECT_EQ(refused.row(), 2u) << refused.what();
        EXPECT_EQ(refused.field(), "label") << refused.what();
    }
    connection_->Execute("COMMIT");
    EXPECT_EQ(connection_->OpenCatalogue()->RowCount("first"), 1);
    EXPECT_FALSE(Has("second"));
}

TEST_P(BulkWriterTest, ValueTheServerCannotHoldIsNamedByRowAndField) {
    if (!Postgres()) GTEST_SKIP() << "SQLite keeps a decimal of any size";
    auto table = Labelled("amounts");
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

TEST_P(BulkWriterTest, JoiningWithoutATransactionAndOwningInsideOneAreRefused) {
    EXPECT_THROW(connection_->StartBulkWrite(Labelled("first")), oledb_backend::CursorError);
    auto own = Labelled("first");
    own.in_caller_transaction = false;
    connection_->Execute("BEGIN");
    EXPECT_THROW(connection_->StartBulkWrite(own), oledb_backend::CursorError);
    connection_->Execute("ROLLBACK");
    EXPECT_FALSE(Has("first"));
}

ROWLARK_BOTH_BACKENDS(BulkWriterTest);

}  // namespace
