// The tools' texts: formats filled in order, digits grouped as the locale groups them, ISO dates
// in the locale's form, and the help line that tells how to quit while q is a letter.
#include <gtest/gtest.h>

#include <clocale>

#include "tools/grid/key_table.h"
#include "tools/i18n/locale_forms.h"
#include "tools/i18n/tool_text.h"

namespace {

using tool_text::Fill;

TEST(ToolText, FillPutsTheArgumentsInOrder) {
    EXPECT_EQ(Fill("row %s of %s", {"5", "7"}), "row 5 of 7");
    EXPECT_EQ(Fill("%s%% done", {"40"}), "40% done");
    EXPECT_EQ(Fill("%s and %s", {"one"}), "one and ");  // a missing argument leaves nothing
}

TEST(ToolText, EnglishGroupingUnderTheCLocale) {
    // The C locale groups no digits: the tools' English texts use the comma.
    EXPECT_EQ(tool_text::Grouped(5947), "5,947");
    EXPECT_EQ(tool_text::Grouped(1000000), "1,000,000");
    EXPECT_EQ(tool_text::Grouped(-50000), "-50,000");
    EXPECT_EQ(tool_text::Grouped(999), "999");
    EXPECT_EQ(tool_text::Grouped(0), "0");
}

TEST(ToolText, IsoDatesOnlyRealDaysAndKeptIsoUnderTheCLocale) {
    std::setlocale(LC_TIME, "C");
    EXPECT_EQ(tool_text::LocalDate("2024-02-29"), "2024-02-29");
    EXPECT_FALSE(tool_text::LocalDate("2023-02-29").has_value());
    EXPECT_FALSE(tool_text::LocalDate("2024-13-01").has_value());
    EXPECT_FALSE(tool_text::LocalDate("2024-1-01x").has_value());
    EXPECT_FALSE(tool_text::LocalDate("20240101").has_value());
}

TEST(ToolText, RussianDatesWhereTheLocaleIsThere) {
    if (std::setlocale(LC_TIME, "ru_RU.UTF-8") == nullptr) GTEST_SKIP() << "no ru_RU.UTF-8 locale (scripts/setup makes it)";
    EXPECT_EQ(tool_text::LocalDate("2024-12-31"), "31.12.2024");
    std::setlocale(LC_TIME, "C");
}

TEST(GridHelpLine, WhileTypingItSaysF10QuitsAndNotQ) {
    for (auto kind : {grid_tool::ProviderKind::Static, grid_tool::ProviderKind::Dynamic}) {
        const std::string idle = grid_tool::HelpLine(kind, false);
        const std::string typing = grid_tool::HelpLine(kind, true);
        EXPECT_NE(idle.find("q quits"), std::string::npos) << idle;
        EXPECT_EQ(typing.find("q quits"), std::string::npos) << typing;
        EXPECT_NE(typing.find("F10 quits"), std::string::npos) << typing;
    }
}

}  // namespace
