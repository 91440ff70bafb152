#pragma once
// The row interfaces the grid reads. A row's CV7DataRow part lies directly behind its ::CDataRow
// part; the grid obtains it from the provider's GetV7Row, never by computing it.

#include "addin/host/platform.h"

class CDataRow {
public:
    virtual ~CDataRow() = default;
    virtual int GetFieldCount() = 0;
    // Number of the field named exactly name (byte for byte); -1 when there is none.
    virtual int LookupFieldIndex(const char* name) = 0;
    // Name of the field with that number, valid while the row lives; null when there is none.
    virtual const char* LookupFieldName(int number) = 0;
    virtual int ReservedRowQuery(int) { return 0; }
    // text = the display text of column index; returns text.
    virtual CString& FormatField(int index, CString& text) = 0;
    virtual int GetRowId() const { return 0; }
};

class CV7DataRow {
public:
    // The host value of column index, owned by the row.
    virtual const CValue& GetValueAt(int index) = 0;

protected:
    ~CV7DataRow() = default;  // never deleted through this interface
};
