#include "oledb_fixture.h"

class DirectResult : public OleDbTest {
protected:
    void SetUp() override {
        OleDbTest::SetUp();
        Exec("CREATE TABLE goods(id INTEGER, name TEXT, price REAL, note TEXT);"
             "INSERT INTO goods VALUES (1, 'Стол', 1234.56, NULL), (2, 'Стул', 0.1, 'мягкий'),"
             "(9223372036854775807, 'max', -2.5, ''), (-9223372036854775807 - 1, 'min', 1e15, 'x');");
    }
};

TEST_F(DirectResult, CountsRowsAndNamesColumnsInCp1251InSmallLetters) {
    LONG count = -5;
    auto result = Direct("SELECT id, name AS Наименование, price FROM goods ORDER BY rowid", count);
    ASSERT_TRUE(result.IsValid());
    EXPECT_EQ(count, 4);
    EXPECT_FALSE(result.IsEmpty());
    ASSERT_EQ(result.GetNumFields(), 3);
    EXPECT_EQ(result.GetFieldName(0), "id");
    EXPECT_EQ(cp1251::ToUtf8(result.GetFieldName(1).view()), "наименование");
    EXPECT_EQ(result.GetFieldName(3), "");
    EXPECT_EQ(result.GetFieldName(-1), "");
}

TEST_F(DirectResult, PositionsOnAnyRowInAnyOrderAndNotPastTheEnd) {
    auto result = Direct("SELECT id, name FROM goods ORDER BY rowid");
    CValue v;
    ASSERT_TRUE(result.GetRow(1));
    ASSERT_TRUE(result.GetFieldValue(1, v));
    EXPECT_EQ(Utf8(v), "Стул");
    ASSERT_TRUE(result.GetRow(0));
    ASSERT_TRUE(result.GetFieldValue(1, v));
    EXPECT_EQ(Utf8(v), "Стол");
    ASSERT_TRUE(result.GetRow(3));
    EXPECT_FALSE(result.GetRow(4));
    EXPECT_FALSE(result.GetRow(-1));
    // After a failed move there is no current row: the value is left untouched.
    CValue untouched;
    untouched = "keep";
    EXPECT_FALSE(result.GetFieldValue(0, untouched));
    EXPECT_EQ(untouched.GetString(), "keep");
}

TEST_F(DirectResult, ReadsNothingBeforeTheFirstPositionOrOutsideTheColumns) {
    auto result = Direct("SELECT id FROM goods");
    CValue v;
    EXPECT_FALSE(result.GetFieldValue(0, v));
    ASSERT_TRUE(result.GetRow(0));
    EXPECT_FALSE(result.GetFieldValue(1, v));
    EXPECT_FALSE(result.GetFieldValue(-1, v));
    EXPECT_EQ(v.GetKind(), CValue::Kind::Empty);
}

TEST_F(DirectResult, KeepsIntegersExactAcrossTheWhole64BitRange) {
    auto result = Direct("SELECT id FROM goods ORDER BY rowid");
    const char* expected[] = {"1", "2", "9223372036854775807", "-9223372036854775808"};
    for (long row = 0; row < 4; ++row) {
        CValue v;
        ASSERT_TRUE(result.GetRow(row));
        ASSERT_TRUE(result.GetFieldValue(0, v));
        EXPECT_EQ(v.GetKind(), CValue::Kind::Number);
        EXPECT_EQ(v.GetString(), expected[row]);
    }
}

TEST_F(DirectResult, KeepsIntegersOfEveryStoredWidth) {
    Exec("CREATE TABLE n(v INTEGER); INSERT INTO n VALUES (0),(-128),(127),(128),(-32769),(32768),"
         "(2147483647),(-2147483648),(2147483648),(-2147483649);");
    auto result = Direct("SELECT v FROM n ORDER BY rowid");
    const char* expected[] = {"0", "-128", "127", "128", "-32769", "32768",
                              "2147483647", "-2147483648", "2147483648", "-2147483649"};
    for (long row = 0; row < 10; ++row) {
        CValue v;
        ASSERT_TRUE(result.GetRow(row));
        ASSERT_TRUE(result.GetFieldValue(0, v));
        EXPECT_EQ(v.GetString(), expected[row]);
    }
}

TEST_F(DirectResult, ReadsRealsAsTheirShortestDecimal) {
    auto result = Direct("SELECT price FROM goods ORDER BY rowid");
    const char* expected[] = {"1234.56", "0.1", "-2.5", "1000000000000000"};
    for (long row = 0; row < 4; ++row) {
        CValue v;
        ASSERT_TRUE(result.GetRow(row));
        ASSERT_TRUE(result.GetFieldValue(0, v));
        EXPECT_EQ(v.GetNumeric(), CNumeric::Parse(expected[row])) << row;
    }
}

TEST_F(DirectResult, GivesNullAsTheEmptyValueAndAnEmptyTextAsText) {
    auto result = Direct("SELECT note FROM goods ORDER BY rowid");
    CValue v;
    v = "was here";
    ASSERT_TRUE(result.GetRow(0));
    ASSERT_TRUE(result.GetFieldValue(0, v));
    EXPECT_EQ(v.GetKind(), CValue::Kind::Empty);
    ASSERT_TRUE(result.GetRow(2));
    ASSERT_TRUE(result.GetFieldValue(0, v));
    EXPECT_EQ(v.GetKind(), CValue::Kind::String);
    EXPECT_EQ(v.GetString(), "");
}

TEST_F(DirectResult, EmptyResultIsValidWithColumnsAndNoRows) {
    LONG count = 7;
    auto result = Direct("SELECT id, name FROM goods WHERE id = 100", count);
    ASSERT_TRUE(result.IsValid());
    EXPECT_TRUE(result.IsEmpty());
    EXPECT_EQ(count, 0);
    EXPECT_EQ(result.GetNumFields(), 2);
    EXPECT_FALSE(result.GetRow(0));
}

TEST_F(DirectResult, ResetLetsGoOfThisHandleOnlyAndCopiesShare) {
    auto result = Direct("SELECT id FROM goods ORDER BY rowid");
    OleDb::CResultDirectAccessProxy copy = result;
    ASSERT_TRUE(copy.GetRow(1));
    result.Reset();
    EXPECT_FALSE(result.IsValid());
    EXPECT_TRUE(result.IsEmpty());
    EXPECT_EQ(result.GetNumFields(), 0);
    EXPECT_FALSE(result.GetRow(0));
    CValue v;
    ASSERT_TRUE(copy.GetFieldValue(0, v));  // the copy's share keeps the rows and the position
    EXPECT_EQ(v.GetString(), "2");
}

TEST_F(DirectResult, OutlivesItsCommandAndConnection) {
    auto result = Direct("SELECT name FROM goods ORDER BY rowid");
    command_ = OleDb::CCommandProxy();
    data_->Close();
    CValue v;
    ASSERT_TRUE(result.GetRow(3));
    ASSERT_TRUE(result.GetFieldValue(0, v));
    EXPECT_EQ(v.GetString(), "min");
}

TEST_F(DirectResult, DefaultHandleIsNotValid) {
    OleDb::CResultDirectAccessProxy none(nullptr);
    CValue v;
    EXPECT_FALSE(none.IsValid());
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_FALSE(none.GetRow(0));
    EXPECT_FALSE(none.GetFieldValue(0, v));
}
