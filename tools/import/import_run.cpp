#include "tools/import/import_run.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "database/database_error.h"
#include "database/index_tags.h"
#include "database/statement.h"
#include "platform/oledb/pg_connection_text.h"
#include "tools/i18n/tool_text.h"

namespace import_tool {

namespace {

namespace fs = std::filesystem;
using oledb_backend::AsciiLower;
using oledb_backend::Connection;
using rowlark::database::DatabaseError;

std::vector<TablePlan> PlanAll(const ImportRequest& request, Engine engine, ImportReport& report) {
    std::vector<SourceTable> sources = ListSourceTables(request.inputs, report.missing);
    if (sources.empty()) throw DatabaseError(tool_text::_("no table to import: every table the container lists is missing"));
    if (!request.table.empty()) {
        if (sources.size() != 1) throw UsageError("--table names the table of a single .dbf; these inputs hold " +
                                                  std::to_string(sources.size()) + " tables");
        sources.front().name = request.table;
    }
    for (const RequestedTag& tag : request.tags) {
        bool known = tag.table.empty() && sources.size() == 1;
        for (const SourceTable& source : sources) known = known || AsciiLower(source.name) == AsciiLower(tag.table);
        if (!known)
            throw UsageError(tag.table.empty() ? "--tag " + tag.tag + " needs its table (TABLE:TAG=EXPRESSION) with several tables"
                                               : "--tag " + tag.tag + ": no table " + tag.table + " is imported");
    }
    std::vector<TablePlan> plans;
    for (const SourceTable& source : sources) {
        for (const TablePlan& earlier : plans)
            if (AsciiLower(earlier.source.name) == AsciiLower(source.name))
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

// Drops tables this import wrote, with their tags, in one transaction.
void DropWritten(Connection& db, Engine engine, const std::vector<TableReport>& written) {
    db.Execute("BEGIN");
    try {
        for (const TableReport& table : written) {
            for (const std::string& tag : table.tags) {
                if (engine == Engine::kSqlite) {
                    rowlark::database::DropIndexTag(db, table.name, tag);
                    continue;
                }
                using oledb_backend::SqlValue;
                auto cursor = db.RunStatement("SELECT public.rowlark_drop_index_tag(:t, :g)",
                                              {{"t", SqlValue::Text(table.name)}, {"g", SqlValue::Text(tag)}},
                                              oledb_backend::Reading::kWhole);
                while (cursor->Step()) {
                }
            }
            db.Execute("DROP TABLE " + rowlark::database::QuoteIdentifier(table.name));
        }
        db.Execute("COMMIT");
    } catch (...) {
        db.Execute("ROLLBACK");
        throw;
    }
}

void WriteAll(Connection& db, const std::vector<TablePlan>& plans, const WriteSettings& settings, ProgressSink& progress,
              ImportReport& report) {
    CheckNamesFree(db, plans);
    for (const TablePlan& plan : plans) {
        try {
            TableWritten written = WriteTable(db, plan, settings, progress);
            TableReport table{plan.source.name, plan.key, plan.recno_column, written.rows, {}, plan.skipped};
            for (const PlannedTag& tag : plan.tags) {
                bool refused = false;
                for (const SkippedTag& skipped : written.refused) refused = refused || skipped.tag == tag.tag;
                if (!refused) table.tags.push_back(tag.tag);
            }
            table.skipped.insert(table.skipped.end(), written.refused.begin(), written.refused.end());
            report.tables.push_back(std::move(table));
        } catch (...) {
            if (!report.tables.empty()) {
                db.StopWhen({});  // the undoing itself is not stopped
                DropWritten(db, settings.engine, report.tables);
            }
            report.tables.clear();
            throw;
        }
    }
}

// Builds a new SQLite file beside path and renames it into place when complete.
void WriteNewFile(const std::string& path, const std::vector<TablePlan>& plans, WriteSettings settings,
                  ProgressSink& progress, ImportReport& report) {
    const std::string temp = path + ".tmp-" + std::to_string(::getpid());
    try {
        {
            const auto db = Open(oledb_backend::FileUri(temp, true), settings.stop);
            settings.scratch = true;  // thrown away on failure: no journal needed
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
