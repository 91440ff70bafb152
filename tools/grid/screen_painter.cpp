#include "tools/grid/screen_painter.h"

#include <curses.h>

#include <algorithm>
#include <cmath>
#include <string_view>

#include "tools/i18n/tool_text.h"
#include "tools/session/row_cells.h"
#include "tools/terminal_text/cell_fit.h"
#include "tools/terminal_text/showable_text.h"

namespace grid_tool {

namespace {

constexpr const char* kSeparator = " │ ";
constexpr std::size_t kSeparatorWidth = 3;

}  // namespace

bool LooksNumeric(const std::string& text) {
    std::size_t i = (!text.empty() && text[0] == '-') ? 1 : 0;
    std::size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            ++digits;
        } else if (text[i] == '.' && !point && digits > 0) {
            point = true;
        } else {
            return false;
        }
    }
    return digits > 0 && text.back() != '.';
}

namespace {
// A NULL shows as its sign, which no text of the host's code page has (row_cells.h).
std::string ShownCell(const std::string& cp1251_text) {
    return tools::IsNullCell(cp1251_text) ? tools::kNullShown : terminal_text::ShowableFromCp1251(cp1251_text);
}
}  // namespace

std::string FitCell(const std::string& cp1251_text, std::size_t width, bool right_align) {
    return terminal_text::FitCell(ShownCell(cp1251_text), width,
                                  right_align ? terminal_text::Align::kRight : terminal_text::Align::kLeft);
}

std::string FitName(const std::string& cp1251_name, std::size_t width) {
    return terminal_text::Fit(terminal_text::ShowableFromCp1251(cp1251_name), width);
}

std::string RowLine(const std::vector<std::string>& values, const std::vector<std::size_t>& widths,
                    const std::vector<bool>& right_aligned, std::size_t first, std::size_t columns, bool header) {
    std::string line;
    std::size_t room = columns;
    for (std::size_t c = first; c < widths.size() && room > 0; ++c) {
        if (c > first) {
            const std::size_t gap = std::min(kSeparatorWidth, room);
            line += terminal_text::Cut(kSeparator, gap);
            room -= gap;
            if (room == 0) break;
        }
        // The column the edge crosses shows in the room left, as a column that narrow would.
        const std::size_t width = std::min(widths[c], room);
        const std::string value = c < values.size() ? values[c] : std::string();
        line += header ? FitName(value, width) : FitCell(value, width, c < right_aligned.size() && right_aligned[c]);
        room -= width;
    }
    return line;
}

std::string FitLine(const std::string& utf8, std::size_t width) { return terminal_text::Cut(utf8, width); }

std::string FitStatus(const std::string& utf8, std::size_t width) {
    if (terminal_text::Width(utf8) <= width) return terminal_text::Showable(utf8);
    // Whole sections while they and an ellipsis fit: a key or a count is never cut into another.
    constexpr std::string_view kSection = " · ";
    std::size_t kept = 0;
    for (std::size_t end = utf8.find(kSection); end != std::string::npos; end = utf8.find(kSection, end + 1)) {
        if (terminal_text::Width(std::string_view(utf8).substr(0, end)) + 2 > width) break;
        kept = end;
    }
    if (kept == 0) return terminal_text::Fit(utf8, width);
    return terminal_text::Showable(utf8.substr(0, kept)) + " …";
}

std::size_t CellWidth(const std::string& cp1251_text) {
    return terminal_text::Width(ShownCell(cp1251_text));
}

void ScreenPainter::ScrollTo(int current, int columns) {
    // The current column fits, with as many before it as fit too.
    if (current < first_column_) first_column_ = current;
    auto span = [&](int from, int to) {
        std::size_t total = 0;
        for (int c = from; c <= to; ++c) total += widths_[static_cast<std::size_t>(c)] + (c > from ? kSeparatorWidth : 0);
        return total;
    };
    while (first_column_ < current && span(first_column_, current) > static_cast<std::size_t>(columns)) ++first_column_;
    if (first_column_ >= static_cast<int>(widths_.size())) first_column_ = 0;
}

void ScreenPainter::DrawRow(int y, const std::vector<std::string>& values, bool header, int columns) const {
    const std::string line = RowLine(values, widths_, numeric_, static_cast<std::size_t>(first_column_),
                                     static_cast<std::size_t>(std::max(columns, 0)), header);
    mvaddstr(y, 0, line.c_str());
}

void ScreenPainter::DrawHeader(const ScreenText& text, int current, int columns) const {
    attron(A_BOLD | A_UNDERLINE);
    DrawRow(0, text.names, true, columns);
    attroff(A_BOLD | A_UNDERLINE);
    // The current column's name stands out in the header.
    if (text.names.empty()) return;
    int x = 0;
    for (int c = first_column_; c < current; ++c) x += static_cast<int>(widths_[static_cast<std::size_t>(c)] + kSeparatorWidth);
    if (x >= columns) return;
    attron(A_BOLD | A_REVERSE);
    const std::size_t width = std::min(widths_[static_cast<std::size_t>(current)], static_cast<std::size_t>(columns - x));
    mvaddstr(0, x, FitName(text.names[static_cast<std::size_t>(current)], width).c_str());
    attroff(A_BOLD | A_REVERSE);
}

void ScreenPainter::DrawRows(const ScreenText& text, int lines, int columns) const {
    const int rows_shown = std::max(lines - kChromeLines, 0);
    if (text.cells.empty()) mvaddstr(1, 0, FitLine(tool_text::_("(no rows)"), static_cast<std::size_t>(columns)).c_str());
    for (int r = 0; r < rows_shown && r < static_cast<int>(text.cells.size()); ++r) {
        const bool highlighted = r == text.current_row;
        if (highlighted) attron(A_REVERSE);
        if (highlighted) mvhline(1 + r, 0, ' ', columns);
        DrawRow(1 + r, text.cells[static_cast<std::size_t>(r)], false, columns);
        if (highlighted) attroff(A_REVERSE);
    }
}

void ScreenPainter::DrawFooter(const ScreenText& text, int lines, int columns) const {
    const int status_y = lines - 1 - kPaneLines;
    if (status_y > 0) {
        attron(A_REVERSE);
        mvhline(status_y, 0, ' ', columns);
        mvaddstr(status_y, 0, FitStatus(text.status, static_cast<std::size_t>(columns)).c_str());
        attroff(A_REVERSE);
    }
    const std::size_t first_pane = text.pane.size() > kPaneLines ? text.pane.size() - kPaneLines : 0;
    for (std::size_t i = first_pane; i < text.pane.size(); ++i) {
        const int y = lines - kPaneLines + static_cast<int>(i - first_pane);
        if (y > status_y) mvaddstr(y, 0, FitLine(text.pane[i], static_cast<std::size_t>(columns)).c_str());
    }
}

ScrollbarTrack TrackFor(int lines, int columns) {
    return ScrollbarTrack{std::max(columns - 1, 0), 1, std::max(lines - kChromeLines, 0)};
}

int ThumbLine(const ScrollbarTrack& track, double place) {
    const double clamped = std::clamp(place, 0.0, 1.0);
    return track.top + static_cast<int>(std::lround(clamped * std::max(track.height - 1, 0)));
}

double PlaceOfLine(const ScrollbarTrack& track, int y) {
    if (track.height < 2) return 0;
    return std::clamp(static_cast<double>(y - track.top) / (track.height - 1), 0.0, 1.0);
}

void ScreenPainter::DrawScrollbar(double place, int lines, int columns) const {
    const ScrollbarTrack track = TrackFor(lines, columns);
    if (track.height == 0 || columns < 2) return;
    const int thumb = ThumbLine(track, place);
    for (int y = track.top; y < track.top + track.height; ++y) mvaddstr(y, track.x, y == thumb ? "█" : "░");
}

void ScreenPainter::Paint(const ScreenText& text, int lines, int columns) {
    erase();
    widths_ = text.widths;
    numeric_ = text.right_aligned;
    // The scrollbar takes the last screen column from the rows and their header.
    const int width = text.place && columns > 1 ? columns - 1 : columns;
    const int current = std::clamp(text.current_column, 0, std::max(static_cast<int>(text.names.size()) - 1, 0));
    ScrollTo(current, width);
    DrawHeader(text, current, width);
    DrawRows(text, lines, width);
    if (text.place) DrawScrollbar(*text.place, lines, columns);
    DrawFooter(text, lines, columns);
    refresh();
}

}  // namespace grid_tool
