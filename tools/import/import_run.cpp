#include "tools/import/import_run.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "database/database_error.h"
#include "platform/oledb/pg_connection_text.h"
#include "platform/oledb/signal_stop.h"
#include "tools/i18n/tool_text.h"
#include "tools/import/name_text.h"

namespace import_tool {

namespace {

namespace fs = std::filesystem;
using oledb_backend::Connection;
using rowlark::database::DatabaseError;

// Only containers give no table: every one they list is missing, or they list none.
[[noreturn]] void RefuseEmptyContainers(const ImportRequest& request, const std::vector<std::string>& missing) {
    const auto joined = [](const std::vector<std::string>& names) {
        std::string text;
        for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
        return text;
    };
    if (missing.empty())
        throw DatabaseError(tool_text::Fill(tool_text::_("%s: no table to import: the container lists none"),
                                            {joined(request.inputs)}));
    throw DatabaseError(tool_text::Fill(tool_text::_("%s: no table to import: the files of the tables it lists are missing (%s)"),
                                        {joined(request.inputs), joined(missing)}));
}

std::vector<TablePlan> PlanAll(const ImportRequest& request, Engine engine, ImportReport& report) {
    std::vector<SourceTable> sources = ListSourceTables(request.inputs, report.missing);
    if (sources.empty()) RefuseEmptyContainers(request, report.missing);
    if (!request.table.empty()) {
        if (sources.size() != 1) throw UsageError("--table names the table of a single .dbf; these inputs hold " +
                                                  std::to_string(sources.size()) + " tables");
        sources.front().name = request.table;
    }
    for (const RequestedTag& tag : request.tags) {
        bool known = tag.table.empty() && sources.size() == 1;
        for (const SourceTable& source : sources) known = known || LowerName(source.name) == LowerName(tag.table);
        if (!known)
            throw UsageError(tag.table.empty() ? "--tag " + tag.tag + " needs its table (TABLE:TAG=EXPRESSION) with several tables"
                                               : "--tag " + tag.tag + ": no table " + tag.table + " is imported");
    }
    std::vector<TablePlan> plans;
    for (const SourceTable& source : sources) {
        for (const TablePlan& earlier : plans)
            if (LowerName(earlier.source.name) == LowerName(source.name))
                throw UsageError(tool_text::Fill(tool_text::_("two tables would be named %s (%s, %s)"),
                                                 {source.name, earlier.source.dbf, source.dbf}));
        try {
            plans.push_back(PlanTable(source, engine, request.tags, request.reader));
        } catch (const std::invalid_argument& refused) {
            throw UsageError(refused.what());
        }
    }
    return plans;
}

std::shared_ptr<Connection> Open(const std::string& text, const std::function<bool()>& stop) {
    try {
        auto db = Connection::Open(text);
        db->StopWhen(stop);
        return db;
    } catch (const oledb_backend::OpenFailure& failure) {
        throw DatabaseError(failure.reason());
    }
}

// Every table the import makes must be new: the target is refused whole, before anything is written.
void CheckNamesFree(Connection& db, const std::vector<TablePlan>& plans) {
    const auto catalogue = db.OpenCatalogue();
    for (const TablePlan& plan : plans)
        if (catalogue->Table(plan.source.name))
            throw DatabaseError(
                tool_text::Fill(tool_text::_("the target already has a table %s; nothing changed"), {plan.source.name}));
}

TableReport Reported(const TablePlan& plan, TableWritten written) {
    TableReport table{plan.source.name, plan.key, plan.recno_column, written.rows, {}, plan.skipped, plan.warnings};
    for (const PlannedTag& tag : plan.tags) {
        bool refused = false;
        for (const SkippedTag& skipped : written.refused) refused = refused || skipped.tag == tag.tag;
        if (!refused) table.tags.push_back(tag.tag);
    }
    table.skipped.insert(table.skipped.end(), written.refused.begin(), written.refused.end());
    table.warnings.insert(table.warnings.end(), written.warnings.begin(), written.warnings.end());
    return table;
}

// Writes every table inside one transaction, so the import is kept whole or not at all: a failure
// or a stop rolls it back here, and a killed process or a lost server session leaves a transaction
// the database itself rolls back (SQLite's journal at the next opening, the server at once).
void WriteAll(Connection& db, const std::vector<TablePlan>& plans, const WriteSettings& settings, ProgressSink& progress,
              ImportReport& report) {
    CheckNamesFree(db, plans);
    db.Execute("BEGIN");
    try {
        for (const TablePlan& plan : plans) report.tables.push_back(Reported(plan, WriteTable(db, plan, settings, progress)));
        if (settings.stop && settings.stop()) throw Interrupted();
        // From here a stop no longer ends the server session: the COMMIT's outcome is what is reported.
        oledb_backend::DisarmSignalStop();
        db.Execute("COMMIT");
    } catch (...) {
        report.tables.clear();
        db.StopWhen({});  // the undoing itself is not stopped
        try {
            db.Execute("ROLLBACK");
        } catch (const oledb_backend::CursorError&) {
            // Already ended: SQLite rolls back by itself after some failures (a full disk), a lost
            // server session took its transaction with it.
        }
        throw;
    }
}

constexpr char kTemporaryMark[] = ".tmp-";  // a new file being built: TARGET.tmp-PID

// The process that builds a temporary file, from its name (TARGET.tmp-PID, or with SQLite's -journal
// after it), when TARGET is target_name or, without one, any name; 0 for a name of another kind.
pid_t BuilderOf(const std::string& name, const std::string& target_name) {
    std::size_t mark = std::string::npos;
    if (target_name.empty())
        mark = name.find(kTemporaryMark);
    else if (name.rfind(target_name + kTemporaryMark, 0) == 0)
        mark = target_name.size();
    if (mark == 0 || mark == std::string::npos) return 0;
    const std::size_t digits = mark + sizeof kTemporaryMark - 1;
    const std::size_t end = std::min(name.find_first_not_of("0123456789", digits), name.size());
    if (end == digits || end - digits > 9 || (end < name.size() && name[end] != '-')) return 0;
    return static_cast<pid_t>(std::stol(name.substr(digits, end - digits)));
}

// Builds a new SQLite file beside path and renames it into place when complete.
void WriteNewFile(const std::string& path, const std::vector<TablePlan>& plans, const WriteSettings& settings,
                  ProgressSink& progress, ImportReport& report) {
    const fs::path target(path);
    RemoveAbandonedTemporaries(target.parent_path().empty() ? fs::path(".") : target.parent_path(),
                               target.filename().string());
    const std::string temp = path + kTemporaryMark + std::to_string(::getpid());
    try {
        {
            const auto db = Open(oledb_backend::FileUri(temp, true), settings.stop);
            // Thrown away on failure: the journal stays in memory, only for rolling back a refused tag.
            db->Execute("PRAGMA journal_mode = MEMORY; PRAGMA synchronous = OFF");
            WriteAll(*db, plans, settings, progress, report);
        }  // closed before the rename
        if (settings.stop && settings.stop()) throw Interrupted();
        std::error_code error;
        if (fs::exists(path, error)) throw DatabaseError(tool_text::_("the file appeared while it was being built; nothing changed"));
        fs::rename(temp, path);
    } catch (...) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        fs::remove(temp + "-journal", ignored);
        throw;
    }
}

}  // namespace

bool IsServerTarget(const std::string& target) {
    std::error_code error;
    return oledb_backend::IsPostgresConnectionText(target) && !fs::exists(target, error);
}

void RemoveAbandonedTemporaries(const fs::path& folder, const std::string& target_name) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const pid_t builder = BuilderOf(it->path().filename().string(), target_name);
        if (builder > 0 && ::kill(builder, 0) != 0 && errno == ESRCH) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

ImportReport RunImport(const ImportRequest& request, ProgressSink& progress) {
    const Engine engine = IsServerTarget(request.target) ? Engine::kServer : Engine::kSqlite;
    ImportReport report;
    const std::vector<TablePlan> plans = PlanAll(request, engine, report);
    WriteSettings settings;
    settings.engine = engine;
    settings.reader = request.reader;
    settings.stop = request.stop;
    std::error_code error;
    if (engine == Engine::kServer) {
        const auto db = Open(request.target, request.stop);
        const oledb_backend::SignalStopArmed armed(*db);
        WriteAll(*db, plans, settings, progress, report);
    } else if (fs::exists(request.target, error)) {
        if (fs::is_directory(request.target, error))
            throw DatabaseError(tool_text::_("the target is a folder, not a database file"));
        const auto db = Open(oledb_backend::FileUri(request.target), request.stop);
        WriteAll(*db, plans, settings, progress, report);
    } else {
        WriteNewFile(request.target, plans, settings, progress, report);
    }
    return report;
}

}  // namespace import_tool
