#include "tools/grid/grid_screen.h"

#include <curses.h>

#include <algorithm>
#include <chrono>
#include <optional>

#include "platform/grid_component/text_table.h"
#include "platform/runtime/module.h"
#include "platform/runtime/numeric.h"
#include "platform/text/cp1251.h"
#include "tools/session/stop_signals.h"

namespace grid_tool {

namespace {

using grid_component::ColumnNumbers;

constexpr int kEscape = 27;
constexpr int kDelete = 127;  // what most terminals send for Backspace
constexpr int kCtrlH = 8;
constexpr int kCtrlF = 6;   // the range (dynamic)
constexpr int kCtrlG = 7;   // go to a key (static)
constexpr int kCtrlR = 18;  // reload
// The dynamic provider's range of index values, and the method that loads a provider again.
constexpr cp1251::Literal kFilterFrom{"ФильтрС"};
constexpr cp1251::Literal kFilterTo{"ФильтрПо"};
constexpr cp1251::Literal kGetData{"ПолучитьДанные"};

// The message window's marker picture as the terminal shows it.
const char* MarkerText(int marker) {
    switch (marker) {
        case 5: return "(!) ";
        case 7: return "(!!!) ";
        default: return "(i) ";
    }
}

// The index of row among the rows, if it is there (rows keep their identity as the viewport moves).
std::optional<int> IndexOf(const std::vector<grid_component::OwnedRow>& rows, const ::CDataRow* row) {
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].get() == row) return static_cast<int>(i);
    return std::nullopt;
}

// 100000 as "100,000".
std::string Grouped(long long number) {
    std::string digits = std::to_string(number < 0 ? -number : number);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
    return (number < 0 ? "-" : "") + digits;
}

std::string Quoted(const std::string& cp1251_text) { return "\"" + cp1251::ToUtf8(cp1251_text) + "\""; }

}  // namespace

GridScreen::GridScreen(const TablePlan& plan, ScriptObject& provider, Terminal& terminal)
    : plan_(plan), provider_(provider), terminal_(terminal) {}

bool GridScreen::Open() {
    page_size_ = PageSizeForTerminal();
    grid_ = std::make_unique<grid_component::Grid>(page_size_);
    if (!grid_->Attach(provider_.value())) {
        error_ = "the provider offers no grid interfaces";
        return false;
    }
    grid_->Home();
    return true;
}

void GridScreen::Resize() {
    // The page keeps its first row and grows or shrinks below it.
    page_size_ = PageSizeForTerminal();
    grid_->Resize(page_size_);
    current_row_ = std::clamp(current_row_, 0, std::max(RowCount() - 1, 0));
    painter_.Reset();
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
    const CValue top_key = RowCount() > 0 ? grid_->RowKey(0) : CValue();
    const auto started = std::chrono::steady_clock::now();
    message_.clear();  // the pane tells what the last key did
    if (!Handle(key)) return false;
    last_action_ms_ = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count());
    Settle(top_key);
    Paint();
    return true;
}

bool GridScreen::Handle(const Terminal::Key& key) {
    if (prompt_.active()) {
        // A question in the pane takes every key but the quitting ones.
        if (key.kind == Terminal::Key::Kind::Function && key.code == KEY_F(10)) return false;
        if (key.kind == Terminal::Key::Kind::Char) Answer(key.code);
        else if (key.code == KEY_BACKSPACE) Answer(kDelete);
        else if (key.code == KEY_ENTER) Answer('\r');
        else if (key.code == KEY_RESIZE) Resize();
        return true;
    }
    if (key.kind == Terminal::Key::Kind::Char) {
        const int c = key.code;
        if (c == kEscape) {
            ClearSearch();
        } else if (c == kDelete || c == kCtrlH) {
            if (typed_.empty()) return true;
            PopCharacter(typed_);
            if (typed_.empty()) ClearSearch();
            else Search();
        } else if (c == kCtrlG) {
            return Handle({Terminal::Key::Kind::Function, KEY_F(2)});
        } else if (c == kCtrlF) {
            return Handle({Terminal::Key::Kind::Function, KEY_F(4)});
        } else if (c == kCtrlR) {
            Reload();
        } else if (c == 'q' && typed_.empty()) {
            return false;
        } else if (c >= 0x20 && c != kDelete) {
            cp1251::detail::AppendUtf8(typed_, static_cast<char32_t>(c));
            Search();
        }
        return true;
    }
    const int k = key.code;
    if (k == KEY_F(10)) return false;
    if (k == KEY_UP) MoveUp();
    else if (k == KEY_DOWN) MoveDown();
    else if (k == KEY_NPAGE) PageDown();
    else if (k == KEY_PPAGE) PageUp();
    else if (k == KEY_HOME || (k != 0 && k == terminal_.ctrl_home())) {
        grid_->Home();
        current_row_ = 0;
    } else if (k == KEY_END || (k != 0 && k == terminal_.ctrl_end())) {
        grid_->End();
        current_row_ = std::max(RowCount() - 1, 0);
    } else if (k == KEY_LEFT) current_column_ = std::max(current_column_ - 1, 0);
    else if (k == KEY_RIGHT) ++current_column_;  // held to the last column when painted
    else if (k == KEY_F(2)) {
        if (plan_.dynamic) message_ = "the dynamic provider finds no row by its key: F4 sets a range of " + plan_.tag;
        else {
            asking_ = Asking::Key;
            prompt_.Ask("go to " + plan_.key + ": ");
        }
    } else if (k == KEY_F(4)) {
        if (!plan_.dynamic) message_ = "a range needs the dynamic provider (a table with an index tag): type to search";
        else {
            asking_ = Asking::RangeFrom;
            prompt_.Ask(plan_.tag + " from: ", cp1251::ToUtf8(range_from_));
        }
    } else if (k == KEY_F(5)) RefreshCurrent();
    else if (k == KEY_F(6)) Reload();
    else if (k == KEY_BACKSPACE) return Handle({Terminal::Key::Kind::Char, kDelete});
    else if (k == KEY_RESIZE) Resize();
    return true;
}

void GridScreen::Answer(int character) {
    if (prompt_.Edit(character) != LinePrompt::Outcome::Accepted) return;
    switch (asking_) {
        case Asking::Key:
            GoToKey(prompt_.answer());
            break;
        case Asking::RangeFrom:
            asked_from_ = prompt_.answer();
            asking_ = Asking::RangeTo;
            prompt_.Ask(plan_.tag + " from \"" + asked_from_ + "\" to: ", cp1251::ToUtf8(range_to_));
            break;
        case Asking::RangeTo:
            SetRange(asked_from_, prompt_.answer());
            break;
    }
}

void GridScreen::MoveUp() {
    if (current_row_ > 0) {
        --current_row_;
        return;
    }
    if (RowCount() == 0) return;
    const ::CDataRow* first = grid_->Rows().front().get();
    grid_->PageUp();
    current_row_ = std::max(IndexOf(grid_->Rows(), first).value_or(1) - 1, 0);
}

void GridScreen::MoveDown() {
    if (current_row_ + 1 < RowCount()) {
        ++current_row_;
        return;
    }
    if (RowCount() == 0) return;
    const ::CDataRow* last = grid_->Rows().back().get();
    grid_->PageDown();
    current_row_ = std::min(IndexOf(grid_->Rows(), last).value_or(-1) + 1, std::max(RowCount() - 1, 0));
}

void GridScreen::PageDown() {
    const ::CDataRow* last = RowCount() > 0 ? grid_->Rows().back().get() : nullptr;
    grid_->PageDown();
    // At the end the page stays: the current row goes to the last row instead.
    if (RowCount() > 0 && grid_->Rows().back().get() == last) current_row_ = RowCount() - 1;
    current_row_ = std::clamp(current_row_, 0, std::max(RowCount() - 1, 0));
}

void GridScreen::PageUp() {
    const ::CDataRow* first = RowCount() > 0 ? grid_->Rows().front().get() : nullptr;
    grid_->PageUp();
    if (RowCount() > 0 && grid_->Rows().front().get() == first) current_row_ = 0;
    current_row_ = std::clamp(current_row_, 0, std::max(RowCount() - 1, 0));
}

std::string GridScreen::ColumnName() const {
    if (RowCount() == 0) return std::string();
    ::CDataRow& row = *grid_->Rows().front();
    const std::vector<int> numbers = ColumnNumbers(row);
    if (numbers.empty()) return std::string();
    const int index = std::clamp(current_column_, 0, static_cast<int>(numbers.size()) - 1);
    return row.LookupFieldName(numbers[static_cast<std::size_t>(index)]);
}

int GridScreen::KeyColumn() const {
    if (RowCount() == 0) return -1;
    return grid_->Rows().front()->LookupFieldIndex(cp1251::FromUtf8(plan_.key).c_str());
}

void GridScreen::Search() {
    const auto text = cp1251::TryFromUtf8(typed_);
    if (!text) {
        PopCharacter(typed_);
        message_ = "only Russian and Latin letters, digits and signs can be searched";
        return;
    }
    if (!plan_.dynamic) {
        const std::string column = ColumnName();
        if (grid_->Search(column.c_str(), CString(text->c_str()))) {
            current_row_ = 0;
            message_.clear();
        } else {
            message_ = "nothing in " + cp1251::ToUtf8(column) + " begins with \"" + typed_ + "\"";
        }
        return;
    }
    // The dynamic provider offers no search: the typed text becomes the range's lower bound.
    if (ShowRange(*text, range_to_)) return;
    if (!host_errors::Raised().empty()) return;  // Settle shows the error
    message_ = "no " + plan_.tag + " at or after \"" + typed_ + "\"" +
               (range_to_.empty() ? std::string() : " up to " + Quoted(range_to_));
}

void GridScreen::ClearSearch() {
    typed_.clear();
    message_.clear();
    if (!plan_.dynamic || from_ == range_from_) return;
    ShowRange(range_from_, range_to_);
}

bool GridScreen::ShowRange(const std::string& from, const std::string& to) {
    provider_.Set(kFilterFrom.c_str(), ScriptObject::Text(from));
    provider_.Set(kFilterTo.c_str(), ScriptObject::Text(to));
    const bool shown = host_errors::Raised().empty() && grid_->Home();
    if (!shown) {
        // Back to the range that showed rows; Settle then returns to its top when the page is gone.
        provider_.Set(kFilterFrom.c_str(), ScriptObject::Text(from_));
        provider_.Set(kFilterTo.c_str(), ScriptObject::Text(to_));
        if (RowCount() == 0 && host_errors::Raised().empty()) grid_->Home();
        return false;
    }
    from_ = from;
    to_ = to;
    current_row_ = 0;
    return true;
}

void GridScreen::SetRange(const std::string& from, const std::string& to) {
    const auto low = cp1251::TryFromUtf8(from);
    const auto high = cp1251::TryFromUtf8(to);
    if (!low || !high) {
        message_ = "only Russian and Latin letters, digits and signs can bound a range";
        return;
    }
    typed_.clear();
    if (ShowRange(*low, *high)) {
        range_from_ = *low;
        range_to_ = *high;
        message_ = low->empty() && high->empty() ? "the whole of " + plan_.tag
                                                  : plan_.tag + " from " + Quoted(*low) + " to " + Quoted(*high);
        return;
    }
    if (!host_errors::Raised().empty()) return;
    message_ = "no " + plan_.tag + " from " + Quoted(*low) + " to " + Quoted(*high) + ": the range stays as it was";
}

void GridScreen::GoToKey(const std::string& typed) {
    if (typed.empty()) return;
    const auto text = cp1251::TryFromUtf8(typed);
    if (!text) {
        message_ = "no " + plan_.key + " holds \"" + typed + "\"";
        return;
    }
    // The provider compares keys of one kind: a number key is looked for as a number.
    const bool number_key = RowCount() > 0 && grid_->RowKey(0).GetKind() == CValue::Kind::Number;
    CValue key;
    if (number_key) {
        if (!LooksNumeric(*text)) {
            message_ = plan_.key + " is a number: \"" + typed + "\" is not one";
            return;
        }
        key = CNumeric::Parse(*text);
    } else {
        key = text->c_str();
    }
    if (grid_->GoToKey(key)) {
        current_row_ = 0;
        return;
    }
    if (!host_errors::Raised().empty()) return;
    message_ = "no row with " + plan_.key + " " + typed;
}

void GridScreen::RefreshCurrent() {
    if (RowCount() == 0) return;
    if (plan_.dynamic) {
        // The dynamic provider re-reads the row in place.
        if (!grid_->RefreshRow(current_row_)) message_ = "the current row could not be read again";
        return;
    }
    // The static provider reloads its result: the page is read again from its first row.
    grid_->Refresh();
    current_row_ = std::clamp(current_row_, 0, std::max(RowCount() - 1, 0));
}

void GridScreen::Reload() {
    // The provider runs its query again as the script's load does; the page is read again from its
    // first row, which both providers can start from.
    if (!provider_.Call(kGetData.c_str())) return;
    grid_->Reread();
    current_row_ = std::clamp(current_row_, 0, std::max(RowCount() - 1, 0));
    message_ = "reloaded";
}

bool GridScreen::CollectMessages() {
    CBkEndUI* ui = GetBkEndUI();
    for (; lines_seen_ < ui->Lines().size(); ++lines_seen_) {
        const MessageLine& line = ui->Lines()[lines_seen_];
        message_ = MarkerText(line.marker) + cp1251::ToUtf8(line.text);
    }
    if (host_errors::Raised().empty()) return false;
    std::string text = "error:";
    for (const auto& error : host_errors::Raised()) text += " " + cp1251::ToUtf8(error.text);
    host_errors::Clear();
    message_ = text;
    return true;
}

void GridScreen::Settle(const CValue& top_key) {
    if (!CollectMessages()) return;
    if (RowCount() > 0) return;
    // The dynamic provider cannot find a row by its key: it goes back to the top of its range.
    if (top_key.GetKind() == CValue::Kind::Empty || !grid_->GoToKey(top_key)) grid_->Home();
    host_errors::Clear();  // the way back is best effort: the first error is the one to show
    current_row_ = 0;
}

std::string GridScreen::StatusLine() {
    std::string status = (plan_.dynamic ? "dynamic" : "static") + std::string(" · ") + plan_.table;
    if (!plan_.tag.empty()) status += " · tag " + plan_.tag;
    if (RowCount() > 0) {
        // The dynamic provider gives no key values of its own: the key column of the row says it.
        ::CDataRow& row = *grid_->Rows()[static_cast<std::size_t>(current_row_)];
        const int key_column = KeyColumn();
        CString key;
        if (key_column >= 0) status += " · " + plan_.key + " " + cp1251::ToUtf8(row.FormatField(key_column, key).view());
    }
    int count = 0;
    if (grid_->RowCount(count)) {
        // The static provider's rows know their place in the result.
        if (!plan_.dynamic && RowCount() > 0)
            status += " · row " + Grouped(grid_->Rows()[static_cast<std::size_t>(current_row_)]->GetRowId() + 1LL) +
                      " of " + Grouped(count);
        else status += " · " + Grouped(count) + " rows";
    }
    status += " · " + std::to_string(last_action_ms_) + " ms";
    if (!typed_.empty()) {
        status += (plan_.dynamic ? " · from \"" : " · find \"") + typed_ + "\"";
        if (plan_.dynamic && !to_.empty()) status += " to " + Quoted(to_);
    } else if (!from_.empty() || !to_.empty()) {
        status += " · range";
        if (!from_.empty()) status += " from " + Quoted(from_);
        if (!to_.empty()) status += " to " + Quoted(to_);
    }
    return status;
}

void GridScreen::Paint() {
    ScreenText text;
    const auto& rows = grid_->Rows();
    if (!rows.empty()) {
        const std::vector<int> numbers = ColumnNumbers(*rows.front());
        for (int number : numbers) text.names.emplace_back(rows.front()->LookupFieldName(number));
        CString cell;
        for (const auto& row : rows) {
            text.cells.emplace_back();
            for (int number : numbers) text.cells.back().emplace_back(row->FormatField(number, cell).view());
        }
        current_column_ = std::clamp(current_column_, 0, std::max(static_cast<int>(numbers.size()) - 1, 0));
    }
    current_row_ = std::clamp(current_row_, 0, std::max(RowCount() - 1, 0));
    text.current_row = current_row_;
    text.current_column = current_column_;
    text.status = StatusLine();
    CollectMessages();  // reading the key or the count may have raised an error too

    text.pane.push_back(prompt_.active() ? prompt_.Line() : message_);
    const std::string& host_status = GetBkEndUI()->StatusText();
    const char* help = plan_.dynamic ? "↑↓ PgUp/Dn Home/End ←→ · type: start there · F4 range · Esc clears · "
                                       "F5 refresh · F6 reload · q quits"
                                     : "↑↓ PgUp/Dn Home/End ←→ · type: search · F2 go to key · Esc clears · "
                                       "F5 refresh · F6 reload · q quits";
    text.pane.push_back(host_status.empty() ? help : "» " + cp1251::ToUtf8(host_status));
    painter_.Paint(text, terminal_.Lines(), terminal_.Columns());
}

}  // namespace grid_tool
