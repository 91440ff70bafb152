#include "platform/grid_component/grid_component.h"

#include <algorithm>

#include "addin/context/context_base.h"
#include "platform/grid_component/text_table.h"

namespace grid_component {

Grid::Grid(int page_size) : page_size_(std::max(page_size, 1)), window_(win::CreateMessageWindow(&WindowProc, this)) {}

Grid::~Grid() {
    Detach();
    win::DestroyMessageWindow(window_);
}

bool Grid::Attach(const CValue& provider_object) {
    Detach();
    auto* context = dynamic_cast<Utils1s::Context::CContextBase*>(provider_object.GetContext());
    if (context == nullptr) return false;
    boost::shared_ptr<void> data_provider, v7_provider;
    if (!context->GetInterface(1, data_provider) || !context->GetInterface(2, v7_provider)) return false;
    if (!data_provider || !v7_provider) return false;
    provider_ = boost::static_pointer_cast<CDataProvider>(data_provider);
    v7_provider_ = boost::static_pointer_cast<CV7DataProvider>(v7_provider);
    provider_->m_hWnd = window_;
    return true;
}

void Grid::Detach() {
    Delete(rows_);
    if (provider_) provider_->m_hWnd = nullptr;
    provider_.reset();
    v7_provider_.reset();
}

std::vector<::CDataRow*> Grid::Fetch(const ::CDataRow* from, int count) {
    std::vector<::CDataRow*> rows;
    if (!provider_) return rows;
    provider_->PrepareRows(from, count, 0);
    const int wanted = count < 0 ? -count : count;
    while (static_cast<int>(rows.size()) < wanted) {
        ::CDataRow* row = provider_->NextRow();
        if (row == nullptr) break;
        rows.push_back(row);
    }
    if (count < 0) std::reverse(rows.begin(), rows.end());  // backward runs come nearest first
    return rows;
}

void Grid::Delete(std::vector<::CDataRow*>& rows) {
    for (::CDataRow* row : rows) delete row;
    rows.clear();
}

void Grid::Replace(std::vector<::CDataRow*> rows) {
    Delete(rows_);
    rows_ = std::move(rows);
}

bool Grid::Home() {
    Replace(Fetch(nullptr, page_size_));
    return !rows_.empty();
}

bool Grid::End() {
    Replace(Fetch(nullptr, -page_size_));
    return !rows_.empty();
}

bool Grid::PageDown() {
    if (rows_.empty()) return Home();
    std::vector<::CDataRow*> next = Fetch(rows_.back(), page_size_);
    if (next.empty()) return true;
    // Keep a full page: the new rows, topped up with the last of the old ones.
    const std::size_t keep = std::min(rows_.size(), static_cast<std::size_t>(page_size_) - next.size());
    std::vector<::CDataRow*> page(rows_.end() - static_cast<std::ptrdiff_t>(keep), rows_.end());
    rows_.erase(rows_.end() - static_cast<std::ptrdiff_t>(keep), rows_.end());
    page.insert(page.end(), next.begin(), next.end());
    Replace(std::move(page));
    return true;
}

bool Grid::PageUp() {
    if (rows_.empty()) return End();
    std::vector<::CDataRow*> previous = Fetch(rows_.front(), -page_size_);
    if (previous.empty()) return true;
    const std::size_t keep = std::min(rows_.size(), static_cast<std::size_t>(page_size_) - previous.size());
    previous.insert(previous.end(), rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(keep));
    rows_.erase(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(keep));
    Replace(std::move(previous));
    return true;
}

bool Grid::StartAt(const ::CDataRow* row) {
    // A run never includes its start row, so start from the row before it, or from the top.
    std::vector<::CDataRow*> before = Fetch(row, -1);
    std::vector<::CDataRow*> page = Fetch(before.empty() ? nullptr : before.front(), page_size_);
    Delete(before);
    Replace(std::move(page));
    return !rows_.empty();
}

bool Grid::Refresh() {
    if (rows_.empty()) return Home();
    ::CDataRow* first = rows_.front();
    rows_.erase(rows_.begin());
    provider_->RefreshRow(first);  // the static provider reloads; the dynamic one re-reads the row in place
    const bool shown = StartAt(first);
    delete first;
    return shown;
}

bool Grid::RefreshRow(int visible_index) {
    if (!provider_ || visible_index < 0 || visible_index >= static_cast<int>(rows_.size())) return false;
    return provider_->RefreshRow(rows_[static_cast<std::size_t>(visible_index)]) != FALSE;
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
    ::CDataRow* row = v7_provider_->FindRowByKey(key);
    if (row == nullptr) return false;
    const bool shown = StartAt(row);
    delete row;
    return shown;
}

bool Grid::RowCount(int& count) { return provider_ && provider_->GetRowCount(count) != FALSE; }

CValue Grid::RowKey(int visible_index) {
    CValue key;
    if (v7_provider_ && visible_index >= 0 && visible_index < static_cast<int>(rows_.size()))
        v7_provider_->GetRowKey(rows_[static_cast<std::size_t>(visible_index)], key);
    return key;
}

LRESULT Grid::WindowProc(HWND, UINT message, WPARAM code, LPARAM lparam, void* user) {
    auto* grid = static_cast<Grid*>(user);
    if (message != kGridNotifyMessage || code > 2) return 0;
    ++grid->notifications_[code];
    if (code == kGridNotifySearchMatch && lparam != 0) {
        // The matching row lives only while this message is handled: move the viewport now.
        grid->search_matched_ = grid->StartAt(reinterpret_cast<const ::CDataRow*>(lparam));
    }
    return 1;
}

std::string Grid::Render() const { return RenderTable(rows_); }

}  // namespace grid_component
