// A painted line of the grid's rows: a number that its column, or the screen's right edge, leaves too
// little room for shows as '#' signs, never as digits of another number; a text there keeps its start
// and an ellipsis; names in the header are cut as texts. A status line too wide loses whole sections.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text/cp1251.h"
#include "tools/grid/screen_painter.h"

namespace grid_tool {
namespace {

const std::vector<std::size_t> kWidths = {3, 10, 7};
const std::vector<bool> kNumbers = {true, false, true};

std::string Line(const std::vector<std::string>& utf8_values, std::size_t columns, bool header = false,
                 std::size_t first = 0) {
    std::vector<std::string> values;
    for (const std::string& value : utf8_values) values.push_back(cp1251::FromUtf8(value));
    return RowLine(values, kWidths, kNumbers, first, columns, header);
}

TEST(GridRowLine, ANumberCutByTheRightEdgeShowsAsHashSigns) {
    const std::vector<std::string> row = {"7", "Абажур", "18.0000"};
    EXPECT_EQ(Line(row, 80), "  7 │ Абажур     │ 18.0000");
    // The edge leaves the price 4 of its 7 columns: not "18.0".
    EXPECT_EQ(Line(row, 23), "  7 │ Абажур     │ ####");
    EXPECT_EQ(Line({"7", "Абажур", "-5"}, 23), "  7 │ Абажур     │   -5");  // a number that fits the room shows whole
    EXPECT_EQ(Line({"7", "Абажур", "08.12.2026"}, 22), "  7 │ Абажур     │ ###");
    // Only the separator fits, or part of it.
    EXPECT_EQ(Line(row, 19), "  7 │ Абажур     │ ");
    EXPECT_EQ(Line(row, 17), "  7 │ Абажур     ");
}

TEST(GridRowLine, ANumberTooWideForItsColumnShowsAsHashSignsWhereverItStands) {
    EXPECT_EQ(Line({"1234", "Абажур", "-1234567.5"}, 80), "### │ Абажур     │ #######");
    // Scrolled sideways: the first column shown is the second.
    EXPECT_EQ(Line({"1234", "Абажур", "1 234 567"}, 80, false, 1), "Абажур     │ #######");
}

TEST(GridRowLine, TextsAndNamesCutByTheRightEdgeEndInAnEllipsis) {
    EXPECT_EQ(Line({"7", "Абажур болтунишка", "1"}, 80), "  7 │ Абажур бо… │       1");
    EXPECT_EQ(Line({"7", "Абажур болтунишка", "1"}, 12), "  7 │ Абажу…");
    EXPECT_EQ(Line({"id", "name", "price"}, 23, true), "id  │ name       │ pri…");
    EXPECT_EQ(Line({"id", "name", "2024"}, 22, true), "id  │ name       │ 20…");  // a name is no number
}

}  // namespace
}  // namespace grid_tool

namespace grid_tool {
namespace {

TEST(GridStatusLine, AStatusLineTooWideKeepsWholeSectionsAndNeverPartOfAKey) {
    const std::string status = "dynamic · items · tag by_kind · id 63954 · 50 % · 2 ms";
    EXPECT_EQ(FitStatus(status, 80), status);
    // Cut at 38 columns it would read "id 639".
    EXPECT_EQ(FitStatus(status, 38), "dynamic · items · tag by_kind …");
    EXPECT_EQ(FitStatus(status, 42), "dynamic · items · tag by_kind · id 63954 …");
    EXPECT_EQ(FitStatus(status, 5), "dyna…");  // not even the first section fits
}

}  // namespace
}  // namespace grid_tool
