#pragma once
// What a record's values become before they are mapped to columns, where a database would otherwise
// keep something no other reader of the table shows, or each engine something different:
//   C, V  the text ends at its first NUL: programs written in C (FoxPro's drivers, the host) stop
//         there, and what follows is stale bytes of an earlier, longer value
//   M     the same rule, so a text means one thing in every field and on both engines (a server's
//         text cannot hold a NUL at all); a memo that loses more than NULs so is counted, for a warning
//   B     NaN is NULL (SQLite cannot keep a NaN; the server would)
// Binary fields (NOCPTRANS, G, W, P, Q) keep every byte.

#include <cstdint>
#include <vector>

#include "foxpro/table_header.h"
#include "foxpro/value.h"

namespace import_tool {

class FaithfulValues {
public:
    explicit FaithfulValues(const std::vector<rowlark::foxpro::FieldInfo>& fields);

    // Applies the rules above to one record's values, in the fields' order.
    void Apply(std::vector<rowlark::foxpro::Value>& values);

    // For each field, the records whose memo text was cut before bytes other than NUL.
    const std::vector<std::uint64_t>& CutMemos() const { return cut_memos_; }

private:
    const std::vector<rowlark::foxpro::FieldInfo>& fields_;
    std::vector<std::uint64_t> cut_memos_;
};

}  // namespace import_tool
