#include "database/key_window.h"

#include <sqlite3.h>

#include <cctype>
#include <limits>
#include <optional>

#include "database/collation/decimal_order.h"
#include "database/collation/russian_order.h"
#include "database/collation/sqlite_decimal_order.h"
#include "database/collation/sqlite_russian_order.h"
#include "database/index_tags.h"
#include "database/statement.h"
#include "database/value_text.h"

namespace rowlark::database {

using oledb_backend::CursorError;

namespace {

// The least text above every text that begins with prefix, in byte order; none when no
// such text exists (prefix of 0xFF bytes only). "<= B or begins with B" is "< Above(B)".
std::optional<std::string> Above(std::string prefix) {
    while (!prefix.empty() && static_cast<unsigned char>(prefix.back()) == 0xFF) prefix.pop_back();
    if (prefix.empty()) return std::nullopt;
    prefix.back() = static_cast<char>(static_cast<unsigned char>(prefix.back()) + 1);
    return prefix;
}

SqlParam AsParam(const Number& number) {
    if (const auto* whole = std::get_if<std::int64_t>(&number)) return *whole;
    return std::get<double>(number);
}

// Builds the WHERE conditions of one statement and the parameters they take, in order.
// A condition is written without its parameter ("value >="); Add appends "?N" itself, so a
// '?' inside a tag's expression can never be taken for a parameter.
class Conditions {
public:
    void Add(const std::string& condition, SqlParam param) {
        params_.push_back(std::move(param));
        Add(condition + " ?" + std::to_string(params_.size()));
    }
    void Add(const std::string& condition) { text_ += (text_.empty() ? " WHERE " : " AND ") + condition; }
    bool Empty() const { return text_.empty(); }
    const std::string& Text() const { return text_; }
    const std::vector<SqlParam>& Params() const { return params_; }

private:
    std::string text_;
    std::vector<SqlParam> params_;
};

// SQLite's affinity rule: a declared type naming INT, REAL, FLOA, DOUB or none of
// CHAR, CLOB, TEXT, BLOB (and not empty) compares a text key as a number.
bool HasNumericAffinity(sqlite3* db, const IndexTag& tag) {
    Statement find(db, "SELECT upper(type) FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE");
    find.BindText(1, tag.table);
    find.BindText(2, tag.key_field);
    if (!find.Step())
        throw CursorError("QueryRows: table " + Quoted(tag.table) + " has no key field " + Quoted(tag.key_field));
    const std::string type = find.ColumnText(0);
    auto has = [&](const char* word) { return type.find(word) != std::string::npos; };
    if (has("INT")) return true;
    if (has("CHAR") || has("CLOB") || has("TEXT") || has("BLOB") || type.empty()) return false;
    return true;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

class Planner {
public:
    Planner(const QueryRowsRequest& request, const TagFacts& facts)
        : request_(request),
          tag_(facts.tag),
          key_is_numeric_(facts.key_is_numeric),
          russian_(facts.tag.kind == TagKind::Text && facts.tag.order == TextOrder::Russian),
          decimal_text_(facts.tag.decimal_text) {
        // A text tag's index holds its values without trailing blanks, and a bound taken from a
        // blank-padded field value must not lose the rows equal to the word.
        filter_from_ = tag_.kind == TagKind::Text ? TrimmedIndexText(request_.filter_from) : request_.filter_from;
        // In the Russian order a typed lower bound keeps the rows that differ from it only by case or Ё.
        if (russian_ && !filter_from_.empty()) filter_from_ = collation::RussianLowerBound(filter_from_);
        if (tag_.kind == TagKind::Text && !request_.filter_to.empty())
            filter_above_ = russian_ ? collation::RussianPrefixAbove(request_.filter_to) : Above(request_.filter_to);
        value_ = KeyExpression(tag_);
        key_ = QuoteIdentifier(tag_.key_field);
        source_ = QuoteIdentifier(tag_.table) + " INDEXED BY " + QuoteIdentifier(tag_.index_name);
    }

    KeyWindowPlan Plan() {
        KeyWindowPlan plan;
        plan.count = request_.count;
        const bool has_start = !request_.start_index.empty() || !request_.start_key.empty();
        const char* dir = request_.forward ? "" : " DESC";
        if (!has_start) {
            Conditions where = Filter();
            // Every value of the tag is >= this (values are never NULL); it makes the walk from an end a seek too.
            if (where.Empty()) {
                // The empty text lies below every decimal text too (decimal_order.h).
                if (tag_.kind == TagKind::Text || decimal_text_) where.Add(value_ + " >=", std::string());
                else where.Add(value_ + " >=", -std::numeric_limits<double>::infinity());
            }
            plan.statements.push_back(Make(where, value_ + dir + ", " + key_ + dir));
            return plan;
        }
        const SqlParam start = IndexParam(request_.start_index, "start index text");
        // The start key names the start row, empty or not: the empty text is a key a text column
        // can hold. Only a number key column, where no row's key is the empty text, reads an empty
        // start key as a start at the value alone (inclusive: its whole run; exclusive: past it).
        const bool key_names_row = !request_.start_key.empty() || !key_is_numeric_;
        // The rest of the start row's run of equal values. The filter is decided here, once for
        // the run's one value: SQLite would otherwise sort a run that has no key bound.
        if ((key_names_row || request_.inclusive) && InFilter(start)) {
            Conditions run;
            run.Add(value_ + " =", start);
            if (key_names_row) {
                const char* op = request_.forward ? (request_.inclusive ? " >=" : " >")
                                                  : (request_.inclusive ? " <=" : " <");
                run.Add(key_ + op, KeyParam(request_.start_key));
            }
            plan.statements.push_back(Make(run, key_ + dir));
        }
        // Everything beyond that run.
        Conditions beyond;
        beyond.Add(value_ + (request_.forward ? " >" : " <"), start);
        AddFilter(beyond);
        plan.statements.push_back(Make(beyond, value_ + dir + ", " + key_ + dir));
        return plan;
    }

private:
    SqlParam KeyParam(const std::string& key) const {
        if (key_is_numeric_)
            if (auto number = ParseNumber(key)) return AsParam(*number);
        return key;
    }

    SqlParam IndexParam(const std::string& text, const char* what) const {
        if (tag_.kind == TagKind::Text) return text;
        // A number tag over decimal texts takes texts, compared by its collation: a double would round them.
        std::optional<Number> number;
        if (!decimal_text_) number = ParseNumber(text);
        if (decimal_text_ ? !collation::IsDecimalText(text) : !number)
            throw CursorError("QueryRows: " + std::string(what) + " " + Quoted(text) + " is not a number (index tag " +
                              Quoted(tag_.tag) + " orders by a number)");
        if (decimal_text_) return text;
        return AsParam(*number);
    }

    // Whether a value of the tag lies inside the filter range, compared exactly as the statements'
    // own conditions compare it (an integer against an integer or a real by exact value).
    bool InFilter(const SqlParam& value) const {
        if (tag_.kind == TagKind::Text) {
            const auto& text = std::get<std::string>(value);
            if (!filter_from_.empty() && CompareTexts(text, filter_from_) < 0) return false;
            return !filter_above_ || CompareTexts(text, *filter_above_) < 0;
        }
        if (decimal_text_) {
            const auto& text = std::get<std::string>(value);
            if (!filter_from_.empty() && collation::CompareDecimalTexts(text, filter_from_) < 0) return false;
            return request_.filter_to.empty() || collation::CompareDecimalTexts(text, request_.filter_to) <= 0;
        }
        const Number number = AsNumber(value);
        if (!filter_from_.empty() && CompareNumbers(number, AsNumber(IndexParam(filter_from_, "filter from"))) < 0)
            return false;
        return request_.filter_to.empty() ||
               CompareNumbers(number, AsNumber(IndexParam(request_.filter_to, "filter to"))) <= 0;
    }

    // Two values of a text tag as its index compares them.
    int CompareTexts(const std::string& a, const std::string& b) const {
        if (russian_) return collation::CompareRussian(a, b);
        return a.compare(b);
    }

    static Number AsNumber(const SqlParam& number) {
        if (const auto* whole = std::get_if<std::int64_t>(&number)) return *whole;
        return std::get<double>(number);
    }

    Conditions Filter() const {
        Conditions where;
        AddFilter(where);
        return where;
    }

    void AddFilter(Conditions& where) const {
        if (!filter_from_.empty()) where.Add(value_ + " >=", IndexParam(filter_from_, "filter from"));
        if (request_.filter_to.empty()) return;
        if (tag_.kind == TagKind::Number) {
            where.Add(value_ + " <=", IndexParam(request_.filter_to, "filter to"));
        } else if (filter_above_) {
            where.Add(value_ + " <", *filter_above_);
        }
    }

    PlannedStatement Make(const Conditions& where, const std::string& order) const {
        PlannedStatement statement;
        // Room for the count first: growing a vector of these variants later trips a false
        // maybe-uninitialized warning of GCC 12 at -O3.
        statement.params.reserve(where.Params().size() + 1);
        for (const SqlParam& param : where.Params()) statement.params.push_back(param);
        statement.params.emplace_back(std::in_place_type<std::int64_t>, request_.count);
        statement.sql = "SELECT " + key_ + ", " + value_ + " FROM " + source_ + where.Text() + " ORDER BY " + order +
                        " LIMIT ?" + std::to_string(statement.params.size());
        return statement;
    }

    const QueryRowsRequest& request_;
    const IndexTag& tag_;
    bool key_is_numeric_;
    bool russian_;             // a text tag in the Russian order (database/collation)
    bool decimal_text_;        // a number tag over decimal texts, in their order (database/collation)
    std::string filter_from_;  // the lower bound as the tag's index values compare with it
    std::optional<std::string> filter_above_;  // text tags: values below this are <= B or begin with B
    std::string value_;   // the tag's key expression
    std::string key_;     // the quoted key column
    std::string source_;  // the table, forced onto the tag's index
};

}  // namespace

TagFacts LookUpTag(sqlite3* db, const QueryRowsRequest& request) {
    if (!db) throw CursorError("QueryRows: no database connection");
    if (!TableExists(db, request.table)) throw CursorError("QueryRows: unknown table " + Quoted(request.table));
    auto found = FindIndexTag(db, request.table, request.tag);
    if (!found)
        throw CursorError("QueryRows: table " + Quoted(request.table) + " has no index tag " + Quoted(request.tag));
    TagFacts facts;
    facts.tag = std::move(*found);
    if (!SameName(request.key_field, facts.tag.key_field))
        throw CursorError("QueryRows: key field " + Quoted(request.key_field) + " is not the key field " +
                          Quoted(facts.tag.key_field) + " of index tag " + Quoted(facts.tag.tag));
    facts.key_is_numeric = HasNumericAffinity(db, facts.tag);
    // A caller's own handle may lack the collation that the tag's index is ordered by.
    if (facts.tag.order == TextOrder::Russian && collation::EnsureRussianOrder(db) != SQLITE_OK)
        throw CursorError("QueryRows: index tag " + Quoted(facts.tag.tag) + " is in the Russian order, which " +
                          "this database connection cannot give: " + sqlite3_errmsg(db));
    if (facts.tag.decimal_text && collation::EnsureDecimalOrder(db) != SQLITE_OK)
        throw CursorError("QueryRows: index tag " + Quoted(facts.tag.tag) + " orders decimal texts, which " +
                          "this database connection cannot compare: " + sqlite3_errmsg(db));
    return facts;
}

KeyWindowPlan PlanKeyWindow(const QueryRowsRequest& request, const TagFacts& facts) {
    return Planner(request, facts).Plan();
}

KeyWindowPlan PlanKeyWindow(sqlite3* db, const QueryRowsRequest& request) {
    return PlanKeyWindow(request, LookUpTag(db, request));
}

}  // namespace rowlark::database
