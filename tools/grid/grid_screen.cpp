#include "tools/grid/grid_screen.h"

#include <curses.h>

#include <algorithm>
#include <chrono>
#include <optional>

#include "platform/grid_component/text_table.h"
#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"
#include "tools/session/stop_signals.h"

namespace grid_tool {

namespace {

using grid_component::ColumnNumbers;

constexpr int kEscape = 27;
constexpr int kDelete = 127;  // what most terminals send for Backspace
constexpr int kCtrlH = 8;
// The dynamic provider's lower bound of its range.
constexpr cp1251::Literal kFilterFrom{"ФильтрС"};

void PopCharacter(std::string& utf8) {
    while (!utf8.empty() && (static_cast<unsigned char>(utf8.back()) & 0xC0) == 0x80) utf8.pop_back();
    if (!utf8.empty()) utf8.pop_back();
}

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

}  // namespace

GridScreen::GridScreen(const TablePlan& plan, ScriptObject& provider, Terminal& terminal)
    : plan_(plan), provider_(provider), terminal_(terminal) {}

bool GridScreen::Rebuild(const CValue& key) {
    page_size_ = std::max(terminal_.Lines() - kChromeLines, 1);
    // The old grid lets go of the provider before the new one takes it.
    grid_.reset();
    grid_ = std::make_unique<grid_component::Grid>(page_size_);
    if (!grid_->Attach(provider_.value())) {
        error_ = "the provider offers no grid interfaces";
        return false;
    }
    if (key.GetKind() == CValue::Kind::Empty || !grid_->GoToKey(key)) grid_->Home();
    current_row_ = std::clamp(current_row_, 0, std::max(RowCount() - 1, 0));
    painter_.Reset();
    return true;
}

bool GridScreen::Run() {
    if (!Rebuild(CValue())) return false;
    Settle(CValue());
    Paint();
    while (tools::g_stop_signal == 0) {
        const Terminal::Key key = terminal_.Read();
        if (key.kind == Terminal::Key::Kind::None) continue;
        const CValue top_key = RowCount() > 0 ? grid_->RowKey(0) : CValue();
        const auto started = std::chrono::steady_clock::now();
        message_.clear();  // the pane tells what the last key did
        if (!Handle(key)) return true;
        last_action_ms_ = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                std::chrono::steady_clock::now() - started)
                                                .count());
        Settle(top_key);
        Paint();
    }
    return true;
}

bool GridScreen::Handle(const Terminal::Key& key) {
    if (key.kind == Terminal::Key::Kind::Char) {
        const int c = key.code;
        if (c == kEscape) {
            ClearSearch();
        } else if (c == kDelete || c == kCtrlH) {
            if (typed_.empty()) return true;
            PopCharacter(typed_);
            if (typed_.empty()) ClearSearch();
            else Search();
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
    else if (k == KEY_F(5)) RefreshCurrent();
    else if (k == KEY_BACKSPACE) return Handle({Terminal::Key::Kind::Char, kDelete});
    else if (k == KEY_RESIZE) Rebuild(RowCount() > 0 ? grid_->RowKey(0) : CValue());
    return true;
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
    provider_.Set(kFilterFrom.c_str(), ScriptObject::Text(*text));
    if (grid_->Home()) {
        filter_ = *text;
        current_row_ = 0;
        message_.clear();
        return;
    }
    if (!host_errors::Raised().empty()) return;  // Settle shows the error and returns to the last page
    message_ = "no " + plan_.tag + " at or after \"" + typed_ + "\"";
    provider_.Set(kFilterFrom.c_str(), ScriptObject::Text(filter_));
    grid_->Home();
    current_row_ = 0;
}

void GridScreen::ClearSearch() {
    typed_.clear();
    message_.clear();
    if (!plan_.dynamic || filter_.empty()) return;
    provider_.Set(kFilterFrom.c_str(), ScriptObject::Text(std::string()));
    filter_.clear();
    grid_->Home();
    current_row_ = 0;
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

    std::string status = (plan_.dynamic ? "dynamic" : "static") + std::string(" · ") + plan_.table;
    if (!plan_.tag.empty()) status += " · tag " + plan_.tag;
    if (RowCount() > 0) {
        // The dynamic provider gives no key values of its own: the key column of the row says it.
        ::CDataRow& row = *rows[static_cast<std::size_t>(current_row_)];
        const int key_column = row.LookupFieldIndex(cp1251::FromUtf8(plan_.key).c_str());
        CString key;
        if (key_column >= 0) status += " · " + plan_.key + " " + cp1251::ToUtf8(row.FormatField(key_column, key).view());
    }
    int count = 0;
    if (grid_->RowCount(count)) status += " · " + std::to_string(count) + " rows";
    status += " · " + std::to_string(last_action_ms_) + " ms";
    if (!typed_.empty()) status += (plan_.dynamic ? " · from \"" : " · find \"") + typed_ + "\"";
    text.status = status;
    CollectMessages();  // reading the key or the count may have raised an error too

    text.pane.push_back(message_);
    const std::string& host_status = GetBkEndUI()->StatusText();
    text.pane.push_back(host_status.empty() ? "↑↓ PgUp PgDn Home End ←→ · type to search · Esc clears · F5 refresh · q/F10 quits"
                                            : "» " + cp1251::ToUtf8(host_status));
    painter_.Paint(text, terminal_.Lines(), terminal_.Columns());
}

}  // namespace grid_tool
