#pragma once
// The static provider's mode: typing searches the current column, F2 goes to a row by its key, F5
// reloads the result from the page's first row, and the status line gives the current row's place.

#include <string>

#include "tools/grid/provider_mode.h"
#include "tools/i18n/tool_text.h"

namespace grid_tool {

class StaticMode : public ProviderMode {
public:
    explicit StaticMode(const TablePlan& plan) : plan_(plan) {}

    ProviderKind kind() const override { return ProviderKind::Static; }
    void Search(ScreenState& state, const std::string& text) override;
    void ClearSearch(ScreenState&) override {}  // the grid stays where the search took it
    void RefreshCurrent(ScreenState& state) override;
    void Ask(LinePrompt& prompt) override;
    void Answered(ScreenState& state, LinePrompt& prompt) override;
    const char* name() const override { return tool_text::N_("static"); }
    std::string Place(const ScreenState& state, int count) const override;
    std::string Filter(const ScreenState& state) const override;

private:
    // The row with the typed key comes to the top; the pane says why when none does.
    void GoToKey(ScreenState& state, const std::string& typed);

    const TablePlan& plan_;
};

}  // namespace grid_tool
