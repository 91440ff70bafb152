// Host numbers of more than 15 significant digits as query parameters, on both databases: they bind
// with every digit, so comparisons with exact decimal columns (twenty-digit accounts, sums with four
// decimals) find the rows of that very value, and a stored parameter keeps it; comparisons with
// integer and double columns go on as before.

#include "backend_fixture.h"
#include "platform/oledb/sqlite_decimal_columns.h"
#include "platform/runtime/numeric.h"

namespace {

CValue Number(const char* digits) {
    CValue value;
    value = CNumeric::Parse(digits);
    return value;
}

// Accounts and sums that differ only beyond a double's digits, beside integer and double columns.
class WideNumberParameters : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        const std::string acct = Either(oledb_backend::DecimalTextDeclaration(20, 0), "numeric(20, 0)");
        const std::string sum = Either(oledb_backend::DecimalTextDeclaration(20, 4), "numeric(20, 4)");
        Exec("CREATE TABLE a(id INTEGER PRIMARY KEY, acct " + acct + ", sum " + sum + ", qty INTEGER, ratio " +
             Either("REAL", "double precision") + ");"
             "INSERT INTO a VALUES (1, '40702810900000012345', '1234567890123456.7891', 10, 0.5),"
             " (2, '40702810900000012346', '1234567890123456.7892', 20, 1.5),"
             " (3, '40702810900000012344', '-1234567890123456.7891', 30, 2.5);");
    }
    void Bind(const char* name, const char* digits) { command_.SetTextParam(CString(name), Number(digits)); }
};
ROWLARK_BOTH_BACKENDS(WideNumberParameters);

TEST_P(WideNumberParameters, EqualityFindsTheRowOfThatVeryValue) {
    Bind("acct", "40702810900000012345");
    EXPECT_EQ(Scalar("SELECT count(*) FROM a WHERE acct = :acct"), "1");
    Bind("acct", "40702810900000012345");
    EXPECT_EQ(Scalar("SELECT id FROM a WHERE acct = :acct"), "1");
    Bind("acct", "40702810900000012346");
    EXPECT_EQ(Scalar("SELECT id FROM a WHERE acct = :acct"), "2");
    Bind("sum", "1234567890123456.7892");
    EXPECT_EQ(Scalar("SELECT id FROM a WHERE :sum = sum"), "2");
    Bind("sum", "-1234567890123456.7891");
    EXPECT_EQ(Scalar("SELECT id FROM a WHERE sum = :sum"), "3");
    EXPECT_TRUE(host_errors::Raised().empty()) << LastError();
}

TEST_P(WideNumberParameters, OrderComparisonsGoByExactValue) {
    Bind("acct", "40702810900000012345");
    EXPECT_EQ(Scalar("SELECT count(*) FROM a WHERE acct > :acct"), "1");
    Bind("acct", "40702810900000012345");
    EXPECT_EQ(Scalar("SELECT count(*) FROM a WHERE acct <= :acct"), "2");
    Bind("lo", "1234567890123456.78905");
    Bind("hi", "1234567890123456.7892");
    EXPECT_EQ(Scalar("SELECT id FROM a WHERE sum BETWEEN :lo AND :hi ORDER BY id DESC"), "2");
    Bind("lo", "1234567890123456.78905");
    EXPECT_EQ(Scalar("SELECT count(*) FROM a WHERE sum > :lo"), "2");
}

TEST_P(WideNumberParameters, StoredParameterKeepsEveryDigit) {
    Bind("acct", "40702810900000012347");
    Bind("sum", "-9999999999999999.9999");
    Direct("INSERT INTO a(id, acct, sum) VALUES (4, :acct, :sum)");
    EXPECT_TRUE(host_errors::Raised().empty()) << LastError();
    EXPECT_EQ(Scalar("SELECT acct FROM a WHERE id = 4"), "40702810900000012347");
    EXPECT_EQ(Scalar("SELECT sum FROM a WHERE id = 4"), "-9999999999999999.9999");
}

// The integer and double columns hold values far from the parameters' last digits, where every
// reading of them agrees.
TEST_P(WideNumberParameters, IntegerAndDoubleColumnsCompareAsBefore) {
    Bind("p", "25.000000000000000001");
    EXPECT_EQ(Scalar("SELECT count(*) FROM a WHERE qty < :p"), "2");
    Bind("p", "1.5000000000000000001");
    EXPECT_EQ(Scalar("SELECT id FROM a WHERE ratio > :p"), "3");
    Bind("p", "-40702810900000012345");
    EXPECT_EQ(Scalar("SELECT count(*) FROM a WHERE id > :p AND qty > :p"), "3");
    // Beside tables of numbers alone the number is compared with expressions too (a host's quotient).
    Exec("CREATE TABLE n(qty INTEGER, ratio " + Either("REAL", "double precision") + ");"
         "INSERT INTO n VALUES (10, 0.5), (20, 1.5), (30, 2.5)");
    Bind("p", "29.500000000000000000000000000000000001");
    EXPECT_EQ(Scalar("SELECT count(*) FROM n WHERE qty * ratio > :p"), "2");
    EXPECT_TRUE(host_errors::Raised().empty()) << LastError();
}

}  // namespace
