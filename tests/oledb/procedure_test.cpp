#include "oledb_fixture.h"
#include "platform/oledb/procedures.h"

namespace {

// Rows given in advance; throws CursorError when stepped onto row fail_at.
class ListCursor : public oledb_backend::RowCursor {
public:
    ListCursor(std::vector<std::vector<oledb_backend::SqlValue>> rows, int fail_at = -1)
        : rows_(std::move(rows)), fail_at_(fail_at) {}
    int ColumnCount() const override { return 2; }
    std::string ColumnName(int column) const override { return column == 0 ? "key" : "index_value"; }
    bool Step() override {
        ++at_;
        if (at_ == fail_at_) throw oledb_backend::CursorError("cursor broke at row " + std::to_string(at_));
        return at_ < static_cast<int>(rows_.size());
    }
    oledb_backend::SqlValue Column(int column) const override {
        return rows_[static_cast<std::size_t>(at_)][static_cast<std::size_t>(column)];
    }

private:
    std::vector<std::vector<oledb_backend::SqlValue>> rows_;
    int fail_at_;
    int at_ = -1;
};

std::vector<oledb_backend::ProcArg> g_received;

}  // namespace

class Procedures : public OleDbTest {
protected:
    void SetUp() override {
        OleDbTest::SetUp();
        g_received.clear();
        using oledb_backend::ProcArg;
        using oledb_backend::ProcedureSite;
        using oledb_backend::SqlValue;
        oledb_backend::AddProcedure(*data_->connection(), "EchoRows", [](const ProcedureSite& site, const std::vector<ProcArg>& args) {
            EXPECT_NE(site.handle(), nullptr);
            g_received = args;
            std::vector<std::vector<SqlValue>> rows;
            for (const auto& a : args)
                rows.push_back({a.is_text ? SqlValue::Text(a.text) : SqlValue::Int(a.number), SqlValue::Null()});
            return std::make_unique<ListCursor>(std::move(rows));
        });
        oledb_backend::AddProcedure(*data_->connection(), "Refuse", [](const ProcedureSite&, const std::vector<ProcArg>&)
                                                       -> std::unique_ptr<oledb_backend::RowCursor> {
            throw oledb_backend::CursorError("table nope does not exist");
        });
        oledb_backend::AddProcedure(*data_->connection(), "BreakAt", [](const ProcedureSite&, const std::vector<ProcArg>& args) {
            std::vector<std::vector<SqlValue>> rows(5, {SqlValue::Int(1), SqlValue::Int(2)});
            return std::make_unique<ListCursor>(std::move(rows), static_cast<int>(args.at(0).number));
        });
    }
};

TEST_F(Procedures, CallTextRunsTheRegisteredProcedureWithItsArguments) {
    LONG count = 0;
    auto result = Direct("EchoRows ('it''s', -5, 'Ёж')", count);
    ASSERT_TRUE(result.IsValid()) << LastError();
    ASSERT_EQ(g_received.size(), 3u);
    EXPECT_EQ(g_received[0].text, "it's");
    EXPECT_EQ(g_received[1].number, -5);
    EXPECT_EQ(g_received[2].text, "Ёж");  // UTF-8 for the database side
    EXPECT_EQ(count, 3);
    EXPECT_EQ(result.GetFieldName(1), "index_value");
    CValue v;
    ASSERT_TRUE(result.GetRow(2));
    ASSERT_TRUE(result.GetFieldValue(0, v));
    EXPECT_EQ(Utf8(v), "Ёж");
}

TEST_F(Procedures, NamesMatchInAnyLatinCaseAndStreamSequentially) {
    auto result = Sequential("echorows (1, 2)");
    ASSERT_TRUE(result.IsValid()) << LastError();
    int rows = 0;
    while (result.GetNextRow()) ++rows;
    EXPECT_EQ(rows, 2);
}

TEST_F(Procedures, BadCallSyntaxRaisesAndRunsNothing) {
    auto result = Direct("EchoRows ('a', 'b'");
    EXPECT_FALSE(result.IsValid());
    EXPECT_TRUE(g_received.empty());
    EXPECT_NE(LastError().find("неверный вызов процедуры EchoRows"), std::string::npos) << LastError();
}

TEST_F(Procedures, UnregisteredNameIsTakenAsSql) {
    auto result = Direct("NoSuchProc ('a')");
    EXPECT_FALSE(result.IsValid());
    EXPECT_NE(LastError().find("syntax error"), std::string::npos) << LastError();
}

TEST_F(Procedures, ProcedureFailureIsRaisedWithItsMessageOnBothRoads) {
    auto direct = Direct("Refuse ()");
    EXPECT_FALSE(direct.IsValid());
    EXPECT_EQ(LastError(), "Ошибка базы данных: table nope does not exist");
    host_errors::SetRaiseThrows(true);
    CString text("Refuse ()");
    LONG unused = 0;
    EXPECT_THROW(command_.ExecuteStatementExternalSequential(text, unused), HostRuntimeError);
    EXPECT_EQ(host_errors::Raised().size(), 2u);
}

TEST_F(Procedures, FailureInTheMiddleOfAPassRaisesAndEndsIt) {
    auto result = Sequential("BreakAt (2)");
    ASSERT_TRUE(result.IsValid());
    EXPECT_TRUE(result.GetNextRow());
    EXPECT_TRUE(result.GetNextRow());
    EXPECT_TRUE(host_errors::Raised().empty());
    EXPECT_FALSE(result.GetNextRow());
    EXPECT_EQ(LastError(), "Ошибка базы данных: cursor broke at row 2");
    EXPECT_FALSE(result.GetNextRow());
    EXPECT_EQ(host_errors::Raised().size(), 1u);
}

TEST_F(Procedures, FailureInTheMiddleOfAPassMayLeaveByTheHostsThrow) {
    auto result = Sequential("BreakAt (1)");
    ASSERT_TRUE(result.GetNextRow());
    host_errors::SetRaiseThrows(true);
    EXPECT_THROW(result.GetNextRow(), HostRuntimeError);
    EXPECT_FALSE(result.GetNextRow());
}

TEST_F(Procedures, DirectExecutionFailingOnAnyRowKeepsNothing) {
    auto result = Direct("BreakAt (3)");
    EXPECT_FALSE(result.IsValid());
    EXPECT_EQ(LastError(), "Ошибка базы данных: cursor broke at row 3");
}

TEST_F(Procedures, ProcedureFindsTheSameMemoryOnItsConnectionAtEveryCall) {
    struct Counter : oledb_backend::ProcedureState {
        int calls = 0;
    };
    static std::vector<int> seen;
    seen.clear();
    oledb_backend::AddProcedure(*data_->connection(), "CountCalls", [](const oledb_backend::ProcedureSite& site,
                                                      const std::vector<oledb_backend::ProcArg>&) {
        EXPECT_NE(site.handle(), nullptr);
        EXPECT_NE(site.memory(), nullptr);
        auto& slot = site.memory()->Slot("CountCalls");
        if (!slot) slot = std::make_shared<Counter>();
        seen.push_back(++static_cast<Counter&>(*slot).calls);
        return std::make_unique<ListCursor>(std::vector<std::vector<oledb_backend::SqlValue>>{});
    });
    Direct("CountCalls ()");
    Sequential("CountCalls ()");
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
}

TEST_F(Procedures, ProcedureAddedToOneConnectionStaysThere) {
    // Another connection to the same file does not offer it: the call text is taken as SQL there.
    COLEDBData other;
    ASSERT_TRUE(other.Open(path_.c_str())) << LastError();
    EXPECT_FALSE(other.connection()->OffersProcedure("EchoRows"));
    EXPECT_TRUE(data_->connection()->OffersProcedure("ECHOROWS"));
    OleDb::CCommandProxy command(other.CreateCommand());
    CString text(cp1251::FromUtf8("EchoRows (1)").c_str());
    LONG count = 0;
    EXPECT_FALSE(command.ExecuteStatementExternalDirect(text, count).IsValid());
    EXPECT_NE(LastError().find("syntax error"), std::string::npos) << LastError();
    EXPECT_TRUE(g_received.empty());
}

TEST_F(Procedures, ProcedureEndsWithItsConnection) {
    command_ = OleDb::CCommandProxy();
    data_->Close();
    ASSERT_TRUE(data_->Open(path_.c_str())) << LastError();
    EXPECT_FALSE(data_->connection()->OffersProcedure("EchoRows"));
}

TEST_F(Procedures, OnlyASqliteConnectionTakesAnAddedProcedure) {
    // A server keeps its own functions: a connection of another engine refuses.
    struct NotSqlite : oledb_backend::Connection {
        void Execute(const std::string&) override {}
        std::unique_ptr<oledb_backend::RowCursor> RunStatement(const std::string&, const oledb_backend::NamedParams&,
                                                               oledb_backend::Reading) override { return nullptr; }
        std::vector<oledb_backend::ParameterRef> ParametersIn(const std::string&) override { return {}; }
        bool OffersProcedure(const std::string&) override { return false; }
        std::unique_ptr<oledb_backend::RowCursor> CallProcedure(const oledb_backend::ProcedureCall&,
                                                                oledb_backend::Reading) override { return nullptr; }
        std::vector<std::pair<std::string, std::string>> ReadMetaNames() override { return {}; }
        std::unique_ptr<oledb_backend::Catalogue> OpenCatalogue() override { return nullptr; }
        std::unique_ptr<oledb_backend::BulkWriter> StartBulkWrite(const oledb_backend::TableDefinition&) override {
            return nullptr;
        }
        void StopWhen(std::function<bool()>) override {}
    } server;
    EXPECT_THROW(oledb_backend::AddProcedure(server, "EchoRows", {}), oledb_backend::CursorError);
}
