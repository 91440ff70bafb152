#include "platform/oledb/host_number.h"

#include "platform/runtime/numeric.h"

namespace oledb_backend {

void SetReal(double real, CValue& value) {
    const auto number = CNumeric::TryFromDouble(real);
    if (!number) throw UnfitNumber(real < 0 ? "-inf" : real > 0 ? "inf" : "nan");
    value = *number;
}

void SetDecimal(std::string_view digits, CValue& value) {
    const auto number = CNumeric::TryParse(digits);
    if (!number) throw UnfitNumber(std::string(digits));
    value = *number;
}

}  // namespace oledb_backend
