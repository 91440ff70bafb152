#include "tools/import/faithful_values.h"

#include <cmath>

namespace import_tool {

namespace {

using rowlark::foxpro::ValueKind;

// Cuts text at its first NUL; true when a byte other than NUL was cut off.
bool EndAtNul(std::string& text) {
    const std::size_t nul = text.find('\0');
    if (nul == std::string::npos) return false;
    const bool more = text.find_first_not_of('\0', nul) != std::string::npos;
    text.resize(nul);
    return more;
}

}  // namespace

FaithfulValues::FaithfulValues(const std::vector<rowlark::foxpro::FieldInfo>& fields)
    : fields_(fields), cut_memos_(fields.size(), 0) {}

void FaithfulValues::Apply(std::vector<rowlark::foxpro::Value>& values) {
    for (std::size_t i = 0; i < values.size() && i < fields_.size(); ++i) {
        rowlark::foxpro::Value& value = values[i];
        if (value.kind == ValueKind::Text && EndAtNul(value.text) && fields_[i].type == 'M') ++cut_memos_[i];
        if (value.kind == ValueKind::Real && std::isnan(value.real)) value = rowlark::foxpro::Value();
    }
}

}  // namespace import_tool
