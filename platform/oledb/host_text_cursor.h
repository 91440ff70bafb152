#pragma once
// A cursor that gives some text columns in the host's code page (CP1251) itself, so that the layer
// hands them to the host without making a UTF-8 text first. The sequential result asks a cursor
// that offers this before it reads a value through RowCursor::Column; what it answers must be
// exactly what Column() and the layer's conversion would have made of that value.

#include <string_view>

namespace oledb_backend {

class HostTextCursor {
public:
    // column's value on the current row as CP1251 text, converted without a replaced character;
    // false when the cursor leaves this value to Column(). The view is valid until the next call
    // or Step().
    virtual bool HostText(int column, std::string_view& text) const = 0;

protected:
    ~HostTextCursor() = default;
};

}  // namespace oledb_backend
