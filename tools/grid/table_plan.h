#pragma once
// What the grid will show, checked against the database before the screen opens: the table, its
// columns, key field and index tag as the database declares them, the provider to use and its row
// query, read from the database's catalogue (table_catalogue.h); the grid itself reads through the module.

#include <string>
#include <vector>

#include "platform/oledb/catalogue.h"
#include "tools/grid/grid_options.h"

namespace grid_tool {

struct TablePlan {
    bool dynamic = false;              // the dynamic provider (the table has the tag), else the static one
    std::string table;                 // as the database declares it
    std::string tag;                   // the index tag, as added; empty when the table has none
    std::string key;                   // the key field, as the table declares it
    std::string query;                 // the row query; the dynamic one holds %СписокИД%
    std::vector<std::string> columns;  // the columns shown (empty when a query of the user's decides)
    std::vector<oledb_backend::ColumnInfo> declared;  // the table's columns as declared, for widths and decimals
    std::string tag_expression;        // the tag's expression, as added; empty without a tag
};

// The plan for these options; false, with a one-line message in error, when the table, tag, key or
// a column does not exist or the options contradict each other.
bool MakePlan(const Options& options, TablePlan& plan, std::string& error);

}  // namespace grid_tool
