#pragma once
// What the grid passes to QuickSearch: the column the user typed in and the text typed so far.
// Memory order is fixed: column name pointer, an unused word, typed-text pointer.

#include <cstdint>

#include "addin/host/platform.h"

struct SearchRequest {
    const char* column_name;  // zero-terminated; only its characters are read
    std::uint32_t unused;
    const CString* typed_text;
};
