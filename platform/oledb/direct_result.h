#pragma once
// A result held whole in memory, positioned on any row by number.
// Layout: one byte arena holds every value of every row in order, each as a kind byte and its
// payload (integers in as few bytes as they need, reals as 8 bytes, texts as a length and
// their CP1251 bytes, already converted); row_offsets_ gives where each row starts.
// Moving to a row finds the start of its values once; reading a value then costs one copy.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/oledb/byte_arena.h"
#include "platform/oledb/result.h"
#include "platform/oledb/row_cursor.h"

namespace oledb_backend {

class DirectResult : public Result {
public:
    // Reads every row of cursor. Throws CursorError, keeping nothing, when the cursor fails.
    // text_replaced tells whether some text lost characters on its way to CP1251.
    static std::shared_ptr<DirectResult> ReadAll(RowCursor& cursor, bool& text_replaced);

    long RowCount() const { return static_cast<long>(row_offsets_.size()); }
    // Bytes held for the values: the arena and the row offsets.
    std::size_t MemoryBytes() const;

    bool IsEmpty() const override { return row_offsets_.empty(); }
    bool MoveTo(long row) override;
    bool MoveNext() override { return false; }
    long CurrentRow() const override { return current_; }
    bool Read(int column, CValue& value) const override;

private:
    class Builder;
    DirectResult() = default;

    ByteArena arena_;
    std::vector<std::size_t> row_offsets_;
    long current_ = -1;
    std::vector<std::size_t> value_offsets_;  // where each value of the current row starts
};

}  // namespace oledb_backend
