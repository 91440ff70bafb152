#pragma once
// Finds which key of a load a row query value carries. A number is matched by its value against
// the keys written as plain whole numbers ("42", "-7"), which is what the layer's text of that
// number would be, so no text is made per row; every other value (texts, fractions, numbers
// beyond a long) is matched by the layer's text of it, byte by byte, as the keys were given.
// Borrows the keys it is built from: valid while they live unchanged.

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "addin/host/oledb.h"
#include "addin/provider/dynamic/answer_keys.h"

namespace OleDb {
namespace GridProvider {

class CKeyLookup {
public:
    explicit CKeyLookup(const CAnswerKeys& keys);

    // The place (in keys) of the key that value carries; none when no key matches.
    std::optional<std::uint32_t> Find(const CValue& value);

private:
    const CAnswerKeys& keys_;
    std::vector<std::pair<long, std::uint32_t>> numbers_;  // plain whole-number keys by value, sorted
    CString db_text_, unused_extra_;                          // kept between calls: no allocation per row
};

}  // namespace GridProvider
}  // namespace OleDb
