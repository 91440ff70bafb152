// make_sample_db [--table NAME] [--name-order russian|bytes] [--] PATH ROWS [SEED]
// Makes a SQLite file with a sample goods table and its index tags. PATH may instead be a PostgreSQL
// connection string ("postgresql://…" or "host=… dbname=…"): the same rows and tags go to that server
// (database/postgres/server_goods.h), in one transaction. A new file is built
// under a temporary name and renamed into place only when complete; an existing file gets
// the table in one transaction. Either way a failure, or an interrupt (SIGINT, SIGTERM,
// SIGHUP), leaves nothing half-written.

#include <signal.h>
#include <unistd.h>

#include <csignal>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <vector>

#include "database/database_error.h"
#include "database/sample_goods.h"
#include "platform/oledb/connection.h"
#include "platform/oledb/connection_secrets.h"
#include "platform/oledb/pg_connection_text.h"
#include "platform/oledb/signal_stop.h"
#include "tools/i18n/tool_text.h"
#include "tools/session/stop_signals.h"
#ifdef ROWLARK_SAMPLE_DB_SERVER
#include "database/postgres/server_goods.h"
#endif

namespace fs = std::filesystem;
using rowlark::database::CreateGoodsTable;
using rowlark::database::DatabaseError;
using rowlark::database::GoodsOptions;

namespace {

using tool_text::_;
using tool_text::Fill;

const char* Usage() {
    return _("usage: make_sample_db [--table NAME] [--name-order russian|bytes] [--] PATH|CONNECTION_STRING ROWS [SEED]");
}

// One line on standard error, after the program's name.
void Complain(const std::string& text) { std::fprintf(stderr, "make_sample_db: %s\n", text.c_str()); }

// A stopping signal only raises a flag (tools/session/stop_signals.h); the database stops its
// statement at the next check (Connection::StopWhen) and the build unwinds as after any failure: the
// temporary file is removed, an existing file's transaction rolled back.
bool StopAsked() { return tools::g_stop_signal != 0; }

struct Interrupted : std::runtime_error {
    Interrupted() : std::runtime_error(_("interrupted; nothing written")) {}
};

template <typename T>
std::optional<T> ParseWhole(std::string_view text) {
    T value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

struct Arguments {
    std::string path;
    GoodsOptions goods;
};

bool IsServer(const std::string& target) { return oledb_backend::IsPostgresConnectionText(target); }

// The target as messages name it: a connection string may hold a password, so it is not repeated,
// and any other text shows none.
std::string Shown(const std::string& target) {
    return IsServer(target) ? "PostgreSQL server" : oledb_backend::HidePasswords(target);
}

// Reads the command line; prints why and answers none when it is wrong.
std::optional<Arguments> ReadArguments(int argc, char** argv) {
    Arguments args;
    std::vector<std::string_view> positional;
    bool options_end = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!options_end && arg == "--") {
            options_end = true;
        } else if (!options_end && arg == "--table") {
            if (i + 1 >= argc || std::string_view(argv[i + 1]).empty()) {
                Complain(std::string(_("--table needs a name")) + "; " + Usage());
                return std::nullopt;
            }
            args.goods.table = argv[++i];
        } else if (!options_end && arg == "--name-order") {
            // The name tag's order: a Russian dictionary's (the default) or the texts' bytes.
            const std::string_view order = i + 1 < argc ? std::string_view(argv[i + 1]) : std::string_view();
            if (order != "russian" && order != "bytes") {
                Complain(std::string(_("--name-order takes russian or bytes")) + "; " + Usage());
                return std::nullopt;
            }
            args.goods.name_order = order == "russian" ? rowlark::database::TextOrder::Russian
                                                       : rowlark::database::TextOrder::Bytes;
            ++i;
        } else if (!options_end && arg.size() > 1 && arg[0] == '-' && !ParseWhole<long long>(arg)) {
            Complain(Fill(_("unknown option %s (a path that begins with '-' goes after --)"), {argv[i]}) + "; " + Usage());
            return std::nullopt;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() < 2 || positional.size() > 3) {
        Complain(std::string(_("PATH and ROWS are needed, SEED may follow")) + "; " + Usage());
        return std::nullopt;
    }
    args.path = std::string(positional[0]);
    const auto rows = ParseWhole<std::int64_t>(positional[1]);
    if (!rows || *rows < 0) {
        Complain(Fill(_("ROWS must be a whole number 0 or more, got '%s'"), {std::string(positional[1])}));
        return std::nullopt;
    }
    args.goods.rows = *rows;
    if (positional.size() == 3) {
        const auto seed = ParseWhole<std::uint64_t>(positional[2]);
        if (!seed) {
            Complain(Fill(_("SEED must be a whole number 0 or more, got '%s'"), {std::string(positional[2])}));
            return std::nullopt;
        }
        args.goods.seed = *seed;
    }
    return args;
}

// Opens the SQLite file exactly as named (creating it only when asked), stopping on a signal.
std::shared_ptr<oledb_backend::Connection> Open(const std::string& path, bool create) {
    try {
        auto db = oledb_backend::Connection::Open(oledb_backend::FileUri(path, create));
        db->StopWhen(StopAsked);
        return db;
    } catch (const oledb_backend::OpenFailure& failure) {
        throw DatabaseError(failure.reason());
    }
}

void NoteWords(const Arguments& args, const rowlark::database::GoodsReport& report) {
    if (!report.words_from_dictionary)
        Complain(Fill(_("note: %s is missing or has no usable words; names use a built-in list"), {args.goods.dictionary}));
}

// What was made, after where it went (the digits plain: scripts read this line).
std::string Made(const Arguments& args) {
    return Fill(tool_text::Plural("table %s with %s row (seed %s)", "table %s with %s rows (seed %s)",
                                  static_cast<unsigned long long>(args.goods.rows)),
                {args.goods.table, std::to_string(args.goods.rows), std::to_string(args.goods.seed)});
}

void Report(const Arguments& args, const rowlark::database::GoodsReport& report) {
    NoteWords(args, report);
    std::printf("%s: %s\n", Shown(args.path).c_str(), Made(args).c_str());
}

// Adds the table to an existing database in one transaction.
int AddToExisting(const Arguments& args) {
    const auto db = Open(args.path, false);
    // Reading the schema also tells a file that is not a database.
    if (db->OpenCatalogue()->Table(args.goods.table)) {
        Complain(Fill(_("%s already has a table %s; nothing changed"), {Shown(args.path), args.goods.table}));
        return 1;
    }
    const auto report = CreateGoodsTable(*db, args.goods);
    Report(args, report);
    return 0;
}

// Builds a new file beside the target and renames it into place when complete.
int CreateNew(Arguments args) {
    const fs::path target(args.path);
    const fs::path temp = target.string() + ".tmp-" + std::to_string(::getpid());
    try {
        rowlark::database::GoodsReport report;
        {
            const auto db = Open(temp.string(), true);  // closed at the end of this block, before the rename
            args.goods.journal_off = true;  // the temporary file is thrown away on failure
            report = CreateGoodsTable(*db, args.goods);
        }
        if (tools::g_stop_signal != 0) throw Interrupted();
        if (fs::exists(target)) throw DatabaseError(_("the file appeared while it was being built; nothing changed"));
        fs::rename(temp, target);
        Report(args, report);
    } catch (...) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw;
    }
    return 0;
}

// Writes the table to a PostgreSQL server.
int WriteToServer(const Arguments& args) {
#ifdef ROWLARK_SAMPLE_DB_SERVER
    // Refused before libpq reads it: libpq would take a piece of the password for a host, say.
    const std::string misread = oledb_backend::MisreadPasswordAdvice(args.path);
    if (!misread.empty()) throw DatabaseError(misread);
    const auto report = rowlark::database::WriteGoodsToServer(args.path, args.goods, StopAsked);
    NoteWords(args, report);
    // The connection string may hold a password: not echoed.
    std::printf("%s: %s\n", _("PostgreSQL server"), Made(args).c_str());
    return 0;
#else
    (void)args;
    throw DatabaseError(_("this build has no PostgreSQL client library; only SQLite files can be written"));
#endif
}


}  // namespace

int main(int argc, char** argv) {
    tool_text::Start();
    const auto args = ReadArguments(argc, argv);
    if (!args) return 2;
    tools::g_stop_action = oledb_backend::EndArmedSession;  // a wait on the server ends at once
    tools::CatchStopSignals();
    int status = 1;
    try {
        if (IsServer(args->path)) status = WriteToServer(*args);
        else status = fs::exists(args->path) ? AddToExisting(*args) : CreateNew(*args);
    } catch (const std::exception& error) {
        if (tools::g_stop_signal == 0)
            std::fprintf(stderr, "make_sample_db: %s: %s\n", Shown(args->path).c_str(),
                         oledb_backend::HidePasswordsIn(error.what(), args->path).c_str());
    }
    if (status != 0 && tools::g_stop_signal != 0) {
        // Everything is cleaned up: end as the signal would have, so a calling script stops too.
        std::fprintf(stderr, "make_sample_db: %s: %s\n", Shown(args->path).c_str(), Interrupted().what());
        std::fflush(stderr);
        std::signal(tools::g_stop_signal, SIG_DFL);
        std::raise(tools::g_stop_signal);
    }
    return status;
}
