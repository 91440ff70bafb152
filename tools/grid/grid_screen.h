#pragma once
// The interactive grid: the platform's grid component over a provider object, driven by keys from
// the terminal and painted after each one. Errors the module raises are shown in the message pane
// and the grid stays on its last good page. Borrows the terminal and the provider object, which must
// outlive it.

#include <memory>
#include <string>

#include "platform/grid_component/grid_component.h"
#include "platform/runtime/script_object.h"
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
    const std::string& error() const { return error_; }

private:
    // Makes a grid whose page fits the terminal and positions it on key (the top when empty).
    bool Rebuild(const CValue& key);
    // One key's action; false when the key quits.
    bool Handle(const Terminal::Key& key);
    void MoveUp();
    void MoveDown();
    void PageDown();
    void PageUp();
    void Search();
    void ClearSearch();
    void RefreshCurrent();
    // Takes the host's new message-window lines and the module's errors into the pane; true when
    // there was an error.
    bool CollectMessages();
    // After an action: gathers the module's messages and errors, and returns to the last good page
    // when the action left none.
    void Settle(const CValue& top_key);
    void Paint();
    int RowCount() const { return static_cast<int>(grid_->Rows().size()); }
    // The current column's name in the host's code page.
    std::string ColumnName() const;

    const TablePlan& plan_;
    ScriptObject& provider_;
    Terminal& terminal_;
    ScreenPainter painter_;
    std::unique_ptr<grid_component::Grid> grid_;
    int page_size_ = 1;
    int current_row_ = 0;     // index among the visible rows
    int current_column_ = 0;  // index among the columns shown
    std::string typed_;       // the search text as typed, UTF-8
    std::string filter_;      // the lower bound the dynamic provider holds now, CP1251
    std::string message_;     // the last message for the pane, UTF-8
    std::size_t lines_seen_ = 0;  // host message-window lines already shown
    long last_action_ms_ = 0;     // how long the last action took
    std::string error_;
};

}  // namespace grid_tool
