#pragma once
// The grid program's command line: grid [--table T] [--key K] [--tag G] [--query Q] [--columns A,B]
// [--static] [--] DB. DB may be a FoxPro table (FILE.dbf), opened through its imported copy.
// Texts are UTF-8 as typed; empty means "not given" (defaults come from the table).

#include <string>
#include <vector>

namespace grid_tool {

struct Options {
    std::string path;                  // the database file, or a PostgreSQL connection string
    std::string table = "goods";       // the table shown
    bool table_given = false;          // --table was given (a .dbf's own table is shown otherwise)
    std::string key;                   // the key field; default: the tag's key field or the table's primary key
    std::string tag;                   // the index tag; default: the table's first tag
    std::string query;                 // the row query; default: built from the table and columns
    std::vector<std::string> columns;  // the columns shown; default: every column of the table
    bool force_static = false;         // the static provider even when the table has a tag
};

// The usage line in the user's language.
const char* Usage();

// Whether the command line is sound; prints why, on one line, when it is not.
bool ParseOptions(int argc, char** argv, Options& options);

}  // namespace grid_tool
