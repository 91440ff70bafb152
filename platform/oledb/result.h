#pragma once
// A result of one execution, as the result handles (oledb.h) see it. Column names and text
// values are CP1251. Positioning: a direct result moves to any row (MoveTo), a sequential one
// only forward (MoveNext); each answers false to the other kind's move.
// Owned by shared_ptr through the handles; the last handle releases it.

#include <string>
#include <vector>

#include "platform/runtime/value.h"

namespace oledb_backend {

class Result {
public:
    virtual ~Result() = default;
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;

    int ColumnCount() const { return static_cast<int>(column_names_.size()); }
    // Requires: 0 <= column < ColumnCount().
    const std::string& ColumnName(int column) const { return column_names_[static_cast<std::size_t>(column)]; }

    virtual bool IsEmpty() const = 0;
    virtual bool MoveTo(long row) = 0;
    virtual bool MoveNext() = 0;
    // The number of the current row from 0, or -1 when there is none.
    virtual long CurrentRow() const = 0;
    // The current row's value of column; false, value untouched, without a current row or column.
    // Throws UnfitNumber (host_number.h), value untouched, for a number the host cannot hold.
    virtual bool Read(int column, CValue& value) const = 0;

protected:
    Result() = default;
    std::vector<std::string> column_names_;
};

}  // namespace oledb_backend
