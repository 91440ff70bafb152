#include "platform/grid_component/grid_component.h"

#include <algorithm>
#include <iterator>

#include "platform/grid_component/text_table.h"

namespace grid_component {

Grid::Grid(int page_size) : page_size_(std::max(page_size, 1)), window_(win::CreateMessageWindow(&WindowProc, this)) {}

Grid::~Grid() {
    Detach();
    win::DestroyMessageWindow(window_);
}

bool Grid::Attach(const CValue& provider_object) {
    Detach();
    auto provider = GetGridInterface<CDataProvider>(provider_object.GetContext());
    auto v7_provider = GetGridInterface<CV7DataProvider>(provider_object.GetContext());
    if (!provider || !v7_provider) return false;
    provider_ = std::move(provider);
    v7_provider_ = std::move(v7_provider);
    provider_->m_hWnd = window_;
    return true;
}

void Grid::Detach() {
    rows_.clear();
    if (provider_) provider_->m_hWnd = nullptr;
    provider_.reset();
    v7_provider_.reset();
}

std::vector<OwnedRow> Grid::Fetch(const ::CDataRow* from, int count) {
    std::vector<OwnedRow> rows;
    if (!provider_) return rows;
    provider_->PrepareRows(from, count, 0);
    const int wanted = count < 0 ? -count : count;
    while (static_cast<int>(rows.size()) < wanted) {
        OwnedRow row(provider_->NextRow());
        if (!row) break;
        rows.push_back(std::move(row));
    }
    if (count < 0) std::reverse(rows.begin(), rows.end());  // backward runs come nearest first
    return rows;
}

bool Grid::Home() {
    rows_ = Fetch(nullptr, page_size_);
    return !rows_.empty();
}

bool Grid::End() {
    rows_ = Fetch(nullptr, -page_size_);
    return !rows_.empty();
}

bool Grid::PageDown() {
    if (rows_.empty()) return Home();
    std::vector<OwnedRow> next = Fetch(rows_.back().get(), page_size_);
    if (next.empty()) return true;
    // Keep a full page: the last of the old rows, topped up with the new ones.
    const auto keep = static_cast<std::ptrdiff_t>(std::min(rows_.size(), static_cast<std::size_t>(page_size_) - next.size()));
    std::vector<OwnedRow> page(std::make_move_iterator(rows_.end() - keep), std::make_move_iterator(rows_.end()));
    page.insert(page.end(), std::make_move_iterator(next.begin()), std::make_move_iterator(next.end()));
    rows_ = std::move(page);
    return true;
}

bool Grid::PageUp() {
    if (rows_.empty()) return End();
    std::vector<OwnedRow> page = Fetch(rows_.front().get(), -page_size_);
    if (page.empty()) return true;
    const auto keep = static_cast<std::ptrdiff_t>(std::min(rows_.size(), static_cast<std::size_t>(page_size_) - page.size()));
    page.insert(page.end(), std::make_move_iterator(rows_.begin()), std::make_move_iterator(rows_.begin() + keep));
    rows_ = std::move(page);
    return true;
}

bool Grid::StartAt(const ::CDataRow* row) {
    // A run never includes its start row, so start from the row before it, or from the top.
    const std::vector<OwnedRow> before = Fetch(row, -1);
    rows_ = Fetch(before.empty() ? nullptr : before.front().get(), page_size_);
    return !rows_.empty();
}

bool Grid::Refresh() {
    if (rows_.empty()) return Home();
    // Out of the viewport first: StartAt replaces the viewport while the row is still in use.
    const OwnedRow first = std::move(rows_.front());
    rows_.erase(rows_.begin());
    provider_->RefreshRow(first.get());  // the static provider reloads; the dynamic one re-reads the row in place
    return StartAt(first.get());
}

bool Grid::Reread() {
    if (rows_.empty()) return Home();
    const OwnedRow first = std::move(rows_.front());
    rows_.erase(rows_.begin());
    return StartAt(first.get());
}

bool Grid::Resize(int page_size) {
    page_size_ = std::max(page_size, 1);
    return Reread();
}

bool Grid::RefreshRow(int visible_index) {
    if (!provider_ || visible_index < 0 || visible_index >= static_cast<int>(rows_.size())) return false;
    return provider_->RefreshRow(rows_[static_cast<std::size_t>(visible_index)].get()) != FALSE;
}

bool Grid::Search(const char* column_name, const CString& typed_text) {
    if (!provider_) return false;
    search_matched_ = false;
    const SearchRequest request{column_name, 0, &typed_text};
    provider_->QuickSearch(request);  // a match arrives as code 2 while this call runs
    return search_matched_;
}

bool Grid::GoToKey(const CValue& key) {
    if (!v7_provider_) return false;
    const OwnedRow row(v7_provider_->FindRowByKey(key));
    return row && StartAt(row.get());
}

bool Grid::RowCount(int& count) { return provider_ && provider_->GetRowCount(count) != FALSE; }

CValue Grid::RowKey(int visible_index) {
    CValue key;
    if (v7_provider_ && visible_index >= 0 && visible_index < static_cast<int>(rows_.size()))
        v7_provider_->GetRowKey(rows_[static_cast<std::size_t>(visible_index)].get(), key);
    return key;
}

LRESULT Grid::WindowProc(HWND, UINT message, WPARAM code, LPARAM lparam, void* user) {
    auto* grid = static_cast<Grid*>(user);
    if (message != kGridNotifyMessage || code > kGridNotifySearchMatch) return 0;
    ++grid->notifications_[code];
    if (code == kGridNotifySearchMatch && lparam != 0) {
        // The matching row lives only while this message is handled: move the viewport now.
        grid->search_matched_ = grid->StartAt(reinterpret_cast<const ::CDataRow*>(lparam));
    }
    return 1;
}

std::string Grid::Render() const { return RenderTable(rows_); }

}  // namespace grid_component
