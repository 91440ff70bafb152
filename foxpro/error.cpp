#include "foxpro/error.h"

namespace rowlark::foxpro {

std::string DescribeError(const ErrorPlace& place, const std::string& what) {
    std::string text = place.file.empty() ? std::string("(no file)") : place.file;
    if (place.record != 0) text += ": record " + std::to_string(place.record);
    if (!place.field.empty()) text += (place.record != 0 ? ", field " : ": field ") + place.field;
    return text + ": " + what;
}

FoxProError::FoxProError(const ErrorPlace& place, const std::string& what)
    : std::runtime_error(DescribeError(place, what)), place_(place) {}

}  // namespace rowlark::foxpro
