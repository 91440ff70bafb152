#include "tools/import/record_places.h"

#include <algorithm>


namespace import_tool {

void RecordPlaces::Written(std::uint32_t record) {
    ++rows_;
    if (record != last_ + 1) jumps_.push_back({rows_, record});
    last_ = record;
}

std::uint32_t RecordPlaces::RecordOf(std::uint64_t row) const {
    if (row == 0 || row > rows_) return 0;
    // The last jump at or before row; the rows after it follow its record one by one.
    const auto after = std::upper_bound(jumps_.begin(), jumps_.end(), row,
                                        [](std::uint64_t wanted, const Jump& jump) { return wanted < jump.row; });
    if (after == jumps_.begin()) return static_cast<std::uint32_t>(row);
    const Jump& jump = *(after - 1);
    return static_cast<std::uint32_t>(jump.record + (row - jump.row));
}

}  // namespace import_tool
