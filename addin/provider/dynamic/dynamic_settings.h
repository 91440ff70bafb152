#pragma once
// What a script sets on a dynamic provider, as it set it. Every load reads these afresh, so a
// change takes effect at the next load (the key column excepted: see CRowWindow).

#include <string>

#include "addin/provider/provider_base.h"

namespace OleDb {
namespace GridProvider {

struct DynamicSettings {
    std::string query_text;       // "QueryText": the row query, with "%СписокИД%" where the keys go
    std::string base_table;       // "BaseTable" exactly as the script set it
    std::string real_table;       // its translation; empty when none or when it failed
    std::string index_tag;        // "IndexTag": the index tag ordering the rows
    std::string filter_from;      // "FilterFrom": lower bound of the range shown; may be empty
    std::string filter_to;        // "FilterTo": upper bound of the range shown; may be empty
    bool debug = false;           // "DebugMode": debug messages on
    std::string query_key_field;  // "KeyFieldQuery", folded to lower case
    std::string base_key_field;   // "KeyFieldBaseTable", as set
    ParameterMap parameters;      // "SetParameter" values by name
};

}  // namespace GridProvider
}  // namespace OleDb
