#pragma once
// The interfaces an outside grid component is built against. The order of the virtual operations,
// their types and CDataProvider's window-handle member are fixed: add nothing, reorder nothing.
// Rows returned by NextRow and FindRowByKey are new objects owned by the caller, who deletes them
// through ::CDataRow's virtual destructor. Everything is inline, so the grid, built apart from the
// module, links against these classes without the module's code.

#include "addin/grid/data_row.h"
#include "addin/grid/search_request.h"
#include "addin/host/platform.h"

// WM_USER + 16: the message a provider sends to the grid window; wParam is one of these codes.
constexpr UINT kGridNotifyMessage = WM_USER + 16;
enum GridNotifyCode : WPARAM {
    kGridNotifyCode0 = 0,
    kGridNotifyCode1 = 1,
    kGridNotifySearchMatch = 2,  // lParam: the matching row, alive only while the message is handled
};

class CDataProvider {
public:
    CDataProvider() : m_hWnd(nullptr) {}
    virtual ~CDataProvider() = default;
    // Sets up the run of rows NextRow hands out: after from (before it when count < 0), at most |count| rows.
    virtual void PrepareRows(const ::CDataRow* from, int count, int reserved) = 0;
    // The next row of the run, owned by the caller; null at its end.
    virtual ::CDataRow* NextRow() = 0;
    // The grid asks for a row it holds to be brought up to date; the row stays the grid's. TRUE when
    // done: the row's values are re-read in place, or all data is reloaded and the row left as it was.
    // FALSE when the row cannot be re-read; the row is then left as it was.
    virtual BOOL RefreshRow(::CDataRow* row) = 0;
    // The grid asks whether two row objects (its own, or the row of a search notification) stand for
    // the same data row, by the provider's row identity; neither row is changed.
    virtual BOOL IsSameRow(const ::CDataRow* a, const ::CDataRow* b) = 0;
    virtual int ReservedQuery1() { return 0; }
    // TRUE with count set when the number of rows is known.
    virtual BOOL GetRowCount(int& /*count*/) { return FALSE; }
    virtual void ReservedHook1(LONG) {}
    virtual void ReservedHook2(LONG) {}
    // Sends code 1 to the grid window; the window's answer, or 0 without a window.
    virtual LRESULT NotifyGridCode1() { return Notify(kGridNotifyCode1, 0); }
    virtual int ReservedQuery2(LONG) { return 0; }
    virtual void QuickSearch(const SearchRequest& /*request*/) {}
    virtual void NotifyGridCode0() {}
    virtual void ReservedHook3() {}

    // The grid's window; the grid stores it here, the module never writes it. Null: no notifications.
    HWND m_hWnd;

protected:
    // Sends WM_USER + 16 synchronously when the window handle is set; 0 otherwise.
    LRESULT Notify(WPARAM code, LPARAM lparam) const {
        return m_hWnd == nullptr ? 0 : SendMessageA(m_hWnd, kGridNotifyMessage, code, lparam);
    }
};

class CV7DataProvider {
public:
    virtual CV7DataRow* GetV7Row(::CDataRow* row) = 0;
    // Key of a row; key is left untouched when there is none.
    virtual void GetRowKey(::CDataRow* /*row*/, CValue& /*key*/) {}
    // A new row (owned by the caller) whose key equals key, or null.
    virtual ::CDataRow* FindRowByKey(const CValue& /*key*/) { return nullptr; }

protected:
    ~CV7DataProvider() = default;  // never deleted through this interface
};
