#pragma once
// What the grid's screen does differently for the static and the dynamic provider: the search, the
// question of its Ask key (a key to go to, or a range), refreshing the current row, and the status
// line's place and filter. The screen chooses one mode when it is made (MakeMode) and leaves every
// step that differs to it. A mode borrows the plan and the provider object, which must outlive
// it, and changes the screen's state only inside a call; errors the module raises are left for the
// screen to show.

#include <memory>
#include <string>

#include "platform/runtime/script_object.h"
#include "tools/grid/key_table.h"
#include "tools/grid/line_prompt.h"
#include "tools/grid/screen_state.h"
#include "tools/grid/table_plan.h"

namespace grid_tool {

class ProviderMode {
public:
    virtual ~ProviderMode() = default;

    virtual ProviderKind kind() const = 0;
    // Shows the rows the search text leads to (state.typed, given in the host's code page as text);
    // says so in the pane when there are none, with the grid where it was.
    virtual void Search(ScreenState& state, const std::string& text) = 0;
    // Puts the grid back as it was before the text was typed (state.typed is already empty).
    virtual void ClearSearch(ScreenState& state) = 0;
    // Reads the current row again. Requires: rows shown.
    virtual void RefreshCurrent(ScreenState& state) = 0;
    // Asks the mode's question in the pane.
    virtual void Ask(LinePrompt& prompt) = 0;
    // The prompt's answer was accepted: acts on it, or asks the next question.
    virtual void Answered(ScreenState& state, LinePrompt& prompt) = 0;
    // The status line's parts: its first word (English, translated when shown), the place in the
    // result from the provider's row count ("row 5 of 300", "300 rows"), and the search or range in
    // force (" · find ..."; empty for none), in the user's language.
    virtual const char* name() const = 0;
    virtual std::string Place(const ScreenState& state, int count) const = 0;
    virtual std::string Filter(const ScreenState& state) const = 0;
    // Starts the rows at an index value of the tag (the host's code page), with the range in force
    // kept for paging on either way; false, with the grid where it was and the reason in the pane
    // when the module gave none, when it cannot. The static provider has no tag order to start in.
    virtual bool StartAt(ScreenState&, const std::string&) { return false; }
};

// The mode of the provider the plan chose.
std::unique_ptr<ProviderMode> MakeMode(const TablePlan& plan, ScriptObject& provider);

// A CP1251 text in quotes, as UTF-8.
std::string Quoted(const std::string& cp1251_text);

}  // namespace grid_tool
