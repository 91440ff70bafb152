#include "oledb_fixture.h"

// The script surface: what a script sees of an "OLEDBData" object.
class OleDbDataScript : public OleDbTest {
protected:
    // Calls a method by name, as the host does, with at most one argument; answers the result.
    CValue Call(CBLContext* object, const std::string& utf8_name, const std::string& utf8_arg = "") {
        const int index = object->LookupMethod(cp1251::FromUtf8(utf8_name).c_str());
        EXPECT_GE(index, 0) << utf8_name;
        CValue arg;
        arg = cp1251::FromUtf8(utf8_arg).c_str();
        CValue* args[] = {&arg};
        CValue result;
        EXPECT_EQ(object->InvokeAsFunction(index, result, args), 1);
        return result;
    }
};

TEST_F(OleDbDataScript, ScriptsCreateItByNameInAnyCase) {
    for (const char* name : {"OLEDBData", "oledbdata", "OleDbData"}) {
        CValue value;
        ASSERT_TRUE(CBLContext::CreateByName(name, value)) << name;
        ASSERT_NE(value.GetContext(), nullptr);
        EXPECT_EQ(value.GetContext()->RefCount(), 1);
        EXPECT_NE(dynamic_cast<COLEDBData*>(value.GetContext()), nullptr);
        EXPECT_STREQ(value.GetContext()->DisplayTypeName(), "OLEDBData");
    }
    const CRuntimeClass* record = data_->GetRuntimeClass();
    EXPECT_STREQ(record->m_lpszClassName, "COLEDBData");
    EXPECT_EQ(record->m_pBaseClass, &CBLContext::classCBLContext);
}

TEST_F(OleDbDataScript, MethodsAnswerToBothNamesInAnyLetterCase) {
    const std::pair<const char*, int> names[] = {
        {"Открыть", 0}, {"ОТКРЫТЬ", 0}, {"open", 0}, {"OPEN", 0},
        {"Закрыть", 1}, {"закрыть", 1}, {"Close", 1},
        {"Выполнить", 2}, {"вЫПОЛНИТЬ", 2}, {"execute", 2},
    };
    for (const auto& [name, index] : names)
        EXPECT_EQ(data_->LookupMethod(cp1251::FromUtf8(name).c_str()), index) << name;
    EXPECT_EQ(data_->LookupMethod("Opened"), -1);
    EXPECT_EQ(data_->MethodCount(), 3);
    EXPECT_EQ(cp1251::ToUtf8(data_->MethodNameAt(2, 0)), "Выполнить");
    EXPECT_STREQ(data_->MethodNameAt(2, 1), "Execute");
    EXPECT_EQ(data_->MethodNameAt(2, 2), nullptr);
    EXPECT_EQ(data_->MethodNameAt(3, 0), nullptr);
    EXPECT_EQ(data_->MethodArity(0), 1);
    EXPECT_EQ(data_->MethodArity(1), 0);
    EXPECT_EQ(data_->MethodHasResult(0), 1);
    EXPECT_EQ(data_->MethodHasResult(1), 0);
}

TEST_F(OleDbDataScript, OpenExecuteAndCloseByRussianAndEnglishNames) {
    CValue value;
    ASSERT_TRUE(CBLContext::CreateByName("OLEDBData", value));
    CBLContext* db = value.GetContext();
    EXPECT_EQ(Call(db, "Открыть", "Data Source=" + path_).GetString(), "1");
    EXPECT_EQ(Call(db, "Выполнить", "CREATE TABLE s(x); INSERT INTO s VALUES ('Ы');").GetString(), "1");
    EXPECT_EQ(Call(db, "close").GetKind(), CValue::Kind::Empty);
    EXPECT_FALSE(static_cast<COLEDBData*>(db)->IsOpen());
    EXPECT_EQ(Call(db, "OPEN", path_).GetString(), "1");
    EXPECT_EQ(Call(db, "Execute", "INSERT INTO s VALUES ('b')").GetString(), "1");
    EXPECT_TRUE(host_errors::Raised().empty()) << LastError();

    auto result = Direct("SELECT x FROM s ORDER BY rowid");
    CValue x;
    ASSERT_TRUE(result.GetRow(0));
    ASSERT_TRUE(result.GetFieldValue(0, x));
    EXPECT_EQ(Utf8(x), "Ы");
    EXPECT_TRUE(result.GetRow(1));
}

TEST_F(OleDbDataScript, ConnectionTextsNameTheFileInSeveralForms) {
    for (const std::string& text : {"Data Source=" + path_, " data source = \"" + path_ + "\" ; Mode=Share",
                                    "Provider=SQLite;DATA SOURCE=" + path_ + ";", "  " + path_ + "  "}) {
        COLEDBData other;
        EXPECT_TRUE(other.Open(cp1251::FromUtf8(text).c_str())) << text << LastError();
        OleDb::CCommandProxy command(other.CreateCommand());
        CString sql("SELECT count(*) FROM sqlite_master");
        LONG count = 0;
        EXPECT_TRUE(command.ExecuteStatementExternalDirect(sql, count).IsValid()) << text;
    }
}

TEST_F(OleDbDataScript, FailuresAreRaisedWithTheReasonAndReturnZero) {
    COLEDBData other;
    EXPECT_FALSE(other.Open("Provider=SQLite"));
    EXPECT_EQ(LastError(), "Не удалось открыть базу данных: не указан файл базы данных (Data Source)");
    EXPECT_FALSE(other.Open("/no/such/dir/x.db"));
    EXPECT_NE(LastError().find("unable to open database file"), std::string::npos) << LastError();
    EXPECT_FALSE(other.IsOpen());
    EXPECT_EQ(other.CreateCommand(), nullptr);

    EXPECT_FALSE(other.Execute("SELECT 1"));
    EXPECT_EQ(LastError(), "База данных не открыта");
    EXPECT_EQ(Call(data_.get(), "Выполнить", "DROP TABLE nope").GetString(), "0");
    EXPECT_EQ(LastError(), "Ошибка базы данных: no such table: nope");
    for (const auto& raised : host_errors::Raised()) EXPECT_EQ(raised.flag, 7);
}

TEST_F(OleDbDataScript, FailedOpenKeepsThePreviousConnection) {
    EXPECT_FALSE(data_->Open("Data Source="));
    EXPECT_TRUE(data_->IsOpen());
    EXPECT_TRUE(data_->Execute("CREATE TABLE still_here(x)"));
}

TEST_F(OleDbDataScript, FailuresMayLeaveByTheHostsThrow) {
    host_errors::SetRaiseThrows(true);
    const int index = data_->LookupMethod("Execute");
    CValue sql;
    sql = "SELECT * FROM nope";
    CValue* args[] = {&sql};
    CValue result;
    EXPECT_THROW(data_->InvokeAsFunction(index, result, args), HostRuntimeError);
    EXPECT_TRUE(data_->IsOpen());
}

TEST_F(OleDbDataScript, CommandsKeepTheConnectionAliveAfterCloseAndDestruction) {
    Exec("CREATE TABLE t(x); INSERT INTO t VALUES (5);");
    auto* owner = new COLEDBData();
    ASSERT_TRUE(owner->Open(path_.c_str()));
    OleDb::CCommandProxy command(owner->CreateCommand());
    owner->Close();
    owner->DecrRef();  // the object is gone; its command is not
    CString sql("SELECT x FROM t");
    LONG count = 0;
    auto result = command.ExecuteStatementExternalDirect(sql, count);
    EXPECT_EQ(count, 1);
    CValue x;
    ASSERT_TRUE(result.GetRow(0));
    ASSERT_TRUE(result.GetFieldValue(0, x));
    EXPECT_EQ(x.GetString(), "5");
}
