#include "tools/grid/static_mode.h"

#include "platform/runtime/module.h"
#include "platform/runtime/numeric.h"
#include "platform/text/cp1251.h"
#include "tools/grid/screen_painter.h"
#include "tools/i18n/locale_forms.h"
#include "tools/i18n/tool_text.h"

namespace grid_tool {

using tool_text::_;
using tool_text::Fill;
using tool_text::Grouped;

void StaticMode::Search(ScreenState& state, const std::string& text) {
    const std::string column = state.ColumnName();
    if (state.grid->Search(column.c_str(), CString(text.c_str()))) {
        state.current_row = 0;
        state.message.clear();
    } else {
        state.message = Fill(_("nothing in %s begins with \"%s\""), {cp1251::ToUtf8(column), state.typed});
    }
}

void StaticMode::RefreshCurrent(ScreenState& state) {
    // The static provider reloads its result: the page is read again from its first row.
    state.grid->Refresh();
    state.ClampRow();
}

void StaticMode::Ask(LinePrompt& prompt) { prompt.Ask(Fill(_("go to %s: "), {plan_.key})); }

void StaticMode::Answered(ScreenState& state, LinePrompt& prompt) { GoToKey(state, prompt.answer()); }

void StaticMode::GoToKey(ScreenState& state, const std::string& typed) {
    if (typed.empty()) return;
    const auto text = cp1251::TryFromUtf8(typed);
    if (!text) {
        state.message = Fill(_("no %s holds \"%s\""), {plan_.key, typed});
        return;
    }
    // The provider compares keys of one kind: a number key is looked for as a number.
    const bool number_key = state.RowCount() > 0 && state.grid->RowKey(0).GetKind() == CValue::Kind::Number;
    CValue key;
    if (number_key) {
        if (!LooksNumeric(*text)) {
            state.message = Fill(_("%s is a number: \"%s\" is not one"), {plan_.key, typed});
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
    state.message = Fill(_("no row with %s %s"), {plan_.key, typed});
}

std::string StaticMode::Place(const ScreenState& state, int count) const {
    if (state.RowCount() == 0) return Fill(tool_text::Plural("%s row", "%s rows", count < 0 ? 0 : count), {Grouped(count)});
    // The static provider's rows know their place in the result.
    const ::CDataRow& row = *state.grid->Rows()[static_cast<std::size_t>(state.current_row)];
    return Fill(_("row %s of %s"), {Grouped(row.GetRowId() + 1LL), Grouped(count)});
}

std::string StaticMode::Filter(const ScreenState& state) const {
    return state.typed.empty() ? std::string() : " · " + Fill(_("find \"%s\""), {state.typed});
}

}  // namespace grid_tool
