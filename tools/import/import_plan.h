#pragma once
// What an import will write, decided from the files before anything is written: for each table its
// .dbf, the target table's name and column names (the long names of a database container, else the
// header's names in small letters), its key (the container's primary key or a candidate tag over one
// field, else the record number as a column of its own) and its index tags (the .cdx tags whose key
// expressions translate, and tags given on the command line), with the tags left out and why.

#include <memory>
#include <string>
#include <vector>

#include "foxpro/key_expression.h"
#include "foxpro/table_reader.h"
#include "tools/import/field_mapping.h"

namespace import_tool {

// A table as the inputs name it, before its files are read.
struct SourceTable {
    std::string dbf;                       // the .dbf path
    std::string name;                      // the target table's name
    std::vector<std::string> long_names;   // a container's names for its fields, in order; empty: none
    std::string primary_tag;               // the container's primary key tag; empty: none
};

// A tag the user asked for: FoxPro key expression over the named table (any table when empty).
struct RequestedTag {
    std::string table;
    std::string tag;
    std::string expression;
};

struct PlannedTag {
    std::string tag;         // as the catalogue will hold it
    std::string expression;  // SQL over the table's columns
    bool number = false;     // a number tag, else a text tag
};

struct SkippedTag {
    std::string tag;
    std::string reason;
};

struct TablePlan {
    SourceTable source;
    std::vector<rowlark::foxpro::FieldInfo> fields;           // the reader's columns
    std::vector<oledb_backend::FieldDefinition> columns;      // the target's, recno first when added
    bool recno_column = false;                                // the record number is columns[0]
    std::string key;                                          // the key column
    std::vector<PlannedTag> tags;
    std::vector<SkippedTag> skipped;
    std::vector<std::string> warnings;                        // how fields are written that the user should know
    std::uint64_t bytes = 0;                                  // the table's and its memo file's size
    std::uint32_t records = 0;                                // as the header counts them (deleted too)
};

// The tables of the inputs: each .dbf as itself (its container's long names and primary key when its
// backlink names a .dbc beside it), each .dbc as the tables it lists whose files exist; a listed
// table without its file is reported in missing. Throws FoxProError for a container that cannot be read.
std::vector<SourceTable> ListSourceTables(const std::vector<std::string>& inputs, std::vector<std::string>& missing);

// How the import reads a table: as options say, and a field of a type not known here kept as its
// bytes (a binary column, with a warning in the plan) rather than the table refused.
rowlark::foxpro::ReaderOptions ImportReading(const rowlark::foxpro::ReaderOptions& options);

// Reads the table's header and .cdx and decides its columns, key and tags for engine. Throws
// FoxProError for a table or index that cannot be read, std::invalid_argument for a requested tag
// of this table whose expression does not translate.
TablePlan PlanTable(const SourceTable& source, Engine engine, const std::vector<RequestedTag>& requested,
                    const rowlark::foxpro::ReaderOptions& options);

}  // namespace import_tool
