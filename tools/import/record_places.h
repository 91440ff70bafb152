#pragma once
// The record a written row came from, for naming a value the database refused as the FoxPro reader
// names its own faults (foxpro/error.h: file, record as FoxPro's RECNO(), field). A server refuses a
// row only when the rows' COPY ends, by its number among the rows sent; RecordPlaces turns that
// number back into the record's, keeping only where deleted records (never written) leave a gap.

#include <cstdint>
#include <string>
#include <vector>

namespace import_tool {

class RecordPlaces {
public:
    // The next row written came from record.
    void Written(std::uint32_t record);
    // The record row (from 1) came from; 0 for a row never written.
    std::uint32_t RecordOf(std::uint64_t row) const;

private:
    struct Jump {
        std::uint64_t row;
        std::uint32_t record;
    };
    std::vector<Jump> jumps_;  // rows whose record does not follow the row before's
    std::uint64_t rows_ = 0;
    std::uint32_t last_ = 0;
};

}  // namespace import_tool
