// Query parameters through the command, on both databases: every parameter the text writes takes
// the value bound under its name in any letter case, or under its number; a parameter without a
// value, or a value without its parameter, is the layer's own error and runs nothing.

#include "backend_fixture.h"

namespace {

CValue Number(long n) {
    CValue value;
    value = n;
    return value;
}

CValue Text(const std::string& utf8) {
    CValue value;
    value = cp1251::FromUtf8(utf8).c_str();
    return value;
}

const char* const kMethod = " (метод УстановитьПараметр/SetParameter)";

class QueryParameters : public BackendWithRows {
protected:
    void Bind(const std::string& utf8_name, const CValue& value) {
        command_.SetTextParam(CString(cp1251::FromUtf8(utf8_name).c_str()), value);
    }
    // The one error the host was given for a refused statement, which gave no result.
    std::string Refusal(const std::string& utf8_sql) {
        host_errors::Clear();
        const bool valid = Direct(utf8_sql).IsValid();
        EXPECT_FALSE(valid) << utf8_sql;
        EXPECT_EQ(host_errors::Raised().size(), 1u) << utf8_sql;
        if (host_errors::Raised().empty()) return "<none>";
        EXPECT_EQ(host_errors::Raised()[0].flag, 7);
        return LastError();
    }
};
ROWLARK_BOTH_BACKENDS(QueryParameters);

TEST_P(QueryParameters, NamesMatchInAnyLetterCaseLatinAndCyrillic) {
    Bind("TOP", Number(3));
    EXPECT_EQ(Scalar("SELECT count(*) FROM t WHERE id < :top"), "2");
    Bind("ПРЕДЕЛ", Number(20));
    Bind(":Имя", Text("три"));
    EXPECT_EQ(Scalar("SELECT count(*) FROM t WHERE qty > :предел OR name = @ИМЯ"), "1");
    EXPECT_TRUE(host_errors::Raised().empty()) << LastError();
}

TEST_P(QueryParameters, MarksAndNumberedParametersTakeTheValuesSetUnderTheirNumbers) {
    Bind("1", Number(1));
    Bind("2", Number(30));
    EXPECT_EQ(Scalar("SELECT count(*) FROM t WHERE id > ? AND qty < ?"), "1");
    Bind("1", Number(1));
    Bind("2", Number(30));
    EXPECT_EQ(Scalar("SELECT count(*) FROM t WHERE qty < ?2 AND id > ?1 AND id <> ?1"), "1");
    Bind("1", Text("two"));
    EXPECT_EQ(Scalar("SELECT id FROM t WHERE name = $1"), "2");
    EXPECT_TRUE(host_errors::Raised().empty()) << LastError();
}

TEST_P(QueryParameters, ValuesServeTheNextExecutionOnly) {
    Bind("id", Number(2));
    EXPECT_EQ(Scalar("SELECT name FROM t WHERE id = :id"), "two");
    EXPECT_EQ(Refusal("SELECT name FROM t WHERE id = :id"),
              std::string("Не установлено значение параметра запроса :id") + kMethod);
    Bind("id", Number(3));
    EXPECT_EQ(Scalar("SELECT name FROM t WHERE id = :id"), "три");
}

TEST_P(QueryParameters, ParameterWithoutAValueIsRefusedByNameAndNothingRuns) {
    Bind("name", Text("x"));
    EXPECT_EQ(Refusal("UPDATE t SET name = :name WHERE id < :Top"),
              std::string("Не установлено значение параметра запроса :Top") + kMethod);
    Bind("1", Number(1));
    EXPECT_EQ(Refusal("DELETE FROM t WHERE id = ? OR id = ?"),
              std::string("Не установлено значение параметра запроса ? номер 2") + kMethod);
    EXPECT_EQ(Scalar("SELECT count(*) FROM t WHERE name IN ('one', 'two', 'три')"), "3");
}

TEST_P(QueryParameters, ValueWithoutItsParameterIsRefusedAndNothingRuns) {
    Bind("top", Number(2));
    Bind("Limit", Number(2));
    EXPECT_EQ(Refusal("DELETE FROM t WHERE id < :top"),
              std::string("В тексте запроса нет параметра Limit, значение которого установлено") + kMethod);
    // Text that only looks like a parameter is none: in a string, a quoted name or a comment.
    Bind("x", Number(1));
    EXPECT_EQ(Refusal("SELECT ':x' AS \":y\" FROM t -- :x\n WHERE /* :x */ id = 1"),
              std::string("В тексте запроса нет параметра x, значение которого установлено") + kMethod);
    EXPECT_EQ(Scalar("SELECT count(*) FROM t"), "3");
}

TEST_P(QueryParameters, ExactNameWinsOverOtherSpellingsWhichMustNotBeTwo) {
    Bind("LO", Number(3));
    Bind("lo", Number(2));
    EXPECT_EQ(Scalar("SELECT count(*) FROM t WHERE id >= :lo AND id < :LO"), "1");
    Bind("TOP", Number(3));
    Bind("top", Number(2));
    EXPECT_EQ(Refusal("SELECT count(*) FROM t WHERE id < :top"),
              std::string("В тексте запроса нет параметра TOP, значение которого установлено") + kMethod);
    Bind("TOP", Number(3));
    Bind("top", Number(2));
    EXPECT_EQ(Refusal("SELECT count(*) FROM t WHERE id < :Top"),
              "Для параметра запроса :Top установлено несколько значений, под именами TOP и top");
}

TEST_P(QueryParameters, MarksBesideNamesAreRefused) {
    Bind("a", Number(1));
    Bind("2", Number(2));
    EXPECT_EQ(Refusal("SELECT count(*) FROM t WHERE id = :a OR id = ?"),
              "В тексте запроса параметры ? стоят вместе с именованными: задайте параметрам номера (?1, ?2) или имена");
}

TEST_P(QueryParameters, RefusalMayLeaveByTheHostsThrowAndTheCommandGoesOn) {
    host_errors::SetRaiseThrows(true);
    CString text("SELECT :a");
    LONG count = 0;
    EXPECT_THROW(command_.ExecuteStatementExternalSequential(text, count), HostRuntimeError);
    host_errors::SetRaiseThrows(false);
    Bind("a", Number(5));
    EXPECT_EQ(Scalar("SELECT :a + 1"), "6");
}

}  // namespace
