#pragma once
// The interactive grid: the platform's grid component over a provider object, driven by keys from
// the terminal and painted after each one. Errors the module raises are shown in the message pane
// and the grid stays on its last good page. Borrows the terminal and the provider object, which must
// outlive it.

#include <memory>
#include <string>

#include "platform/grid_component/grid_component.h"
#include "platform/runtime/script_object.h"
#include "tools/grid/line_prompt.h"
#include "tools/grid/screen_painter.h"
#include "tools/grid/table_plan.h"
#include "tools/grid/terminal.h"

namespace grid_tool {

class GridScreen {
public:
    GridScreen(const TablePlan& plan, ScriptObject& provider, Terminal& terminal);
    // Shows the first page and answers keys until the user quits or a stop signal arrives.
    // false, with the reason in error(), when the provider offers no grid interfaces.
    bool Run();
    // Run in two steps, for callers that drive the screen themselves: Start shows the first page
    // (false as Run); Step waits for one key, acts and repaints, and is false once the user quits.
    bool Start();
    bool Step();
    const std::string& error() const { return error_; }

private:
    // What the question in the pane is for.
    enum class Asking { Key, RangeFrom, RangeTo };

    // Makes a grid whose page fits the terminal, on the provider's first rows.
    bool Open();
    // Fits the page to the terminal's new size.
    void Resize();
    int PageSizeForTerminal() const;
    // One key's action; false when the key quits.
    bool Handle(const Terminal::Key& key);
    void Answer(int character);
    void MoveUp();
    void MoveDown();
    void PageDown();
    void PageUp();
    void Search();
    void ClearSearch();
    void GoToKey(const std::string& typed);
    void SetRange(const std::string& from, const std::string& to);
    // Sets the dynamic provider's range and shows its top; false, with the old range back, when
    // the range holds no row.
    bool ShowRange(const std::string& from, const std::string& to);
    void RefreshCurrent();
    void Reload();
    // Takes the host's new message-window lines and the module's errors into the pane; true when
    // there was an error.
    bool CollectMessages();
    // After an action: gathers the module's messages and errors, and returns to the last good page
    // when the action left none.
    void Settle(const CValue& top_key);
    void Paint();
    std::string StatusLine();
    int RowCount() const { return static_cast<int>(grid_->Rows().size()); }
    // The current column's name in the host's code page.
    std::string ColumnName() const;
    // The key column's number in the rows, or -1.
    int KeyColumn() const;

    const TablePlan& plan_;
    ScriptObject& provider_;
    Terminal& terminal_;
    ScreenPainter painter_;
    LinePrompt prompt_;
    Asking asking_ = Asking::Key;
    std::unique_ptr<grid_component::Grid> grid_;
    int page_size_ = 1;
    int current_row_ = 0;     // index among the visible rows
    int current_column_ = 0;  // index among the columns shown
    std::string typed_;       // the search text as typed, UTF-8
    std::string from_;        // the range's bounds the dynamic provider holds now, CP1251
    std::string to_;
    std::string range_from_;  // the range as last set with the range key, CP1251; typing starts
    std::string range_to_;    // from the typed text instead of range_from_
    std::string asked_from_;  // the lower bound answered while the upper one is asked, UTF-8
    std::string message_;     // the last message for the pane, UTF-8
    std::size_t lines_seen_ = 0;  // host message-window lines already shown
    long last_action_ms_ = 0;     // how long the last action took
    std::string error_;
};

}  // namespace grid_tool
