#pragma once
// The interactive grid: the platform's grid component over a provider object, driven by keys from
// the terminal and painted after each one. Keys go through the key table (key_table.h); what the
// static and the dynamic provider do differently is left to the provider's mode (provider_mode.h).
// Errors the module raises are shown in the message pane and the grid stays on its last good page.
// Columns keep their shape while paging (column_shapes.h); the screen opens on the column the
// declared columns name, and in the dynamic provider typing starts a range only in its tag's column.
// Every text it shows is in the user's language (tools/i18n). Borrows the plan, the terminal and the
// provider object, which must outlive it.

#include <memory>
#include <optional>
#include <string>

#include "platform/runtime/script_object.h"
#include "tools/grid/column_shapes.h"
#include "tools/grid/declared_columns.h"
#include "tools/grid/key_table.h"
#include "tools/grid/line_prompt.h"
#include "tools/grid/place_gauge.h"
#include "tools/grid/provider_mode.h"
#include "tools/grid/screen_painter.h"
#include "tools/grid/screen_state.h"
#include "tools/grid/table_plan.h"
#include "tools/grid/terminal.h"

namespace grid_tool {

class GridScreen {
public:
    GridScreen(const TablePlan& plan, ScriptObject& provider, Terminal& terminal,
               DeclaredColumns declared = DeclaredColumns());
    // Shows the first page and answers keys until the user quits or a stop signal arrives.
    // false, with the reason in error(), when the provider offers no grid interfaces.
    bool Run();
    // Run in two steps, for callers that drive the screen themselves: Start shows the first page
    // (false as Run); Step waits for one key, acts and repaints, and is false once the user quits.
    bool Start();
    bool Step();
    const std::string& error() const { return error_; }
    // The gauge of the current row's place in the tag's order (borrowed; null: no place shown).
    void SetGauge(PlaceGauge* gauge) { gauge_ = gauge; }

private:
    // Makes a grid whose page fits the terminal, on the provider's first rows.
    bool Open();
    // Fits the page to the terminal's new size: the page keeps its first row.
    void Resize();
    int PageSizeForTerminal() const;
    // One key's action, found in the key table; false when the key quits.
    bool Handle(const Terminal::Key& key);
    bool Act(Action action, const Terminal::Key& key);
    // A key while the pane asks a question: it takes every key but the quitting ones.
    bool Answer(const Terminal::Key& key);
    // The wheel moves the current row three rows; a press on the scrollbar jumps to its place, on a
    // row makes it current.
    void Mouse(const Terminal::Key& key);
    // Asks for a percentage; the answer starts the rows at the tag's value there.
    void AskPlace();
    void JumpTo(double place);
    // The current row's key as the key column shows it (UTF-8); empty without rows or key column.
    std::string CurrentKey();
    // A printable key adds to the search text, Backspace takes its last character off.
    void Type(const Terminal::Key& key);
    // Why typing cannot search the current column (the dynamic provider's range is its tag's
    // column); empty when it can.
    std::string TypingRefusal() const;
    void Search();
    void ClearSearch();
    void RefreshCurrent();
    void Reload();
    // Takes the host's new message-window lines and the module's errors into the pane; true when
    // there was an error.
    bool CollectMessages();
    // After an action: gathers the module's messages and errors, and returns to the last good page
    // when the action left none.
    void Settle(const CValue& top_key);
    void Paint();
    // The page's names and cells, shaped as the columns show them.
    void FillCells(ScreenText& text);
    std::string StatusLine();

    const TablePlan& plan_;
    ScriptObject& provider_;
    Terminal& terminal_;
    const std::unique_ptr<ProviderMode> mode_;  // what the static and the dynamic provider do differently
    const DeclaredColumns declared_;            // from the catalogue: types, the columns to open and type on
    ColumnShapes shapes_;                       // widths and decimals, kept while paging
    ScreenPainter painter_;
    LinePrompt prompt_;
    ScreenState state_;
    int page_size_ = 1;
    std::size_t lines_seen_ = 0;  // host message-window lines already shown
    long last_action_ms_ = 0;     // how long the last action took
    std::string error_;
    PlaceGauge* gauge_ = nullptr;       // tells the current row's place; null when none is known
    bool asking_place_ = false;         // the prompt asks for a percentage
    std::optional<double> place_;       // the current row's place as last painted
};

}  // namespace grid_tool
