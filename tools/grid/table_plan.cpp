#include "tools/grid/table_plan.h"

#include <sqlite3.h>

#include <memory>
#include <optional>

#include "database/database_error.h"
#include "database/index_tags.h"
#include "database/statement.h"

namespace grid_tool {

namespace {

using rowlark::database::QuoteIdentifier;
using rowlark::database::Statement;

constexpr const char* kKeyListMarker = "%СписокИД%";  // where the dynamic provider puts the keys

struct CloseDb {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using DbHandle = std::unique_ptr<sqlite3, CloseDb>;

// The column of table named name in any ASCII letter case, as the table declares it.
std::optional<std::string> DeclaredColumn(sqlite3* db, const std::string& table, const std::string& name) {
    Statement find(db, "SELECT name FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE");
    find.BindText(1, table);
    find.BindText(2, name);
    if (!find.Step()) return std::nullopt;
    return find.ColumnText(0);
}

std::string DeclaredTable(sqlite3* db, const std::string& table) {
    Statement find(db, "SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
    find.BindText(1, table);
    return find.Step() ? find.ColumnText(0) : table;
}

std::vector<std::string> AllColumns(sqlite3* db, const std::string& table) {
    std::vector<std::string> columns;
    Statement list(db, "SELECT name FROM pragma_table_info(?1) ORDER BY cid");
    list.BindText(1, table);
    while (list.Step()) columns.push_back(list.ColumnText(0));
    return columns;
}

// The table's single-column primary key, if it has one.
std::optional<std::string> PrimaryKey(sqlite3* db, const std::string& table) {
    Statement list(db, "SELECT name FROM pragma_table_info(?1) WHERE pk > 0");
    list.BindText(1, table);
    if (!list.Step()) return std::nullopt;
    std::string name = list.ColumnText(0);
    if (list.Step()) return std::nullopt;
    return name;
}

bool HasCatalogue(sqlite3* db) {
    Statement find(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1");
    find.BindText(1, rowlark::database::kTagCatalogue);
    return find.Step();
}

// Tag names of the table, in the order they were added.
std::vector<std::string> TagNames(sqlite3* db, const std::string& table) {
    std::vector<std::string> tags;
    if (!HasCatalogue(db)) return tags;
    Statement list(db, "SELECT tag FROM rowlark_index_tags WHERE table_name = ?1 ORDER BY rowid");
    list.BindText(1, table);
    while (list.Step()) tags.push_back(list.ColumnText(0));
    return tags;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

bool Plan(sqlite3* db, const Options& options, TablePlan& plan, std::string& error) {
    if (!rowlark::database::TableExists(db, options.table)) {
        error = "the database has no table " + options.table;
        return false;
    }
    plan.table = DeclaredTable(db, options.table);

    const std::vector<std::string> tags = TagNames(db, plan.table);
    std::optional<rowlark::database::IndexTag> tag;
    if (!options.tag.empty()) {
        tag = rowlark::database::FindIndexTag(db, plan.table, options.tag);
        if (!tag) {
            error = "the table " + plan.table + " has no index tag " + options.tag +
                    (tags.empty() ? " (it has none)" : " (its tags: " + Joined(tags) + ")");
            return false;
        }
    } else if (!tags.empty()) {
        tag = rowlark::database::FindIndexTag(db, plan.table, tags.front());
    }
    plan.dynamic = tag.has_value() && !options.force_static;
    if (tag) plan.tag = tag->tag;

    if (!options.key.empty()) {
        const auto key = DeclaredColumn(db, plan.table, options.key);
        if (!key) {
            error = "the table " + plan.table + " has no key field " + options.key;
            return false;
        }
        plan.key = *key;
        if (plan.dynamic && tag->key_field != plan.key) {
            error = "the tag " + tag->tag + " is keyed by " + tag->key_field + ", not " + plan.key +
                    " (use --static for another key)";
            return false;
        }
    } else if (tag) {
        plan.key = tag->key_field;
    } else if (const auto key = PrimaryKey(db, plan.table)) {
        plan.key = *key;
    } else {
        error = "the table " + plan.table + " has no index tag and no single-column primary key: name one with --key";
        return false;
    }

    if (!options.query.empty()) {
        if (plan.dynamic && options.query.find(kKeyListMarker) == std::string::npos) {
            error = std::string("a query for the dynamic provider needs ") + kKeyListMarker +
                    " where the keys go, e.g. ... WHERE id IN (" + kKeyListMarker + ")";
            return false;
        }
        plan.query = options.query;
        return true;
    }

    for (const auto& name : options.columns) {
        const auto column = DeclaredColumn(db, plan.table, name);
        if (!column) {
            error = "the table " + plan.table + " has no column " + name;
            return false;
        }
        plan.columns.push_back(*column);
    }
    if (plan.columns.empty()) plan.columns = AllColumns(db, plan.table);
    // The provider finds rows by their key, so the key is always read, shown first when not asked for.
    bool has_key = false;
    for (const auto& column : plan.columns) has_key = has_key || column == plan.key;
    if (!has_key) plan.columns.insert(plan.columns.begin(), plan.key);

    std::string select;
    for (const auto& column : plan.columns) select += (select.empty() ? "" : ", ") + QuoteIdentifier(column);
    const std::string from = " FROM " + QuoteIdentifier(plan.table);
    if (plan.dynamic) {
        plan.query = "SELECT " + select + from + " WHERE " + QuoteIdentifier(plan.key) + " IN (" + kKeyListMarker + ")";
    } else {
        const std::string order = tag ? rowlark::database::KeyExpression(*tag) + ", " : std::string();
        plan.query = "SELECT " + select + from + " ORDER BY " + order + QuoteIdentifier(plan.key);
    }
    return true;
}

}  // namespace

bool MakePlan(const Options& options, TablePlan& plan, std::string& error) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(options.path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const DbHandle db(raw);
    if (rc != SQLITE_OK) {
        error = "cannot open " + options.path + ": " + (raw ? sqlite3_errmsg(raw) : "out of memory");
        return false;
    }
    try {
        return Plan(db.get(), options, plan, error);
    } catch (const rowlark::database::DatabaseError& failure) {
        error = "cannot read " + options.path + ": " + failure.what();
        return false;
    }
}

}  // namespace grid_tool
