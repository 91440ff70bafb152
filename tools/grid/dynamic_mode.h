#pragma once
// The dynamic provider's mode: it offers no search, so typed text becomes the lower bound of the
// tag's range (within the upper bound set with F4); F4 asks for both bounds, F5 re-reads the current
// row in place, and the status line gives the row count and the range in force. The range is set
// through the provider's properties; a range that holds no row is refused and the old one stays.

#include <string>

#include "tools/grid/provider_mode.h"
#include "tools/i18n/tool_text.h"

namespace grid_tool {

class DynamicMode : public ProviderMode {
public:
    DynamicMode(const TablePlan& plan, ScriptObject& provider) : plan_(plan), provider_(provider) {}

    ProviderKind kind() const override { return ProviderKind::Dynamic; }
    void Search(ScreenState& state, const std::string& text) override;
    void ClearSearch(ScreenState& state) override;
    void RefreshCurrent(ScreenState& state) override;
    void Ask(LinePrompt& prompt) override;
    void Answered(ScreenState& state, LinePrompt& prompt) override;
    const char* name() const override { return tool_text::N_("dynamic"); }
    std::string Place(const ScreenState& state, int count) const override;
    std::string Filter(const ScreenState& state) const override;
    // Only over the whole of the tag: a range or a typed start is cleared first.
    bool StartAt(ScreenState& state, const std::string& value) override;

private:
    // Sets the provider's range and shows its top; false, with the old range back, when the range
    // holds no row.
    bool ShowRange(ScreenState& state, const std::string& from, const std::string& to);
    // The range answered with F4 (UTF-8 bounds); said in the pane either way.
    void SetRange(ScreenState& state, const std::string& from, const std::string& to);

    const TablePlan& plan_;
    ScriptObject& provider_;
    std::string from_;          // the range's bounds the provider holds now, CP1251
    std::string to_;
    std::string range_from_;    // the range as last set with F4, CP1251; typing starts from the
    std::string range_to_;      // typed text instead of range_from_
    bool asking_to_ = false;    // the upper bound is asked, after the lower one
    std::string asked_from_;    // the lower bound answered while the upper one is asked, UTF-8
};

}  // namespace grid_tool
