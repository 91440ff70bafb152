#include "tools/grid/table_plan.h"

#include <memory>
#include <optional>

#include "database/statement.h"
#include "platform/oledb/row_cursor.h"
#include "tools/grid/table_catalogue.h"
#include "tools/i18n/tool_text.h"

namespace grid_tool {

namespace {

using oledb_backend::Catalogue;
using oledb_backend::TagInfo;
using rowlark::database::QuoteIdentifier;
using tool_text::_;
using tool_text::Fill;

constexpr const char* kKeyListMarker = "%СписокИД%";  // where the dynamic provider puts the keys

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

// The table's tag (the one asked for, else its first), and with it the provider; false when the tag
// asked for does not exist.
bool ChooseTag(Catalogue& db, const Options& options, TablePlan& plan, std::optional<TagInfo>& tag,
               std::string& error) {
    std::vector<std::string> tags;
    for (const TagInfo& each : db.Tags(plan.table)) tags.push_back(each.tag);
    if (!options.tag.empty()) {
        tag = db.Tag(plan.table, options.tag);
        if (!tag) {
            error = tags.empty() ? Fill(_("the table %s has no index tag %s (it has none)"), {plan.table, options.tag})
                                 : Fill(_("the table %s has no index tag %s (its tags: %s)"),
                                        {plan.table, options.tag, Joined(tags)});
            return false;
        }
    } else if (!tags.empty()) {
        tag = db.Tag(plan.table, tags.front());
    }
    plan.dynamic = tag.has_value() && !options.force_static;
    if (tag) plan.tag = tag->tag;
    return true;
}

// The key field: the one asked for (the tag's own for the dynamic provider), else the tag's, else the
// table's primary key.
bool ChooseKey(Catalogue& db, const Options& options, TablePlan& plan, const std::optional<TagInfo>& tag,
               std::string& error) {
    if (!options.key.empty()) {
        const auto key = db.Column(plan.table, options.key);
        if (!key) {
            error = Fill(_("the table %s has no key field %s"), {plan.table, options.key});
            return false;
        }
        plan.key = key->name;
        if (plan.dynamic && tag->key_field != plan.key) {
            error = Fill(_("the tag %s is keyed by %s, not %s (use --static for another key)"),
                         {tag->tag, tag->key_field, plan.key});
            return false;
        }
    } else if (tag) {
        plan.key = tag->key_field;
    } else if (const auto key = db.PrimaryKey(plan.table); key.size() == 1) {
        plan.key = key.front();
    } else {
        error = Fill(_("the table %s has no index tag and no single-column primary key: name one with --key"), {plan.table});
        return false;
    }
    return true;
}

// The columns asked for (all the table's when none), and the row query over them.
bool ChooseColumns(Catalogue& db, const Options& options, TablePlan& plan, const std::optional<TagInfo>& tag,
                   std::string& error) {
    for (const auto& name : options.columns) {
        const auto column = db.Column(plan.table, name);
        if (!column) {
            error = Fill(_("the table %s has no column %s"), {plan.table, name});
            return false;
        }
        plan.columns.push_back(column->name);
    }
    if (plan.columns.empty())
        for (const auto& column : db.Columns(plan.table)) plan.columns.push_back(column.name);
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
        const std::string order = tag ? tag->order_sql + ", " : std::string();
        plan.query = "SELECT " + select + from + " ORDER BY " + order + QuoteIdentifier(plan.key);
    }
    return true;
}

bool Plan(Catalogue& db, const Options& options, TablePlan& plan, std::string& error) {
    const auto table = db.Table(options.table);
    if (!table) {
        error = Fill(_("the database has no table %s"), {options.table});
        return false;
    }
    plan.table = *table;
    plan.declared = db.Columns(plan.table);
    std::optional<TagInfo> tag;
    if (!ChooseTag(db, options, plan, tag, error) || !ChooseKey(db, options, plan, tag, error)) return false;
    if (tag) plan.tag_expression = tag->expression;
    if (options.query.empty()) return ChooseColumns(db, options, plan, tag, error);
    if (plan.dynamic && options.query.find(kKeyListMarker) == std::string::npos) {
        error = Fill(_("a query for the dynamic provider needs %s where the keys go, e.g. ... WHERE id IN (%s)"),
                     {kKeyListMarker, kKeyListMarker});
        return false;
    }
    plan.query = options.query;
    return true;
}

}  // namespace

bool MakePlan(const Options& options, TablePlan& plan, std::string& error) {
    const std::unique_ptr<Catalogue> db = OpenCatalogue(options.path, error);
    if (!db) return false;
    try {
        return Plan(*db, options, plan, error);
    } catch (const oledb_backend::CursorError& failure) {
        error = Fill(_("cannot read %s: %s"), {options.path, failure.what()});
        return false;
    }
}

}  // namespace grid_tool
