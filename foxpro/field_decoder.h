#pragma once
// Turns one field of a record's bytes into a Value: the per-type rules of the formats.
// Text conversion and memo reads go through the decoder and memo file the reader owns.

#include <string_view>

#include "foxpro/code_page.h"
#include "foxpro/error.h"
#include "foxpro/memo_file.h"
#include "foxpro/table_header.h"
#include "foxpro/value.h"

namespace rowlark::foxpro {

struct DecodeContext {
    TextDecoder& decoder;
    MemoFile* memo;         // null when the table has no memo fields
    std::string_view null_flags;  // the record's _NullFlags bytes, empty without them
};

// Decodes the field's bytes (exactly field.length of them). Throws FoxProError at place for
// bytes the type cannot hold (a number that is not one, a date out of the calendar, ...).
Value DecodeField(const FieldInfo& field, std::string_view bytes, DecodeContext& context, const ErrorPlace& place);

// Civil date of a Julian day number as "YYYY-MM-DD" (FoxPro's T keeps days that way).
std::string JulianDayToIso(std::int64_t julian_day);

}  // namespace rowlark::foxpro
