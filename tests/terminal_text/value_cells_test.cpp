// Cells too narrow for what they hold: a number, date or time is never cut into digits that read as
// another value but shown as '#' signs across the column; a text keeps its ellipsis. In the printed
// page table of the viewer, the demo and a script's grid as well.
#include "tools/terminal_text/cell_fit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text/cp1251.h"
#include "tools/session/page_table.h"

namespace {

using terminal_text::Align;
using terminal_text::FitCell;
using terminal_text::ReadsAsValue;

TEST(ValueCells, NumbersDatesAndTimesReadAsValuesAndTextsDoNot) {
    for (const char* value : {"18.0000", "-1234.56", "+7", "−5", "1 234 567", "1\u00a0234,5", "1'234.5", "0",
                              "08.12.2026", "2026-12-08", "12/08/26", "12:30:45", "2026-12-08 12:30:45.5",
                              "2026-12-08T12:30:45+03"})
        EXPECT_TRUE(ReadsAsValue(value)) << value;
    for (const char* text : {"", "-", "Т-090576", "item 12", "12 шт.", "1.", ".5", "5-", "1  2", "1..2", "12:30 - 13:00",
                             "∅", "1e5", "12%", "N12"})
        EXPECT_FALSE(ReadsAsValue(text)) << text;
}

TEST(ValueCells, AValueTooWideShowsAsHashSignsAndATextAsItsStartAndAnEllipsis) {
    EXPECT_EQ(FitCell("18.0000", 4, Align::kRight), "####");
    EXPECT_EQ(FitCell("-1234.56", 5), "#####");
    EXPECT_EQ(FitCell("1 234 567", 7), "#######");
    EXPECT_EQ(FitCell("08.12.2026", 8), "########");
    EXPECT_EQ(FitCell("Абажур", 4), "Аба…");
    EXPECT_EQ(FitCell("item 12345", 7), "item 1…");
    // What fits shows whole, aligned as asked.
    EXPECT_EQ(FitCell("18.0000", 9, Align::kRight), "  18.0000");
    EXPECT_EQ(FitCell("-5", 4), "-5  ");
    EXPECT_EQ(FitCell("", 0), "");
}

TEST(ValueCells, ThePrintedPageTableMarksANumberTooWideForItsColumn) {
    // Cells in the host's code page, as the grid formats them.
    const std::string table = tools::TableText(
        {"n", "when", "name"},
        {{"123456.75", "2026-12-08 12:30", cp1251::FromUtf8("Абажур болтунишка")}, {"-7", "", cp1251::FromUtf8("Я")}}, 6);
    EXPECT_EQ("n      | when   | name\n"
              "-------+--------+-------\n"
              "###### | ###### | Абажу…\n"
              "-7     |        | Я\n",
              table);
}

}  // namespace
