// Database numbers as host numbers: every finite REAL is carried as the shortest decimal that reads
// back as it, on both kinds of result; an infinite REAL, which no host number holds, is refused
// with the layer's error instead of becoming another number.

#include <cmath>
#include <limits>

#include "oledb_fixture.h"

namespace {

class RealValues : public OleDbTest {
protected:
    void SetUp() override {
        OleDbTest::SetUp();
        Exec("CREATE TABLE t (id INTEGER PRIMARY KEY, price REAL)");
        Exec("INSERT INTO t VALUES (1, 0.1 + 0.2), (2, 1e300), (3, 1.7976931348623157e308), (4, 5e-324),"
             " (5, 9e999), (6, -9e999), (7, 12.5)");
    }
};

const char* const kShown[] = {"0.30000000000000004", "1e+300", "1.7976931348623157e+308", "5e-324"};

TEST_F(RealValues, DirectResultCarriesEveryFiniteRealExactly) {
    auto result = Direct("SELECT price FROM t WHERE id <= 4 ORDER BY id");
    CValue value;
    for (long row = 0; row < 4; ++row) {
        ASSERT_TRUE(result.GetRow(row));
        ASSERT_TRUE(result.GetFieldValue(0, value));
        EXPECT_EQ(Utf8(value), kShown[row]);
    }
    EXPECT_TRUE(host_errors::Raised().empty());
}

TEST_F(RealValues, SequentialResultCarriesEveryFiniteRealExactly) {
    auto result = Sequential("SELECT price FROM t WHERE id <= 4 ORDER BY id");
    CValue value;
    for (const char* shown : kShown) {
        ASSERT_TRUE(result.GetNextRow());
        ASSERT_TRUE(result.GetFieldValue(0, value));
        EXPECT_EQ(Utf8(value), shown);
    }
}

TEST_F(RealValues, InfiniteRealIsRefusedWithTheLayersErrorOnBothResults) {
    const std::string expected = "Ошибка базы данных: значение поля \"price\" не умещается в число: ";
    auto direct = Direct("SELECT price FROM t WHERE id IN (5, 6, 7) ORDER BY id");
    CValue value;
    value = "before";
    ASSERT_TRUE(direct.GetRow(0));
    EXPECT_FALSE(direct.GetFieldValue(0, value));
    EXPECT_EQ(LastError(), expected + "inf");
    EXPECT_EQ(Utf8(value), "before") << "the value is left as it was";
    ASSERT_TRUE(direct.GetRow(1));
    EXPECT_FALSE(direct.GetFieldValue(0, value));
    EXPECT_EQ(LastError(), expected + "-inf");
    ASSERT_TRUE(direct.GetRow(2));
    EXPECT_TRUE(direct.GetFieldValue(0, value)) << "the result stays usable";
    EXPECT_EQ(Utf8(value), "12.5");

    host_errors::Clear();
    auto sequential = Sequential("SELECT price FROM t WHERE id IN (5, 7) ORDER BY id");
    ASSERT_TRUE(sequential.GetNextRow());
    EXPECT_FALSE(sequential.GetFieldValue(0, value));
    EXPECT_EQ(LastError(), expected + "inf");
    ASSERT_TRUE(sequential.GetNextRow());
    EXPECT_TRUE(sequential.GetFieldValue(0, value));
    EXPECT_EQ(Utf8(value), "12.5");
}

TEST_F(RealValues, InfiniteRealRefusalMayLeaveByThrowing) {
    host_errors::SetRaiseThrows(true);
    auto direct = Direct("SELECT price FROM t WHERE id = 5");
    CValue value;
    ASSERT_TRUE(direct.GetRow(0));
    EXPECT_ANY_THROW(direct.GetFieldValue(0, value));
    host_errors::SetRaiseThrows(false);
    EXPECT_TRUE(direct.GetRow(0)) << "the result survives the error's leaving";
}

}  // namespace
