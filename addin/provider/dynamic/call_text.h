#pragma once
// The texts the dynamic provider sends to the database: the QueryRows call and the key list that
// replaces the row query's placeholder. Every text goes in apostrophes with each apostrophe inside
// it doubled, as SQL writes a literal, so any key or name travels; a text without an apostrophe
// keeps its exact bytes.

#include <cstdint>
#include <string>
#include <string_view>

namespace OleDb {
namespace GridProvider {

// What one QueryRows call asks for.
struct QueryRowsCall {
    std::string_view table;        // real name of the base table
    std::string_view index_tag;    // the index tag that orders the rows
    std::string_view start_index;  // index text of the start row; empty without one
    std::string_view start_key;    // key text of the start row; empty without one
    std::uint32_t count = 0;       // number of rows wanted
    std::string_view key_field;    // the base table's key field
    bool forward = true;           // rows after the start (true) or before it
    std::string_view filter_from;  // lower bound of the range; may be empty
    std::string_view filter_to;    // upper bound of the range; may be empty
    bool inclusive = false;        // the start row itself comes first
};

// Appends text as a quoted SQL literal: 'text', each ' inside written twice. The one quoting of
// every text the provider sends.
void AppendQuoted(std::string& out, std::string_view text);

// QueryRows ('T', 'G', 'I', 'K', n, 'F',D, 'A', 'B',E) exactly so: a blank after every comma but
// the two before D and E; n in plain decimal digits whatever the process locale.
std::string QueryRowsCallText(const QueryRowsCall& call);

}  // namespace GridProvider
}  // namespace OleDb
