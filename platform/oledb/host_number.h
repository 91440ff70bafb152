#pragma once
// Database numbers on their way to the host's number (platform/runtime/numeric.h). Integers and
// finite REALs always fit (a REAL as the shortest decimal that reads back as it, the same text the
// database's own procedures write); an infinite REAL has no host number and is refused, never
// replaced by another number. A decimal (a server's NUMERIC) arrives as its digits and stays exact.

#include <stdexcept>
#include <string_view>

#include "platform/runtime/value.h"

namespace oledb_backend {

// Thrown for a database value the host's number cannot hold; what() is the value as text.
class UnfitNumber : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Sets value to the host number of real; throws UnfitNumber, value untouched, for an infinity.
void SetReal(double real, CValue& value);
// Sets value to the exact decimal digits (a server's NUMERIC); throws UnfitNumber, value
// untouched, for one the host's number cannot hold ("NaN", "Infinity", beyond its range).
void SetDecimal(std::string_view digits, CValue& value);

}  // namespace oledb_backend
