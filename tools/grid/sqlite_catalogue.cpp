// The catalogue of a SQLite file, opened read-only: sqlite_master, pragma_table_info and the tag
// catalogue of database/index_tags.h.
#include <sqlite3.h>

#include "database/database_error.h"
#include "database/index_tags.h"
#include "database/statement.h"
#include "platform/oledb/pg_connection_text.h"
#include "tools/grid/table_catalogue.h"

namespace grid_tool {

std::unique_ptr<TableCatalogue> OpenServerCatalogue(const std::string& connection, std::string& error);

namespace {

using rowlark::database::Statement;

class SQLiteCatalogue : public TableCatalogue {
public:
    explicit SQLiteCatalogue(sqlite3* db) : db_(db) {}
    ~SQLiteCatalogue() override { sqlite3_close(db_); }

    std::optional<std::string> Table(const std::string& name) override {
        Statement find(db_, "SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
        find.BindText(1, name);
        if (!find.Step()) return std::nullopt;
        return find.ColumnText(0);
    }

    std::vector<std::string> TagNames(const std::string& table) override {
        std::vector<std::string> tags;
        Statement catalogue(db_, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1");
        catalogue.BindText(1, rowlark::database::kTagCatalogue);
        if (!catalogue.Step()) return tags;
        Statement list(db_, "SELECT tag FROM rowlark_index_tags WHERE table_name = ?1 ORDER BY rowid");
        list.BindText(1, table);
        while (list.Step()) tags.push_back(list.ColumnText(0));
        return tags;
    }

    std::optional<CatalogueTag> Tag(const std::string& table, const std::string& tag) override {
        const auto found = rowlark::database::FindIndexTag(db_, table, tag);
        if (!found) return std::nullopt;
        return CatalogueTag{found->tag, found->key_field, rowlark::database::KeyExpression(*found)};
    }

    std::optional<std::string> Column(const std::string& table, const std::string& name) override {
        Statement find(db_, "SELECT name FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE");
        find.BindText(1, table);
        find.BindText(2, name);
        if (!find.Step()) return std::nullopt;
        return find.ColumnText(0);
    }

    std::vector<std::string> Columns(const std::string& table) override {
        std::vector<std::string> columns;
        Statement list(db_, "SELECT name FROM pragma_table_info(?1) ORDER BY cid");
        list.BindText(1, table);
        while (list.Step()) columns.push_back(list.ColumnText(0));
        return columns;
    }

    std::optional<std::string> PrimaryKey(const std::string& table) override {
        Statement list(db_, "SELECT name FROM pragma_table_info(?1) WHERE pk > 0");
        list.BindText(1, table);
        if (!list.Step()) return std::nullopt;
        std::string name = list.ColumnText(0);
        if (list.Step()) return std::nullopt;
        return name;
    }

private:
    sqlite3* db_;
};

}  // namespace

std::unique_ptr<TableCatalogue> OpenCatalogue(const std::string& path, std::string& error) {
    if (oledb_backend::IsPostgresConnectionText(path)) return OpenServerCatalogue(path, error);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        error = "cannot open " + path + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return nullptr;
    }
    return std::make_unique<SQLiteCatalogue>(db);
}

}  // namespace grid_tool
