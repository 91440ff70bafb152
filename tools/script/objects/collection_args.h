#pragma once
// Reading the arguments of the collections' methods: positions counted from 1 as the host counts
// them, sort directions. Each reader raises the host's error for a bad argument and answers nullopt.

#include <cstddef>
#include <optional>
#include <string_view>

#include "platform/runtime/value.h"

namespace script {

// The i-th argument of a null-ended array; the empty value past its end or with no array.
const CValue& ArgAt(CValue** args, int i);
// The i-th argument itself, for a method that gives a value back through it; null past the end.
CValue* ArgSlot(CValue** args, int i);
bool IsGiven(CValue** args, int i);

// The 0-based place of a position 1..count: a number, whole, in range. Otherwise raises
// WrongArgument(method) for a value that is no number and out_of_range(value) for one that is.
std::optional<std::size_t> IndexArg(const CValue& value, std::size_t count, void (*out_of_range)(const CValue&),
                                    std::string_view method);
// A sort direction: "+" (or left out) ascending, "-" descending; answers whether descending.
std::optional<bool> DescendingArg(const CValue& value);

}  // namespace script
