#include "database/collation/collation_callbacks.h"

#include <unicode/ucol.h>

#include <cstddef>
#include <string_view>

#include "database/collation/russian_order.h"

namespace rowlark::collation {

int CompareRussianCallback(void* collator, int a_length, const void* a, int b_length, const void* b) {
    const std::string_view left(static_cast<const char*>(a), static_cast<std::size_t>(a_length));
    const std::string_view right(static_cast<const char*>(b), static_cast<std::size_t>(b_length));
    return CompareRussian(static_cast<const UCollator*>(collator), left, right);
}

void CloseRussianCallback(void* collator) { ucol_close(static_cast<UCollator*>(collator)); }

}  // namespace rowlark::collation
