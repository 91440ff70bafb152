#pragma once
// The one error type of the FoxPro reader: every refusal names the file and, where they apply,
// the record (numbered from 1 as FoxPro's RECNO() counts) and the field, then what was expected.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

namespace rowlark::foxpro {

// Where a fault was found: a file, and optionally a record and a field of it.
struct ErrorPlace {
    ErrorPlace(std::string file_name, std::uint32_t record_number = 0, std::string field_name = {})
        : file(std::move(file_name)), record(record_number), field(std::move(field_name)) {}

    std::string file;
    std::uint32_t record = 0;  // 0: not inside a record
    std::string field;         // empty: not inside a field
};

class FoxProError : public std::runtime_error {
public:
    FoxProError(const ErrorPlace& place, const std::string& what);
    const ErrorPlace& Place() const { return place_; }

private:
    ErrorPlace place_;
};

// "file: record N, field F: what" with the parts that apply.
std::string DescribeError(const ErrorPlace& place, const std::string& what);

}  // namespace rowlark::foxpro
