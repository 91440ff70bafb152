// tags PATH list | add TABLE TAG EXPRESSION KEYFIELD text|number [--order bytes|russian] | drop TAG [TABLE] | refresh TAG [TABLE]
// Manages the index tags of any SQLite database, so that its tables can be scrolled by the
// dynamic provider. Adding a tag makes the tag catalogue when it is missing and builds the
// tag's index and samples its order (database/tag_quantiles.h), which refresh samples again once
// the table has changed, so the grid tells a row's place well; no row of the user's tables is changed. Each command is one transaction:
// a refusal leaves the file as it was. Exit status: 0 done, 1 refused by the database, 2 bad usage.
// A text tag is in the Russian order (database/collation) unless added with --order bytes; list shows
// a Russian-order tag's order as a sixth field.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "database/database_error.h"
#include "database/index_tags.h"
#include "database/statement.h"
#include "database/tag_quantiles.h"
#include "platform/oledb/connection.h"
#include "platform/oledb/connection_secrets.h"
#include "platform/oledb/pg_connection_text.h"
#include "platform/oledb/sqlite_connection.h"
#include "tools/i18n/locale_forms.h"
#include "tools/i18n/tool_text.h"
#include "tools/terminal_text/showable_text.h"

namespace fs = std::filesystem;
using rowlark::database::DatabaseError;
using rowlark::database::IndexTag;
using rowlark::database::Quoted;
using Db = oledb_backend::Connection;
using tool_text::_;
using tool_text::Fill;

namespace {

const char* Usage() {
    return _("usage: tags PATH list | tags PATH add TABLE TAG EXPRESSION KEYFIELD text|number [--order bytes|russian]"
             " | tags PATH drop TAG [TABLE] | tags PATH refresh TAG [TABLE]");
}
constexpr int kRefused = 1;
constexpr int kBadUsage = 2;

// Thrown for input the command refuses before asking the database.
struct BadUsage : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The database as messages name it: a connection string may hold a password, so a server is named
// and any other text shows none.
std::string Named(const std::string& path) {
    std::error_code error;
    if (oledb_backend::IsPostgresConnectionText(path) && !fs::exists(path, error)) return _("PostgreSQL server");
    return oledb_backend::HidePasswords(path);
}

// Opens the file exactly as named, whatever its characters ("file:" and '=' included), never
// creating one; another writer's short transaction is waited for, a long one refused.
std::shared_ptr<Db> Open(const std::string& path) {
    std::error_code error;
    if (!fs::exists(path, error)) {
        if (oledb_backend::IsPostgresConnectionText(path))
            throw DatabaseError(_("tags works on SQLite files; a server's tags are added with "
                                  "public.rowlark_add_index_tag (database/postgres/rowlark.sql)"));
        throw DatabaseError(Fill(_("no such database file: %s"), {oledb_backend::HidePasswords(path)}));
    }
    if (fs::is_directory(path, error))
        throw DatabaseError(Fill(_("not a database file but a folder: %s"), {oledb_backend::HidePasswords(path)}));
    try {
        return Db::Open(oledb_backend::FileUri(path));
    } catch (const oledb_backend::OpenFailure& failure) {
        throw DatabaseError(failure.reason());
    }
}

// One field of a listed line: tabs, line breaks and backslashes escaped so every tag stays one line,
// any other control or direction mark shown by its stand-in (showable_text.h).
std::string Field(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\\': out += "\\\\"; break;
            default: out += c;
        }
    }
    return terminal_text::Showable(out);
}

// Runs body inside one write transaction, committed only when it returns.
template <typename Body>
void InTransaction(Db& db, Body body) {
    db.Execute("BEGIN IMMEDIATE");
    try {
        body();
        db.Execute("COMMIT");
    } catch (...) {
        try {
            db.Execute("ROLLBACK");
        } catch (const oledb_backend::CursorError&) {
            // SQLite may have rolled back already; the first failure is the one to report
        }
        throw;
    }
}

// A name or message as the terminal may be given it.
std::string Shown(std::string_view text) { return terminal_text::Showable(text); }

int List(Db& db) {
    for (const IndexTag& tag : rowlark::database::ListIndexTags(db)) {
        std::printf("%s\t%s\t%s\t%s\t%s%s\n", Field(tag.tag).c_str(), Field(tag.table).c_str(),
                    Field(tag.expression).c_str(), Field(tag.key_field).c_str(),
                    rowlark::database::TagKindName(tag.kind),
                    tag.order == rowlark::database::TextOrder::Russian ? "\trussian" : "");
    }
    return 0;
}

int Add(Db& db, const std::vector<std::string>& args) {
    // Both checked before the database was opened.
    const auto kind = rowlark::database::ParseTagKind(args[4]).value();
    // A text tag orders as a Russian dictionary unless bytes are asked for; a number tag by number.
    const auto order = args.size() > 5 ? rowlark::database::ParseTextOrder(args[6]).value()
                       : kind == rowlark::database::TagKind::Text ? rowlark::database::TextOrder::Russian
                                                                   : rowlark::database::TextOrder::Bytes;
    InTransaction(db, [&] { rowlark::database::AddIndexTag(db, args[0], args[1], args[2], args[3], kind, order); });
    const auto added = rowlark::database::FindIndexTag(db, args[0], args[1]);
    std::printf("%s\n", Fill(_("added tag %s to table %s"), {Shown(Quoted(added ? added->tag : args[1])),
                                                            Shown(Quoted(added ? added->table : args[0]))})
                            .c_str());
    return 0;
}

bool SameAsciiName(std::string_view a, std::string_view b) {
    return oledb_backend::AsciiLower(a) == oledb_backend::AsciiLower(b);
}

// The tag's own table when only the tag is named: the one table that has a tag of that name.
std::string TableOfTag(Db& db, const std::string& tag) {
    std::vector<std::string> tables;
    for (const IndexTag& each : rowlark::database::ListIndexTags(db)) {
        if (SameAsciiName(each.tag, tag)) tables.push_back(each.table);
    }
    if (tables.empty()) throw DatabaseError(Fill(_("no index tag %s"), {Quoted(tag)}));
    if (tables.size() > 1) {
        std::string names;
        for (const auto& table : tables) names += (names.empty() ? "" : ", ") + Quoted(table);
        throw BadUsage(Fill(_("tag %s is on tables %s; name one: tags PATH drop TAG TABLE"), {Quoted(tag), names}));
    }
    return tables.front();
}

int Drop(Db& db, const std::vector<std::string>& args) {
    IndexTag dropped;
    InTransaction(db, [&] {
        const std::string table = args.size() > 1 ? args[1] : TableOfTag(db, args[0]);
        dropped = rowlark::database::DropIndexTag(db, table, args[0]);
    });
    std::printf("%s\n",
                Fill(_("dropped tag %s of table %s"), {Shown(Quoted(dropped.tag)), Shown(Quoted(dropped.table))}).c_str());
    return 0;
}

int Refresh(Db& db, const std::vector<std::string>& args) {
    std::int64_t rows = 0;
    std::optional<IndexTag> tag;
    InTransaction(db, [&] {
        const std::string table = args.size() > 1 ? args[1] : TableOfTag(db, args[0]);
        rows = rowlark::database::RefreshTagQuantiles(oledb_backend::SqliteHandle(db), table, args[0]);
        tag = rowlark::database::FindIndexTag(db, table, args[0]);
    });
    std::printf("%s\n", Fill(tool_text::Plural("sampled tag %s of table %s over %s row",
                                               "sampled tag %s of table %s over %s rows", static_cast<unsigned long long>(rows)),
                             {Shown(Quoted(tag ? tag->tag : args[0])), Shown(Quoted(tag ? tag->table : "")),
                              tool_text::Grouped(rows)})
                            .c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tool_text::Start();
    if (argc < 3) {
        std::fprintf(stderr, "tags: %s\n", Usage());
        return kBadUsage;
    }
    const std::string path = argv[1];
    const std::string_view action = argv[2];
    const std::vector<std::string> args(argv + 3, argv + argc);
    const bool add_fits = args.size() == 5 || (args.size() == 7 && args[5] == "--order");
    const bool fits = (action == "list" && args.empty()) || (action == "add" && add_fits) ||
                      ((action == "drop" || action == "refresh") && (args.size() == 1 || args.size() == 2));
    if (!fits) {
        const bool known = action == "list" || action == "add" || action == "drop" || action == "refresh";
        std::fprintf(stderr, "tags: %s; %s\n",
                     Fill(known ? _("wrong number of arguments for %s") : _("unknown command %s"), {Shown(action)}).c_str(),
                     Usage());
        return kBadUsage;
    }
    try {
        if (action == "add" && !rowlark::database::ParseTagKind(args[4]))
            throw BadUsage(Fill(_("the kind must be text or number, got %s"), {Quoted(args[4])}));
        if (action == "add" && args.size() > 5 && !rowlark::database::ParseTextOrder(args[6]))
            throw BadUsage(Fill(_("the order must be bytes or russian, got %s"), {Quoted(args[6])}));
        const std::shared_ptr<Db> db = Open(path);
        if (action == "list") return List(*db);
        if (action == "add") return Add(*db, args);
        if (action == "refresh") return Refresh(*db, args);
        return Drop(*db, args);
    } catch (const BadUsage& error) {
        std::fprintf(stderr, "tags: %s\n", Shown(error.what()).c_str());
        return kBadUsage;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tags: %s: %s\n", Shown(Named(path)).c_str(),
                     Shown(oledb_backend::HidePasswordsIn(error.what(), path)).c_str());
        return kRefused;
    }
}
