#pragma once
// One value as a line of text, the form the tests compare: "kind:value" with bytes and control
// characters escaped (\n, \r, \t, \\, \xHH), so two readers' values compare as strings.

#include <string>

#include "foxpro/value.h"

namespace rowlark::foxpro::testing {

std::string Escape(const std::string& bytes);
std::string ValueText(const Value& value);

}  // namespace rowlark::foxpro::testing
