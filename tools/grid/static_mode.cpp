#include "tools/grid/static_mode.h"

#include "platform/runtime/module.h"
#include "platform/runtime/numeric.h"
#include "platform/text/cp1251.h"
#include "tools/grid/screen_painter.h"

namespace grid_tool {

void StaticMode::Search(ScreenState& state, const std::string& text) {
    const std::string column = state.ColumnName();
    if (state.grid->Search(column.c_str(), CString(text.c_str()))) {
        state.current_row = 0;
        state.message.clear();
    } else {
        state.message = "nothing in " + cp1251::ToUtf8(column) + " begins with \"" + state.typed + "\"";
    }
}

void StaticMode::RefreshCurrent(ScreenState& state) {
    // The static provider reloads its result: the page is read again from its first row.
    state.grid->Refresh();
    state.ClampRow();
}

void StaticMode::Ask(LinePrompt& prompt) { prompt.Ask("go to " + plan_.key + ": "); }

void StaticMode::Answered(ScreenState& state, LinePrompt& prompt) { GoToKey(state, prompt.answer()); }

void StaticMode::GoToKey(ScreenState& state, const std::string& typed) {
    if (typed.empty()) return;
    const auto text = cp1251::TryFromUtf8(typed);
    if (!text) {
        state.message = "no " + plan_.key + " holds \"" + typed + "\"";
        return;
    }
    // The provider compares keys of one kind: a number key is looked for as a number.
    const bool number_key = state.RowCount() > 0 && state.grid->RowKey(0).GetKind() == CValue::Kind::Number;
    CValue key;
    if (number_key) {
        if (!LooksNumeric(*text)) {
            state.message = plan_.key + " is a number: \"" + typed + "\" is not one";
            return;
        }
        key = CNumeric::Parse(*text);
    } else {
        key = text->c_str();
    }
    if (state.grid->GoToKey(key)) {
        state.current_row = 0;
        return;
    }
    if (!host_errors::Raised().empty()) return;
    state.message = "no row with " + plan_.key + " " + typed;
}

std::string StaticMode::Place(const ScreenState& state, int count) const {
    if (state.RowCount() == 0) return Grouped(count) + " rows";
    // The static provider's rows know their place in the result.
    const ::CDataRow& row = *state.grid->Rows()[static_cast<std::size_t>(state.current_row)];
    return "row " + Grouped(row.GetRowId() + 1LL) + " of " + Grouped(count);
}

std::string StaticMode::Filter(const ScreenState& state) const {
    return state.typed.empty() ? std::string() : " · find \"" + state.typed + "\"";
}

}  // namespace grid_tool
