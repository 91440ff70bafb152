#pragma once
// The grid: an outside component that shows a provider's rows. It takes a provider's script object,
// reaches its grid interfaces through the object's GetInterface (addin/grid/interface_source.h),
// keeps a viewport of visible rows and uses nothing of the provider but those interfaces. It owns
// every row it is given (OwnedRow); it owns a window whose procedure receives the provider's
// WM_USER + 16 notifications.

#include <boost/shared_ptr.hpp>
#include <string>
#include <vector>

#include "addin/grid/interface_source.h"
#include "platform/grid_component/owned_row.h"

namespace grid_component {

class Grid {
public:
    // page_size: how many rows the viewport shows.
    explicit Grid(int page_size);
    ~Grid();
    Grid(const Grid&) = delete;
    Grid& operator=(const Grid&) = delete;

    // Takes the provider from its script object; false when the object offers no grid interfaces.
    bool Attach(const CValue& provider_object);
    void Detach();

    // Viewport moves. Each answers whether the viewport shows any row afterwards.
    bool Home();      // the first rows
    bool End();       // the last rows
    bool PageDown();  // the rows after the last visible row (stays put at the end)
    bool PageUp();    // the rows before the first visible row (stays put at the start)
    // Asks the provider to refresh the first visible row (the static provider reloads), then
    // re-reads the viewport from it.
    bool Refresh();
    // Re-reads the viewport from its first row, as it is now (after the provider was loaded again).
    bool Reread();
    // Shows page_size rows (at least one) from now on, from the same first row.
    bool Resize(int page_size);
    // Asks the provider to re-read one visible row; the provider's answer.
    bool RefreshRow(int visible_index);
    // Type-ahead search in a column; on a match the viewport starts at the matching row.
    bool Search(const char* column_name, const CString& typed_text);
    // Positions the viewport on the row with this key; false when the provider finds none.
    bool GoToKey(const CValue& key);
    // The row count when the provider knows it.
    bool RowCount(int& count);

    // The visible rows, top to bottom; owned by the grid, valid until the viewport moves.
    const std::vector<OwnedRow>& Rows() const { return rows_; }
    // The key of a visible row, through the provider.
    CValue RowKey(int visible_index);
    // The viewport as a text table for the terminal (UTF-8): a header of column names, then rows.
    std::string Render() const;
    // Notifications received, by code 0, 1, 2 (GridNotifyCode).
    int NotificationCount(int code) const { return notifications_[code]; }
    HWND Window() const { return window_; }

private:
    static LRESULT WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, void* user);
    // Rows of a prepared run until the provider says none or |count| rows were read, top to bottom.
    std::vector<OwnedRow> Fetch(const ::CDataRow* from, int count);
    // Makes the viewport start at row (inclusive), which the caller keeps owning.
    bool StartAt(const ::CDataRow* row);

    int page_size_;
    HWND window_;
    boost::shared_ptr<CDataProvider> provider_;
    boost::shared_ptr<CV7DataProvider> v7_provider_;
    std::vector<OwnedRow> rows_;
    int notifications_[kGridNotifySearchMatch + 1] = {0, 0, 0};
    bool search_matched_ = false;
};

}  // namespace grid_component
