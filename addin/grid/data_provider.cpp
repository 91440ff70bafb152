#include "addin/grid/data_provider.h"

BOOL CDataProvider::GetRowCount(int&) { return FALSE; }

LRESULT CDataProvider::NotifyGridCode1() { return Notify(kGridNotifyCode1, 0); }

void CDataProvider::QuickSearch(const SearchRequest&) {}

LRESULT CDataProvider::Notify(WPARAM code, LPARAM lparam) const {
    if (m_hWnd == nullptr) return 0;
    return SendMessageA(m_hWnd, kGridNotifyMessage, code, lparam);
}

void CV7DataProvider::GetRowKey(::CDataRow*, CValue&) {}

::CDataRow* CV7DataProvider::FindRowByKey(const CValue&) { return nullptr; }
