#pragma once
// What the grid asks a database before the screen opens: its tables, columns, primary keys and index
// tags, as the database declares them. One for SQLite files (read-only, closed with the object) and
// one for PostgreSQL servers (a short session of its own); the grid itself reads through the module.
// Names match in any ASCII letter case. Every call throws rowlark::database::DatabaseError when the
// database cannot answer.

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace grid_tool {

struct CatalogueTag {
    std::string tag;        // as it was added
    std::string key_field;  // as the table declares it
    std::string order_sql;  // the tag's order as SQL over the table (its value as the index holds it)
};

class TableCatalogue {
public:
    virtual ~TableCatalogue() = default;
    // The table's name as declared; none when there is no such table.
    virtual std::optional<std::string> Table(const std::string& name) = 0;
    // The table's tag names, in the order they were added.
    virtual std::vector<std::string> TagNames(const std::string& table) = 0;
    virtual std::optional<CatalogueTag> Tag(const std::string& table, const std::string& tag) = 0;
    virtual std::optional<std::string> Column(const std::string& table, const std::string& name) = 0;
    virtual std::vector<std::string> Columns(const std::string& table) = 0;
    // The table's primary key when it is one column.
    virtual std::optional<std::string> PrimaryKey(const std::string& table) = 0;
};

// The catalogue of the file at path, or of the server a PostgreSQL connection string names; none,
// with a one-line reason in error, when it cannot be opened.
std::unique_ptr<TableCatalogue> OpenCatalogue(const std::string& path, std::string& error);

}  // namespace grid_tool
