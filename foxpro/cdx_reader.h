#pragma once
// The tags of a compound index (.cdx): names, key expressions, FOR filters and options, read
// from the tag directory (itself a compact index whose keys are tag names and whose record
// numbers are the offsets of each tag's header). The keys of the tags are not read.

#include <cstdint>
#include <string>
#include <vector>

#include "foxpro/byte_source.h"

namespace rowlark::foxpro {

struct CdxTag {
    std::string name;            // as the directory holds it (upper case)
    std::string key_expression;  // as written at INDEX ON, e.g. "UPPER(last_name)"
    std::string for_expression;  // the FOR filter, empty without one
    std::uint16_t key_length = 0;
    bool unique = false;
    bool candidate = false;      // a candidate (or primary) key: its values are unique
    bool descending = false;
    std::uint32_t header_offset = 0;
};

// Every tag in directory order. Throws FoxProError naming the file and the byte offset for a
// truncated file, a page outside it or revisited, a node whose entries overrun it, or a tag
// header outside the file.
std::vector<CdxTag> ReadCdxTags(ByteSource& cdx);

}  // namespace rowlark::foxpro
