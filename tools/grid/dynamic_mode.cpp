#include "tools/grid/dynamic_mode.h"

#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"
#include "tools/i18n/locale_forms.h"
#include "tools/i18n/tool_text.h"

namespace grid_tool {

namespace {

using tool_text::_;
using tool_text::Fill;

// The dynamic provider's range of index values.
constexpr cp1251::Literal kFilterFrom{"ФильтрС"};
constexpr cp1251::Literal kFilterTo{"ФильтрПо"};

}  // namespace

void DynamicMode::Search(ScreenState& state, const std::string& text) {
    if (ShowRange(state, text, range_to_)) return;
    if (!host_errors::Raised().empty()) return;  // the screen shows the error
    state.message = range_to_.empty() ? Fill(_("no %s at or after \"%s\""), {plan_.tag, state.typed})
                                      : Fill(_("no %s at or after \"%s\" up to %s"),
                                             {plan_.tag, state.typed, Quoted(range_to_)});
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

bool DynamicMode::StartAt(ScreenState& state, const std::string& value) {
    if (!from_.empty() || !to_.empty()) {
        state.message = Fill(_("a percentage is of the whole of %s: Esc or F4 clears the range first"), {plan_.tag});
        return false;
    }
    // The first page is read with the value as the lower bound; the bound is then taken off again, so
    // paging from the rows read walks on in both directions over the whole tag.
    provider_.Set(kFilterFrom.c_str(), ScriptObject::Text(value));
    const bool shown = host_errors::Raised().empty() && state.grid->Home();
    provider_.Set(kFilterFrom.c_str(), ScriptObject::Text(from_));
    if (!shown) {
        if (state.RowCount() == 0 && host_errors::Raised().empty()) state.grid->Home();
        return false;
    }
    state.current_row = 0;
    return true;
}

void DynamicMode::SetRange(ScreenState& state, const std::string& from, const std::string& to) {
    const auto low = cp1251::TryFromUtf8(from);
    const auto high = cp1251::TryFromUtf8(to);
    if (!low || !high) {
        state.message = _("only Russian and Latin letters, digits and signs can bound a range");
        return;
    }
    state.typed.clear();
    if (ShowRange(state, *low, *high)) {
        range_from_ = *low;
        range_to_ = *high;
        state.message = low->empty() && high->empty()
                            ? Fill(_("the whole of %s"), {plan_.tag})
                            : Fill(_("%s from %s to %s"), {plan_.tag, Quoted(*low), Quoted(*high)});
        return;
    }
    if (!host_errors::Raised().empty()) return;
    state.message =
        Fill(_("no %s from %s to %s: the range stays as it was"), {plan_.tag, Quoted(*low), Quoted(*high)});
}

void DynamicMode::RefreshCurrent(ScreenState& state) {
    // The dynamic provider re-reads the row in place.
    if (!state.grid->RefreshRow(state.current_row)) state.message = _("the current row could not be read again");
}

void DynamicMode::Ask(LinePrompt& prompt) {
    asking_to_ = false;
    prompt.Ask(Fill(_("%s from: "), {plan_.tag}), cp1251::ToUtf8(range_from_));
}

void DynamicMode::Answered(ScreenState& state, LinePrompt& prompt) {
    if (asking_to_) {
        SetRange(state, asked_from_, prompt.answer());
        return;
    }
    asked_from_ = prompt.answer();
    asking_to_ = true;
    prompt.Ask(Fill(_("%s from \"%s\" to: "), {plan_.tag, asked_from_}), cp1251::ToUtf8(range_to_));
}

std::string DynamicMode::Place(const ScreenState&, int count) const {
    return Fill(tool_text::Plural("%s row", "%s rows", count < 0 ? 0 : count), {tool_text::Grouped(count)});
}

std::string DynamicMode::Filter(const ScreenState& state) const {
    if (!state.typed.empty())
        return " · " + (to_.empty() ? Fill(_("from \"%s\""), {state.typed})
                                    : Fill(_("from \"%s\" to %s"), {state.typed, Quoted(to_)}));
    if (from_.empty() && to_.empty()) return std::string();
    if (to_.empty()) return " · " + Fill(_("range from %s"), {Quoted(from_)});
    if (from_.empty()) return " · " + Fill(_("range to %s"), {Quoted(to_)});
    return " · " + Fill(_("range from %s to %s"), {Quoted(from_), Quoted(to_)});
}

}  // namespace grid_tool
