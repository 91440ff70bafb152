#include "tools/session/page_table.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/text/cp1251.h"
#include "tools/terminal_text/showable_text.h"

namespace {

using tools::TableText;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The screen columns at which mark stands in the line.
std::vector<std::size_t> Columns(const std::string& line, char mark) {
    std::vector<std::size_t> columns;
    for (std::size_t at = line.find(mark); at != std::string::npos; at = line.find(mark, at + 1))
        columns.push_back(terminal_text::Width(line.substr(0, at)));
    return columns;
}

TEST(PageTable, OrdinaryRowsPrintAsTheyAlwaysDid) {
    const std::string table = TableText({"id", "name", "note"}, {{"1", cp1251::FromUtf8("Ёжик"), ""}, {"22", "Bee", "x"}});
    EXPECT_EQ("id | name | note\n"
              "---+------+-----\n"
              "1  | Ёжик |\n"
              "22 | Bee  | x\n",
              table);
}

TEST(PageTable, ControlsInCellsKeepEachRowOnOneLineAndEveryColumnInItsPlace) {
    // CR drew a later id over the row's own, BS hid text, LF and TAB broke and shifted cells.
    const std::vector<std::vector<std::string>> cells = {
        {"3", "Date\b\b\b\bEXPIRED", "\r7", "a\tb"},
        {"4", "line\nbreak", "\x1B[2J\x1B]2;t\x07", "\x98\x7F"},
        {"5", "ok", "ok", "ok"},
    };
    const auto lines = Lines(TableText({"id", "a", "b", "c"}, cells));
    ASSERT_EQ(5u, lines.size());
    const auto header = Columns(lines[0], '|');
    ASSERT_EQ(3u, header.size());
    EXPECT_EQ(header, Columns(lines[1], '+'));
    for (std::size_t r = 2; r < lines.size(); ++r) {
        EXPECT_EQ(header, Columns(lines[r], '|')) << lines[r];
        EXPECT_EQ(cells[r - 2][0], lines[r].substr(0, 1));
        EXPECT_EQ(std::string::npos, lines[r].find_first_of(std::string("\r\b\t\x1B\x07\x7F", 6))) << lines[r];
    }
    EXPECT_NE(std::string::npos, lines[2].find("Date␈␈␈␈EXPIRED"));
}

TEST(PageTable, LongCellsAreCutToTheGreatestWidthWithAnEllipsis) {
    const auto lines = Lines(TableText({"n"}, {{std::string(40, 'x')}, {"\r\r\r\r\r\r"}}, 5));
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ("xxxx…", lines[2]);
    EXPECT_EQ("␍␍␍␍…", lines[3]);
}

}  // namespace
