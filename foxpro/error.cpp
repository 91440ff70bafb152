#include "foxpro/error.h"

#include "foxpro/message_text.h"

namespace rowlark::foxpro {

std::string DescribeError(const ErrorPlace& place, const std::string& what) {
    const std::string file = place.file.empty() ? std::string(_("(no file)")) : place.file;
    const std::string record = std::to_string(place.record);
    if (place.record != 0 && !place.field.empty())
        return Fill(_("%s: record %s, field %s: %s"), {file, record, place.field, what});
    if (place.record != 0) return Fill(_("%s: record %s: %s"), {file, record, what});
    if (!place.field.empty()) return Fill(_("%s: field %s: %s"), {file, place.field, what});
    return Fill(_("%s: %s"), {file, what});
}


FoxProError::FoxProError(const ErrorPlace& place, const std::string& what)
    : std::runtime_error(DescribeError(place, what)), place_(place) {}

}  // namespace rowlark::foxpro
