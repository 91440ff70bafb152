#include "tools/grid/dynamic_mode.h"

#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"

namespace grid_tool {

namespace {

// The dynamic provider's range of index values.
constexpr cp1251::Literal kFilterFrom{"ФильтрС"};
constexpr cp1251::Literal kFilterTo{"ФильтрПо"};

}  // namespace

void DynamicMode::Search(ScreenState& state, const std::string& text) {
    if (ShowRange(state, text, range_to_)) return;
    if (!host_errors::Raised().empty()) return;  // the screen shows the error
    state.message = "no " + plan_.tag + " at or after \"" + state.typed + "\"" +
                    (range_to_.empty() ? std::string() : " up to " + Quoted(range_to_));
}

void DynamicMode::ClearSearch(ScreenState& state) {
    if (from_ == range_from_) return;
    ShowRange(state, range_from_, range_to_);
}

bool DynamicMode::ShowRange(ScreenState& state, const std::string& from, const std::string& to) {
    provider_.Set(kFilterFrom.c_str(), ScriptObject::Text(from));
    provider_.Set(kFilterTo.c_str(), ScriptObject::Text(to));
    const bool shown = host_errors::Raised().empty() && state.grid->Home();
    if (!shown) {
        // Back to the range that showed rows; the screen then returns to its top when the page is gone.
        provider_.Set(kFilterFrom.c_str(), ScriptObject::Text(from_));
        provider_.Set(kFilterTo.c_str(), ScriptObject::Text(to_));
        if (state.RowCount() == 0 && host_errors::Raised().empty()) state.grid->Home();
        return false;
    }
    from_ = from;
    to_ = to;
    state.current_row = 0;
    return true;
}

void DynamicMode::SetRange(ScreenState& state, const std::string& from, const std::string& to) {
    const auto low = cp1251::TryFromUtf8(from);
    const auto high = cp1251::TryFromUtf8(to);
    if (!low || !high) {
        state.message = "only Russian and Latin letters, digits and signs can bound a range";
        return;
    }
    state.typed.clear();
    if (ShowRange(state, *low, *high)) {
        range_from_ = *low;
        range_to_ = *high;
        state.message = low->empty() && high->empty() ? "the whole of " + plan_.tag
                                                       : plan_.tag + " from " + Quoted(*low) + " to " + Quoted(*high);
        return;
    }
    if (!host_errors::Raised().empty()) return;
    state.message = "no " + plan_.tag + " from " + Quoted(*low) + " to " + Quoted(*high) + ": the range stays as it was";
}

void DynamicMode::RefreshCurrent(ScreenState& state) {
    // The dynamic provider re-reads the row in place.
    if (!state.grid->RefreshRow(state.current_row)) state.message = "the current row could not be read again";
}

void DynamicMode::Ask(LinePrompt& prompt) {
    asking_to_ = false;
    prompt.Ask(plan_.tag + " from: ", cp1251::ToUtf8(range_from_));
}

void DynamicMode::Answered(ScreenState& state, LinePrompt& prompt) {
    if (asking_to_) {
        SetRange(state, asked_from_, prompt.answer());
        return;
    }
    asked_from_ = prompt.answer();
    asking_to_ = true;
    prompt.Ask(plan_.tag + " from \"" + asked_from_ + "\" to: ", cp1251::ToUtf8(range_to_));
}

std::string DynamicMode::Place(const ScreenState&, int count) const { return Grouped(count) + " rows"; }

std::string DynamicMode::Filter(const ScreenState& state) const {
    if (!state.typed.empty()) return " · from \"" + state.typed + "\"" + (to_.empty() ? std::string() : " to " + Quoted(to_));
    if (from_.empty() && to_.empty()) return std::string();
    std::string range = " · range";
    if (!from_.empty()) range += " from " + Quoted(from_);
    if (!to_.empty()) range += " to " + Quoted(to_);
    return range;
}

}  // namespace grid_tool
