#pragma once
// The header of a .dbf table (dBase III/IV, FoxPro 2, Visual FoxPro): its version, record
// count and sizes, and its fields with their place in a record. Reading it checks everything a
// record read relies on, so a header that reads is safe to read records by.

#include <cstdint>
#include <string>
#include <vector>

#include "foxpro/byte_source.h"

namespace rowlark::foxpro {

// How a table keeps its memos: none, FoxPro's .fpt, dBase III's or dBase IV's .dbt.
enum class MemoKind { None, Fpt, Dbt3, Dbt4 };

struct FieldInfo {
    std::string name;            // as the header holds it (at most ten characters)
    char type = 'C';             // C V M N F I B Y D T L G W Q P, '0' for _NullFlags
    std::uint32_t offset = 0;    // from the start of the record (the deletion flag is byte 0)
    std::uint8_t length = 0;
    std::uint8_t decimals = 0;
    bool system = false;         // hidden (_NullFlags): not a column
    bool nullable = false;
    bool binary = false;         // NOCPTRANS: C, V and M give bytes, not text
    bool autoincrement = false;
    bool unknown_type = false;   // a type not known here (kept when the reader is asked to): its bytes as stored
    std::int32_t autoincrement_next = 0;
    std::uint8_t autoincrement_step = 0;
    int varlength_bit = -1;      // V, Q: bit of _NullFlags set when the value is shorter than the field
    int null_bit = -1;           // nullable: bit of _NullFlags set when the value is null
};

struct TableHeader {
    std::uint8_t version = 0;
    std::uint32_t record_count = 0;
    std::uint16_t header_length = 0;
    std::uint16_t record_length = 0;
    std::uint8_t table_flags = 0;     // 0x01 structural .cdx, 0x02 memo, 0x04 database container
    std::uint8_t code_page_mark = 0;
    std::string last_update;          // YYYY-MM-DD as the header holds it
    std::vector<FieldInfo> fields;    // every field, system ones included
    int null_flags_field = -1;        // index into fields of _NullFlags, or -1
    MemoKind memo_kind = MemoKind::None;
    std::string database;             // the .dbc a Visual FoxPro table belongs to (backlink), or empty
};

// A short description of a version byte ("Visual FoxPro", "dBase III with memo", ...).
const char* VersionName(std::uint8_t version);

// Reads and checks the header. Throws FoxProError for a truncated header, an unknown version,
// a field list without its terminator, an unknown field type (unless keep_unknown_types: then the
// field is marked unknown_type) or a length the type cannot have, a record length that disagrees
// with the fields, or a record count beyond the file's end.
TableHeader ReadTableHeader(ByteSource& dbf, bool keep_unknown_types = false);

// True for the types whose value lives in the memo file.
bool IsMemoType(char type);

}  // namespace rowlark::foxpro
