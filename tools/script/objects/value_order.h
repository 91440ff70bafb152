#pragma once
// The order in which the collections sort and group host values. Values of one kind compare as the
// language compares them: numbers by value, texts byte by byte in the host's code page (so "Б" < "а"
// as in the language's "<"); objects of any kind are equal to one another, so a stable sort keeps
// their order, except dates (the language's date objects), which compare by day. Values of different
// kinds order by kind: the empty value, numbers, dates, texts, other objects.

#include "platform/runtime/value.h"

namespace script {

// -1, 0 or 1.
int CompareValues(const CValue& a, const CValue& b);
// Whether a search finds a by b: as CValue's own equality (objects by identity), dates by day.
bool SameValues(const CValue& a, const CValue& b);

}  // namespace script
