#pragma once
// Paints the grid's screen on the curses standard screen: a header of column names, the visible rows
// (texts in the host's CP1251, shown as UTF-8, each cut to its column with an ellipsis, numbers to the
// right and never cut: '#' signs when too wide), the current row highlighted, a scrollbar beside them
// when the row's place is known, a status line and a message pane at the bottom. The columns'
// widths and alignment come with the text (column_shapes.h keeps them while paging); the columns
// scroll sideways to keep the current one in view.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace grid_tool {

inline constexpr int kPaneLines = 2;                 // the message pane at the bottom
inline constexpr int kChromeLines = 2 + kPaneLines;  // header, status line and the pane

struct ScreenText {
    std::vector<std::string> names;               // column names, CP1251
    std::vector<std::vector<std::string>> cells;  // visible rows, top to bottom, CP1251, as shown
    std::vector<std::size_t> widths;              // screen columns of each column, at least one
    std::vector<bool> right_aligned;              // which columns are numbers, aligned to the right
    int current_row = 0;
    int current_column = 0;
    std::string status;             // UTF-8
    std::vector<std::string> pane;  // UTF-8, the most recent last
    // The current row's place in the tag's order (0 to 1): a scrollbar beside the rows shows it.
    std::optional<double> place;
};

// The scrollbar's track, when a place is shown: the rightmost screen column beside the rows.
struct ScrollbarTrack {
    int x = 0;       // its screen column
    int top = 1;     // its first line
    int height = 0;  // its lines; 0 when there is no room
};
ScrollbarTrack TrackFor(int lines, int columns);
// The line of the track where a place's thumb stands, and the place a line of the track means.
int ThumbLine(const ScrollbarTrack& track, double place);
double PlaceOfLine(const ScrollbarTrack& track, int y);

class ScreenPainter {
public:
    // Requires: a width and an alignment for every name.
    void Paint(const ScreenText& text, int lines, int columns);

private:
    // Scrolls sideways so that the current column is in view.
    void ScrollTo(int current, int columns);
    void DrawRow(int y, const std::vector<std::string>& values, bool header, int columns) const;
    void DrawHeader(const ScreenText& text, int current, int columns) const;
    void DrawRows(const ScreenText& text, int lines, int columns) const;
    // The track beside the rows, with its thumb at the place.
    void DrawScrollbar(double place, int lines, int columns) const;
    // The status line and the message pane.
    void DrawFooter(const ScreenText& text, int lines, int columns) const;

    std::vector<std::size_t> widths_;  // the widths of the text being painted
    std::vector<bool> numeric_;        // its alignments
    int first_column_ = 0;             // the leftmost column shown
};

// Every text is painted through terminal_text (tools/terminal_text/showable_text.h): controls and
// direction marks show as one-column stand-ins, and widths are screen columns, so a cell never
// moves the cursor and every column starts at the same screen column on every row.
// A CP1251 cell as exactly width columns of UTF-8: padded, numbers to the right, a text too wide cut
// with an ellipsis and a number or date too wide as '#' signs (tools/terminal_text/cell_fit.h); a NULL
// cell (tools::kNullCell) as the sign "∅".
std::string FitCell(const std::string& cp1251_text, std::size_t width, bool right_align);
// A CP1251 column name as exactly width columns: cut with an ellipsis, whatever it reads as.
std::string FitName(const std::string& cp1251_name, std::size_t width);
// One painted line of the rows (or of their header, names): the columns from first on, each fitted
// to its width and separated by " │ ", in at most columns screen columns. The column the screen's
// edge crosses is fitted to the room left, so that it too is whole, marked or cut with an ellipsis.
std::string RowLine(const std::vector<std::string>& values, const std::vector<std::size_t>& widths,
                    const std::vector<bool>& right_aligned, std::size_t first, std::size_t columns, bool header);
// A UTF-8 line cut to at most width columns.
std::string FitLine(const std::string& utf8, std::size_t width);
// The status line (UTF-8 sections joined by " · ") in at most width columns: whole sections and " …"
// when it is too wide, cut with an ellipsis only when its first section alone is.
std::string FitStatus(const std::string& utf8, std::size_t width);
// The columns a CP1251 cell takes once shown.
std::size_t CellWidth(const std::string& cp1251_text);
// Whether a CP1251 cell reads as a number (digits with an optional sign and decimal part).
bool LooksNumeric(const std::string& text);

}  // namespace grid_tool
