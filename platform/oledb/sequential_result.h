#pragma once
// A result streamed from a RowCursor in one forward pass; only the cursor's current row exists.
// The first row is fetched at once, so that a failing statement fails at its execution and
// IsEmpty can answer before the pass; MoveNext then hands that row out first.
// Holds the connection for as long as the cursor may use it. A cursor that gives host texts itself
// (host_text_cursor.h) is asked first for every value read.

#include <memory>

#include "platform/oledb/connection.h"
#include "platform/oledb/host_text_cursor.h"
#include "platform/oledb/result.h"
#include "platform/oledb/row_cursor.h"

namespace oledb_backend {

class SequentialResult : public Result {
public:
    // Throws CursorError when the cursor fails on its first row.
    static std::shared_ptr<SequentialResult> Start(std::shared_ptr<Connection> connection,
                                                   std::unique_ptr<RowCursor> cursor);

    bool IsEmpty() const override { return empty_; }
    bool MoveTo(long) override { return false; }
    // False at the end; throws CursorError when the cursor fails (the pass then ends).
    bool MoveNext() override;
    long CurrentRow() const override { return on_row_ ? row_ : -1; }
    // Writes one warning line the first time a text of this result loses characters.
    bool Read(int column, CValue& value) const override;

private:
    SequentialResult() = default;

    std::shared_ptr<Connection> connection_;  // declared first: outlives the cursor
    std::unique_ptr<RowCursor> cursor_;
    const HostTextCursor* host_text_ = nullptr;  // cursor_ when it gives host texts itself, else null
    bool empty_ = true;
    bool first_pending_ = false;  // the row fetched at the start is not handed out yet
    bool on_row_ = false;
    long row_ = -1;
    mutable bool warned_ = false;  // the warning about replaced characters is written
};

}  // namespace oledb_backend
