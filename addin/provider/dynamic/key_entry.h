#pragma once
// One entry of the dynamic provider's row window: a key of the last load and the row query
// result's row that carries it (the answer's keys themselves: answer_keys.h).

#include <cstdint>
#include <string>

namespace OleDb {
namespace GridProvider {

struct KeyEntry {
    std::uint32_t number = 0;  // row of the row query result
    std::string key_text;      // the key as QueryRows gave it: identifies the row
    std::string index_text;    // the index expression's value at the row, trailing white space removed
};

}  // namespace GridProvider
}  // namespace OleDb
