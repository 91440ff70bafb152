#include "database/key_window.h"

#include <cctype>
#include <limits>
#include <optional>

#include "database/database_error.h"
#include "database/index_tags.h"
#include "database/statement.h"
#include "database/value_text.h"

namespace rowlark::database {

using oledb_backend::CursorError;
using oledb_backend::ProcArg;

namespace {

constexpr const char* kArgumentNames[] = {"table",     "index tag", "start index text", "start key",   "count",
                                          "key field", "direction", "filter from",      "filter to",   "inclusive"};

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

std::string ArgumentName(size_t i) {
    return "QueryRows argument " + std::to_string(i + 1) + " (" + kArgumentNames[i] + ")";
}

const std::string& TextArg(const std::vector<ProcArg>& args, size_t i) {
    if (!args[i].is_text) throw CursorError(ArgumentName(i) + " must be a quoted text, got the number " +
                                            std::to_string(args[i].number));
    return args[i].text;
}

std::int64_t NumberArg(const std::vector<ProcArg>& args, size_t i) {
    if (args[i].is_text) throw CursorError(ArgumentName(i) + " must be a whole number, got the text " +
                                           Quoted(args[i].text));
    return args[i].number;
}

bool FlagArg(const std::vector<ProcArg>& args, size_t i) {
    const std::int64_t value = NumberArg(args, i);
    if (value != 0 && value != 1) throw CursorError(ArgumentName(i) + " must be 1 or 0, got " + std::to_string(value));
    return value == 1;
}

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
    Planner(const KeyWindowRequest& request, const TagFacts& facts)
        : request_(request), tag_(facts.tag), key_is_numeric_(facts.key_is_numeric) {
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
                if (tag_.kind == TagKind::Text) where.Add(value_ + " >=", std::string());
                else where.Add(value_ + " >=", -std::numeric_limits<double>::infinity());
            }
            plan.statements.push_back(Make(where, value_ + dir + ", " + key_ + dir));
            return plan;
        }
        const SqlParam start = IndexParam(request_.start_index, "start index text");
        // The rest of the start row's run of equal values. The filter is decided here, once for
        // the run's one value: SQLite would otherwise sort a run that has no key bound.
        if ((!request_.start_key.empty() || request_.inclusive) && InFilter(start)) {
            Conditions run;
            run.Add(value_ + " =", start);
            if (!request_.start_key.empty()) {
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
        auto number = ParseNumber(text);
        if (!number)
            throw CursorError("QueryRows: " + std::string(what) + " " + Quoted(text) + " is not a number (index tag " +
                              Quoted(tag_.tag) + " orders by a number)");
        return AsParam(*number);
    }

    // Whether a value of the tag lies inside the filter range, compared as SQLite compares them.
    bool InFilter(const SqlParam& value) const {
        if (tag_.kind == TagKind::Text) {
            const auto& text = std::get<std::string>(value);
            if (!request_.filter_from.empty() && text < request_.filter_from) return false;
            if (request_.filter_to.empty()) return true;
            const auto above = Above(request_.filter_to);
            return !above || text < *above;
        }
        const double number = AsDouble(value);
        if (!request_.filter_from.empty() && number < AsDouble(IndexParam(request_.filter_from, "filter from")))
            return false;
        return request_.filter_to.empty() || number <= AsDouble(IndexParam(request_.filter_to, "filter to"));
    }

    static double AsDouble(const SqlParam& number) {
        if (const auto* whole = std::get_if<std::int64_t>(&number)) return static_cast<double>(*whole);
        return std::get<double>(number);
    }

    Conditions Filter() const {
        Conditions where;
        AddFilter(where);
        return where;
    }

    void AddFilter(Conditions& where) const {
        if (!request_.filter_from.empty())
            where.Add(value_ + " >=", IndexParam(request_.filter_from, "filter from"));
        if (request_.filter_to.empty()) return;
        if (tag_.kind == TagKind::Number) {
            where.Add(value_ + " <=", IndexParam(request_.filter_to, "filter to"));
        } else if (auto above = Above(request_.filter_to)) {
            where.Add(value_ + " <", *above);
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

    const KeyWindowRequest& request_;
    const IndexTag& tag_;
    bool key_is_numeric_;
    std::string value_;   // the tag's key expression
    std::string key_;     // the quoted key column
    std::string source_;  // the table, forced onto the tag's index
};

}  // namespace

KeyWindowRequest ReadKeyWindowRequest(const std::vector<ProcArg>& args) {
    if (args.size() != 10)
        throw CursorError("QueryRows expects 10 arguments ('table', 'tag', 'start index', 'start key', count, "
                          "'key field', direction, 'filter from', 'filter to', inclusive), got " +
                          std::to_string(args.size()));
    KeyWindowRequest request;
    request.table = TextArg(args, 0);
    request.tag = TextArg(args, 1);
    request.start_index = TextArg(args, 2);
    request.start_key = TextArg(args, 3);
    request.count = NumberArg(args, 4);
    if (request.count < 0) throw CursorError(ArgumentName(4) + " must be 0 or more, got " + std::to_string(request.count));
    request.key_field = TextArg(args, 5);
    request.forward = FlagArg(args, 6);
    request.filter_from = TextArg(args, 7);
    request.filter_to = TextArg(args, 8);
    request.inclusive = FlagArg(args, 9);
    return request;
}

TagFacts LookUpTag(sqlite3* db, const KeyWindowRequest& request) {
    if (!db) throw CursorError("QueryRows: no database connection");
    try {
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
        return facts;
    } catch (const DatabaseError& error) {
        throw CursorError(std::string("QueryRows: ") + error.what());
    }
}

KeyWindowPlan PlanKeyWindow(const KeyWindowRequest& request, const TagFacts& facts) {
    return Planner(request, facts).Plan();
}

KeyWindowPlan PlanKeyWindow(sqlite3* db, const KeyWindowRequest& request) {
    return PlanKeyWindow(request, LookUpTag(db, request));
}

}  // namespace rowlark::database
