#pragma once
// The benchmark's Visual FoxPro table, written by a tiny writer of its own (python3-dbf takes minutes
// for a million records): C(30), N(10,2), D, L and M fields, code page 1251, a memo on every tenth
// record; kept in /tmp/rowlark-bench/ and written once.

#include <cstdint>
#include <string>

namespace import_bench {

struct SampleRow {
    std::string name;   // UTF-8
    std::string price;  // exact decimal text
    std::string day;    // YYYY-MM-DD
    bool flag = false;
    std::string memo;   // empty: none
};

// The values of record n (0-based), as the import reads them back.
SampleRow RowOf(std::uint32_t n);

// The table's path, written first when missing.
std::string SampleTable(std::uint32_t records);

}  // namespace import_bench
