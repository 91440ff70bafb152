// How the grid shows its columns: widths from the declared sizes kept while paging, learnt widths
// that only grow, numbers with the declared or the most decimals seen, and the tag's column found
// from its expression.
#include <gtest/gtest.h>

#include "platform/text/cp1251.h"
#include "tools/grid/column_shapes.h"
#include "tools/grid/declared_columns.h"

namespace grid_tool {
namespace {

using Page = std::vector<std::vector<std::string>>;

oledb_backend::ColumnInfo Declared(const char* name, const char* type, int size = 0, int scale = 0) {
    return {name, type, size, scale};
}

TEST(ColumnShapes, DeclaredSizesFixTheWidthsWhateverThePageHolds) {
    ColumnShapes shapes({Declared("label", "VARCHAR(12)", 12), Declared("Amount", "NUMERIC(12,2)", 12, 2)});
    const std::vector<std::string> names = {"label", "amount"};
    shapes.Learn(names, Page{{"a", "7"}});
    EXPECT_EQ(shapes.Width(0), 12u);
    EXPECT_EQ(shapes.Width(1), 14u);  // twelve digits, the point and a sign
    shapes.Learn(names, Page{{"abcdefghijkl", "9999999999.99"}});
    EXPECT_EQ(shapes.Width(0), 12u);
    EXPECT_EQ(shapes.Width(1), 14u);
    EXPECT_TRUE(shapes.RightAligned(1));
    EXPECT_FALSE(shapes.RightAligned(0));
}

TEST(ColumnShapes, DeclaredScaleGivesEveryNumberItsDecimals) {
    ColumnShapes shapes({Declared("price", "numeric(12,2)", 12, 2), Declared("qty", "INTEGER")});
    shapes.Learn({"price", "qty"}, Page{{"982527.5", "5"}, {"10", "12"}});
    EXPECT_EQ(shapes.Shown(0, "982527.5"), "982527.50");
    EXPECT_EQ(shapes.Shown(0, "10"), "10.00");
    EXPECT_EQ(shapes.Shown(1, "12"), "12");
}

TEST(ColumnShapes, ColumnDeclaredInCapitalsShapesTheFieldTheLayerNamesInSmallLetters) {
    ColumnShapes shapes({Declared("Цена", "NUMERIC(12,2)", 12, 2), Declared("QTY", "INTEGER")});
    shapes.Learn({cp1251::FromUtf8("цена"), "qty"}, Page{{"18", "5"}});
    EXPECT_EQ(shapes.Shown(0, "18"), "18.00");
    EXPECT_EQ(shapes.Width(0), 14u);
    EXPECT_TRUE(shapes.RightAligned(1));
}

TEST(ColumnShapes, UndeclaredNumbersTakeTheMostDecimalsSeenSoFar) {
    ColumnShapes shapes;
    shapes.Learn({"price"}, Page{{"2797.8"}, {"5"}});
    EXPECT_EQ(shapes.Shown(0, "2797.8"), "2797.8");
    EXPECT_EQ(shapes.Shown(0, "5"), "5.0");
    shapes.Learn({"price"}, Page{{"49391.46"}});
    EXPECT_EQ(shapes.Shown(0, "5"), "5.00");
    EXPECT_EQ(shapes.Width(0), 8u);
}

TEST(ColumnShapes, LearntWidthsOnlyGrowAndStopAtTheLimit) {
    ColumnShapes shapes;
    shapes.Learn({"name"}, Page{{cp1251::FromUtf8("Моравский бурелом")}});
    EXPECT_EQ(shapes.Width(0), 17u);  // Russian letters take one column each, as CP1251 bytes
    shapes.Learn({"name"}, Page{{cp1251::FromUtf8("Ёж")}});
    EXPECT_EQ(shapes.Width(0), 17u);
    shapes.Learn({"name"}, Page{{std::string(40, 'x')}});
    EXPECT_EQ(shapes.Width(0), kMaxColumnWidth);
}

TEST(ColumnShapes, TextAmongNumbersTurnsTheColumnToText) {
    ColumnShapes shapes;
    shapes.Learn({"code"}, Page{{"12"}, {"7.5"}});
    EXPECT_TRUE(shapes.RightAligned(0));
    shapes.Learn({"code"}, Page{{"A-1"}});
    EXPECT_FALSE(shapes.RightAligned(0));
    EXPECT_EQ(shapes.Shown(0, "12"), "12");
}

TEST(ColumnShapes, AnotherSetOfColumnsStartsAnew) {
    ColumnShapes shapes;
    shapes.Learn({"a"}, Page{{std::string(20, 'x')}});
    shapes.Learn({"b"}, Page{{"x"}});
    EXPECT_EQ(shapes.Width(0), 1u);
}

TEST(ColumnShapes, WithDecimalsPadsNumbersOnlyAndNeverCuts) {
    EXPECT_EQ(WithDecimals("-3", 2), "-3.00");
    EXPECT_EQ(WithDecimals("1.2345", 2), "1.2345");
    EXPECT_EQ(WithDecimals("abc", 2), "abc");
    EXPECT_EQ(WithDecimals("", 2), "");
}

TEST(TagColumn, TheWholeExpressionOrTheFirstColumnItNames) {
    const std::vector<std::string> columns = {"id", "Name", "code"};
    EXPECT_EQ(TagColumn("name", columns), "Name");
    EXPECT_EQ(TagColumn("upper(code) || name", columns), "code");
    EXPECT_EQ(TagColumn("rtrim(named)", columns), "");
    EXPECT_EQ(TagColumn("", columns), "");
}

}  // namespace
}  // namespace grid_tool
