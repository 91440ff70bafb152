#pragma once
// A Visual FoxPro database container (.dbc): a table of objects (the database, its tables,
// their fields, indexes and relations) with their properties in the .dct memo file. Gives the
// tables it lists with their long field names and primary key tags.

#include <string>
#include <vector>

#include "foxpro/table_reader.h"

namespace rowlark::foxpro {

struct ContainerTable {
    std::string name;                      // the table's long name in the database
    std::string path;                      // its .dbf as the container records it (relative to the .dbc)
    std::vector<std::string> field_names;  // long field names, in the table's field order
    std::string primary_tag;               // the primary key's tag, empty without one
    std::vector<std::string> index_tags;   // every tag the container knows for the table
};

// Reads the container at path (its .dct beside it). Throws FoxProError as TableReader does,
// and for a property memo that runs past its end.
std::vector<ContainerTable> ReadDatabaseContainer(const std::string& path, const ReaderOptions& options = {});

// Reads a container from a reader already open on it.
std::vector<ContainerTable> ReadDatabaseContainer(TableReader& reader);

}  // namespace rowlark::foxpro
