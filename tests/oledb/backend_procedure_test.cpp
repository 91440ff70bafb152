#include "backend_fixture.h"
#include "platform/oledb/procedures.h"

// A procedure call text runs what the database offers under that name: on SQLite a procedure
// registered with the layer, on the server a function of its own. Both procedures here answer
// their three arguments as rows of (place, value) and refuse a negative number.
class BackendProcedure : public BackendTest {
protected:
    class ArgsCursor : public oledb_backend::RowCursor {
    public:
        explicit ArgsCursor(std::vector<oledb_backend::ProcArg> args) : args_(std::move(args)) {}
        int ColumnCount() const override { return 2; }
        std::string ColumnName(int column) const override { return column == 0 ? "place" : "value"; }
        bool Step() override { return ++at_ < static_cast<int>(args_.size()); }
        oledb_backend::SqlValue Column(int column) const override {
            const auto& arg = args_[static_cast<std::size_t>(at_)];
            if (column == 0) return oledb_backend::SqlValue::Int(at_ + 1);
            return oledb_backend::SqlValue::Text(arg.is_text ? arg.text : std::to_string(arg.number));
        }

    private:
        std::vector<oledb_backend::ProcArg> args_;
        int at_ = -1;
    };

    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        Exec("CREATE TABLE t(x INTEGER); INSERT INTO t VALUES (1);");
        if (Postgres()) {
            Exec("CREATE FUNCTION echoargs(a text, b integer, c text) RETURNS TABLE(place integer, value text) "
                 "LANGUAGE plpgsql AS $$ BEGIN "
                 "IF b < 0 THEN RAISE EXCEPTION 'negative count %', b; END IF; "
                 "RETURN QUERY VALUES (1, a), (2, b::text), (3, c); END $$");
        } else {
            oledb_backend::AddProcedure(*data_->connection(), "EchoArgs", [](const oledb_backend::ProcedureSite&,
                                                            const std::vector<oledb_backend::ProcArg>& args)
                                                             -> std::unique_ptr<oledb_backend::RowCursor> {
                if (args.size() == 3 && !args[1].is_text && args[1].number < 0)
                    throw oledb_backend::CursorError("negative count " + std::to_string(args[1].number));
                return std::make_unique<ArgsCursor>(args);
            });
        }
    }
    std::vector<std::string> Values(OleDb::CResultDirectAccessProxy& result) {
        std::vector<std::string> values;
        for (LONG row = 0; result.GetRow(row); ++row) {
            CValue v;
            EXPECT_TRUE(result.GetFieldValue(1, v));
            values.push_back(Utf8(v));
        }
        return values;
    }
};
ROWLARK_BOTH_BACKENDS(BackendProcedure);

TEST_P(BackendProcedure, CallTextRunsTheProcedureWithItsArgumentsBoundNotPasted) {
    LONG count = 0;
    auto result = Direct("EchoArgs ('it''s''); DROP TABLE t; --', 5, 'Ёж')", count);
    ASSERT_TRUE(result.IsValid()) << LastError();
    EXPECT_EQ(count, 3);
    EXPECT_EQ(result.GetFieldName(1), "value");
    EXPECT_EQ(Values(result), (std::vector<std::string>{"it's'); DROP TABLE t; --", "5", "Ёж"}));
    EXPECT_EQ(Scalar("SELECT count(*) FROM t"), "1");  // the quoted text stayed a value
}

TEST_P(BackendProcedure, CallNamesMatchInAnyLetterCaseAndStreamInASequentialResult) {
    auto result = Sequential("  ECHOARGS('a', -0, 'c');  ");
    ASSERT_TRUE(result.IsValid()) << LastError();
    std::vector<std::string> values;
    while (result.GetNextRow()) {
        CValue v;
        ASSERT_TRUE(result.GetFieldValue(1, v));
        values.push_back(Utf8(v));
    }
    EXPECT_EQ(values, (std::vector<std::string>{"a", "0", "c"}));
}

TEST_P(BackendProcedure, ProcedureRefusalIsRaisedWithItsOwnMessage) {
    EXPECT_FALSE(Direct("EchoArgs('a', -2, 'c')").IsValid());
    EXPECT_EQ(LastError(), "Ошибка базы данных: negative count -2");
    EXPECT_FALSE(Sequential("EchoArgs('a', -3, 'c')").IsValid());
    EXPECT_EQ(LastError(), "Ошибка базы данных: negative count -3");
    EXPECT_EQ(Scalar("SELECT count(*) FROM t"), "1");
}

TEST_P(BackendProcedure, MalformedCallTextIsRefusedByTheLayerBeforeTheDatabaseSeesIt) {
    EXPECT_FALSE(Direct("EchoArgs('a', 1, c)").IsValid());
    EXPECT_EQ(LastError(), "Ошибка базы данных: неверный вызов процедуры EchoArgs: ожидается текст в апострофах "
                           "или целое число в позиции 18");
    EXPECT_FALSE(Direct("EchoArgs('a', 1, 'c') extra").IsValid());
    EXPECT_EQ(LastError(), "Ошибка базы данных: неверный вызов процедуры EchoArgs: лишний текст после вызова "
                           "в позиции 23");
}

TEST_P(BackendProcedure, CallShapedTextOfAnUnknownNameRunsAsAStatement) {
    // Not a procedure of the database: the text goes to the database as it is.
    EXPECT_FALSE(Direct("NoSuchThing('a')").IsValid());
    EXPECT_NE(LastError().find("NoSuchThing"), std::string::npos) << LastError();
    EXPECT_EQ(Scalar("VALUES (42)"), "42");
}
