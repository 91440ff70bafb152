#pragma once
// One key of a load of the dynamic provider. While a load gathers keys from QueryRows, number is
// the key's place among the distinct keys of the answer; in the row window it is the number of the
// row query result's row that carries the key.

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace OleDb {
namespace GridProvider {

struct KeyEntry {
    std::uint32_t number = 0;  // place in the answer, then row of the row query result
    std::string key_text;      // the key as QueryRows gave it: identifies the row
    std::string index_text;    // the index expression's value at the row, trailing white space removed
};

// The keys of one load by key text, compared byte by byte; each key once, at its first place.
using KeyMap = std::map<std::string, KeyEntry, std::less<>>;

}  // namespace GridProvider
}  // namespace OleDb
