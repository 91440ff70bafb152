#include "tools/grid/grid_screen.h"

#include <curses.h>

#include <algorithm>
#include <chrono>

#include "platform/grid_component/text_table.h"
#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"
#include "tools/i18n/locale_forms.h"
#include "tools/i18n/tool_text.h"
#include "tools/session/row_cells.h"
#include "tools/session/stop_signals.h"

namespace grid_tool {

namespace {

using tool_text::_;
using tool_text::Fill;

constexpr int kDelete = 127;  // Backspace, as the prompt takes it
constexpr int kEnter = '\r';
// The method that loads a provider again.
constexpr cp1251::Literal kGetData{"ПолучитьДанные"};

// The message window's marker picture as the terminal shows it.
const char* MarkerText(int marker) {
    switch (marker) {
        case 5: return "(!) ";
        case 7: return "(!!!) ";
        default: return "(i) ";
    }
}

}  // namespace

GridScreen::GridScreen(const TablePlan& plan, ScriptObject& provider, Terminal& terminal, DeclaredColumns declared)
    : plan_(plan),
      provider_(provider),
      terminal_(terminal),
      mode_(MakeMode(plan, provider)),
      declared_(std::move(declared)),
      shapes_(declared_.columns) {}

bool GridScreen::Open() {
    page_size_ = PageSizeForTerminal();
    state_.grid = std::make_unique<grid_component::Grid>(page_size_);
    if (!state_.grid->Attach(provider_.value())) {
        error_ = _("the provider offers no grid interfaces");
        return false;
    }
    state_.grid->Home();
    if (!declared_.open_on.empty()) state_.current_column = std::max(state_.ColumnIndex(declared_.open_on), 0);
    return true;
}

void GridScreen::Resize() {
    page_size_ = PageSizeForTerminal();
    state_.grid->Resize(page_size_);
    state_.ClampRow();
}

int GridScreen::PageSizeForTerminal() const { return std::max(terminal_.Lines() - kChromeLines, 1); }

bool GridScreen::Run() {
    if (!Start()) return false;
    while (Step()) {
    }
    return true;
}

bool GridScreen::Start() {
    if (!Open()) return false;
    Settle(CValue());
    Paint();
    return true;
}

bool GridScreen::Step() {
    if (tools::g_stop_signal != 0) return false;
    const Terminal::Key key = terminal_.Read();
    if (key.kind == Terminal::Key::Kind::None) return true;
    const CValue top_key = state_.RowCount() > 0 ? state_.grid->RowKey(0) : CValue();
    const auto started = std::chrono::steady_clock::now();
    state_.message.clear();  // the pane tells what the last key did
    if (!Handle(key)) return false;
    last_action_ms_ = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count());
    Settle(top_key);
    Paint();
    return true;
}

bool GridScreen::Handle(const Terminal::Key& key) {
    // A new terminal size arrives as a key, whatever the screen is doing.
    if (key.kind == Terminal::Key::Kind::Function && key.code == KEY_RESIZE) {
        Resize();
        return true;
    }
    if (key.kind == Terminal::Key::Kind::Function && key.code == KEY_MOUSE) {
        if (!prompt_.active()) Mouse(key);
        return true;
    }
    if (prompt_.active()) return Answer(key);
    const KeyBinding* binding = FindBinding(key, mode_->kind(), !state_.typed.empty());
    if (binding == nullptr) return true;
    if (!binding->OfferedBy(mode_->kind())) {
        if (binding->refusal != nullptr) state_.message = binding->refusal(plan_.tag);
        return true;
    }
    return Act(binding->action, key);
}

bool GridScreen::Act(Action action, const Terminal::Key& key) {
    switch (action) {
        case Action::Up: state_.MoveUp(); break;
        case Action::Down: state_.MoveDown(); break;
        case Action::PageUp: state_.PageUp(); break;
        case Action::PageDown: state_.PageDown(); break;
        case Action::Home: state_.Home(); break;
        case Action::End: state_.End(); break;
        case Action::Left: state_.Left(); break;
        case Action::Right: state_.Right(); break;
        case Action::Type: Type(key); break;
        case Action::ClearSearch: ClearSearch(); break;
        case Action::Ask: mode_->Ask(prompt_); break;
        case Action::Jump: AskPlace(); break;
        case Action::Refresh: RefreshCurrent(); break;
        case Action::Reload: Reload(); break;
        case Action::Quit: return false;
    }
    return true;
}

bool GridScreen::Answer(const Terminal::Key& key) {
    if (QuitsWhileAsking(key)) return false;
    int character = 0;
    if (key.kind == Terminal::Key::Kind::Char) character = key.code;
    else if (key.code == KEY_BACKSPACE) character = kDelete;
    else if (key.code == KEY_ENTER) character = kEnter;
    else return true;
    const LinePrompt::Outcome outcome = prompt_.Edit(character);
    if (outcome != LinePrompt::Outcome::Editing && asking_place_) {
        asking_place_ = false;
        if (outcome == LinePrompt::Outcome::Cancelled) return true;
        const auto place = ParsePercent(prompt_.answer());
        if (place) JumpTo(*place);
        else state_.message = Fill(_("not a percentage from 0 to 100: %s"), {prompt_.answer()});
        return true;
    }
    if (outcome == LinePrompt::Outcome::Accepted) mode_->Answered(state_, prompt_);
    return true;
}

void GridScreen::Mouse(const Terminal::Key& key) {
    constexpr int kWheelRows = 3;
    if (key.buttons & BUTTON4_PRESSED) {
        for (int i = 0; i < kWheelRows; ++i) state_.MoveUp();
        return;
    }
    if (key.buttons & BUTTON5_PRESSED) {
        for (int i = 0; i < kWheelRows; ++i) state_.MoveDown();
        return;
    }
    if (!(key.buttons & BUTTON1_PRESSED)) return;
    const ScrollbarTrack track = TrackFor(terminal_.Lines(), terminal_.Columns());
    const bool on_track = key.y >= track.top && key.y < track.top + track.height;
    if (place_ && on_track && key.x == track.x) JumpTo(PlaceOfLine(track, key.y));
    else if (on_track && key.y - track.top < state_.RowCount()) state_.current_row = key.y - track.top;
}

void GridScreen::AskPlace() {
    asking_place_ = true;
    prompt_.Ask(Fill(_("go to per cent of %s: "), {plan_.tag}));
}

void GridScreen::JumpTo(double place) {
    const auto row = gauge_ ? gauge_->RowAt(place) : std::nullopt;
    if (!row) {
        state_.message = Fill(_("no statistics of %s: tags DB refresh TAG samples them (ANALYZE on a server)"),
                              {plan_.tag});
        return;
    }
    const auto text = cp1251::TryFromUtf8(row->value);
    if (text && mode_->StartAt(state_, *text)) {
        // The rows start at the value's first row: within a value many rows share, on to the row there.
        const std::string first = CurrentKey();
        const bool there = row->key.empty() || first.empty() || first == row->key;
        const auto between = there ? std::nullopt : gauge_->RowsBetween(first, *row);
        if (between && *between > 0) state_.SkipDown(*between, page_size_);
        return;
    }
    if (host_errors::Raised().empty() && state_.message.empty())
        state_.message = Fill(_("no row of %s at %s"), {plan_.tag, "\"" + row->value + "\""});
}

std::string GridScreen::CurrentKey() {
    if (state_.RowCount() == 0) return std::string();
    // The dynamic provider gives no key values of its own: the key column of the row says it.
    ::CDataRow& row = *state_.grid->Rows()[static_cast<std::size_t>(state_.current_row)];
    const int key_column = state_.ColumnNumber(plan_.key);
    if (key_column < 0) return std::string();
    CString key;
    return cp1251::ToUtf8(row.FormatField(key_column, key).view());
}

std::string GridScreen::TypingRefusal() const {
    if (mode_->kind() != ProviderKind::Dynamic || declared_.range_column.empty()) return std::string();
    const std::string column = state_.ColumnName();
    if (column.empty() || column == FieldName(declared_.range_column)) return std::string();
    return Fill(_("the dynamic provider searches only by its tag %s: typing starts there in the column %s, not %s"),
                {plan_.tag, declared_.range_column, cp1251::ToUtf8(column)});
}

void GridScreen::Type(const Terminal::Key& key) {
    if (IsPrintable(key)) {
        if (std::string refusal = TypingRefusal(); !refusal.empty()) {
            state_.message = refusal;
            return;
        }
        cp1251::detail::AppendUtf8(state_.typed, static_cast<char32_t>(key.code));
        Search();
        return;
    }
    // Backspace: with the last character gone the search is cleared.
    if (state_.typed.empty()) return;
    PopCharacter(state_.typed);
    if (state_.typed.empty()) ClearSearch();
    else Search();
}

void GridScreen::Search() {
    const auto text = cp1251::TryFromUtf8(state_.typed);
    if (!text) {
        PopCharacter(state_.typed);
        state_.message = _("only Russian and Latin letters, digits and signs can be searched");
        return;
    }
    mode_->Search(state_, *text);
}

void GridScreen::ClearSearch() {
    state_.typed.clear();
    state_.message.clear();
    mode_->ClearSearch(state_);
}

void GridScreen::RefreshCurrent() {
    if (state_.RowCount() > 0) mode_->RefreshCurrent(state_);
}

void GridScreen::Reload() {
    // The provider runs its query again as the script's load does; the page is read again from its
    // first row, which both providers can start from.
    if (!provider_.Call(kGetData.c_str())) return;
    state_.grid->Reread();
    state_.ClampRow();
    state_.message = _("reloaded");
}

bool GridScreen::CollectMessages() {
    CBkEndUI* ui = GetBkEndUI();
    for (; lines_seen_ < ui->Lines().size(); ++lines_seen_) {
        const MessageLine& line = ui->Lines()[lines_seen_];
        state_.message = MarkerText(line.marker) + cp1251::ToUtf8(line.text);
    }
    if (host_errors::Raised().empty()) return false;
    std::string text = _("error:");
    for (const auto& error : host_errors::Raised()) text += " " + cp1251::ToUtf8(error.text);
    host_errors::Clear();
    state_.message = text;
    return true;
}

void GridScreen::Settle(const CValue& top_key) {
    if (!CollectMessages()) return;
    if (state_.RowCount() > 0) return;
    // The dynamic provider cannot find a row by its key: it goes back to the top of its range.
    if (top_key.GetKind() == CValue::Kind::Empty || !state_.grid->GoToKey(top_key)) state_.grid->Home();
    host_errors::Clear();  // the way back is best effort: the first error is the one to show
    state_.current_row = 0;
}

std::string GridScreen::StatusLine() {
    std::string status = _(mode_->name()) + std::string(" · ") + plan_.table;
    if (!plan_.tag.empty()) status += " · " + Fill(_("tag %s"), {plan_.tag});
    const std::string key = CurrentKey();
    if (!key.empty()) status += " · " + plan_.key + " " + key;
    place_ = gauge_ && !key.empty() ? gauge_->PlaceOf(key) : std::nullopt;
    if (place_) status += " · " + Fill(_("%s %%"), {std::to_string(WholePercent(*place_))});
    int count = 0;
    if (state_.grid->RowCount(count)) status += " · " + mode_->Place(state_, count);
    status += " · " + Fill(_("%s ms"), {tool_text::Grouped(last_action_ms_)});
    return status + mode_->Filter(state_);
}

void GridScreen::FillCells(ScreenText& text) {
    if (state_.grid->Rows().empty()) return;
    // NULL apart from an empty text: the rows' host values tell them (row_cells.h).
    tools::PageCells page = tools::ReadPage(state_.grid->Rows(), provider_.value());
    text.names = std::move(page.names);
    text.cells = std::move(page.cells);
    const int column_count = static_cast<int>(text.names.size());
    shapes_.Learn(text.names, text.cells);
    for (auto& row : text.cells)
        for (std::size_t c = 0; c < row.size(); ++c) row[c] = shapes_.Shown(c, row[c]);
    for (std::size_t c = 0; c < text.names.size(); ++c) {
        text.widths.push_back(shapes_.Width(c));
        text.right_aligned.push_back(shapes_.RightAligned(c));
    }
    state_.current_column = std::clamp(state_.current_column, 0, std::max(column_count - 1, 0));
}

void GridScreen::Paint() {
    ScreenText text;
    FillCells(text);
    state_.ClampRow();
    text.current_row = state_.current_row;
    text.current_column = state_.current_column;
    text.status = StatusLine();
    text.place = place_;
    CollectMessages();  // reading the key or the count may have raised an error too

    text.pane.push_back(prompt_.active() ? prompt_.Line() : state_.message);
    const std::string& host_status = GetBkEndUI()->StatusText();
    const std::string help = HelpLine(mode_->kind(), !state_.typed.empty(), static_cast<std::size_t>(terminal_.Columns()));
    text.pane.push_back(host_status.empty() ? help : "» " + cp1251::ToUtf8(host_status));
    painter_.Paint(text, terminal_.Lines(), terminal_.Columns());
}

}  // namespace grid_tool
