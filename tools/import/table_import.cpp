#include "tools/import/table_import.h"

#include "database/database_error.h"
#include "database/index_tags.h"
#include "tools/i18n/tool_text.h"

namespace import_tool {

namespace {

using oledb_backend::FieldValue;

constexpr std::uint32_t kProgressEvery = 4096;  // records between progress reports and stop checks

bool StopAsked(const WriteSettings& settings) { return settings.stop && settings.stop(); }

std::uint64_t WriteRows(oledb_backend::BulkWriter& writer, const TablePlan& plan, const WriteSettings& settings,
               ProgressSink& progress) {
    const auto reader = rowlark::foxpro::TableReader::Open(plan.source.dbf, settings.reader);
    if (reader->Columns().size() != plan.fields.size())
        throw std::runtime_error(plan.source.dbf + ": the table changed while it was being imported");
    const std::size_t first = plan.recno_column ? 1 : 0;
    std::vector<FieldValue> row(plan.columns.size());
    rowlark::foxpro::Record record;
    std::uint64_t rows = 0;
    while (reader->Next(record)) {
        if (plan.recno_column) row[0] = FieldValue::Int(record.number);
        for (std::size_t i = 0; i < record.values.size(); ++i)
            row[first + i] = MapValue(record.values[i], plan.columns[first + i]);
        writer.Add(row);
        ++rows;
        if (record.number % kProgressEvery == 0) {
            if (StopAsked(settings)) throw Interrupted();
            const std::uint64_t share = plan.records ? plan.bytes * record.number / plan.records : plan.bytes;
            progress.Advance(record.number, share);
        }
    }
    progress.Advance(plan.records, plan.bytes);
    return rows;
}

// A tag on SQLite: the tag catalogue's own savepoint undoes a refused one.
void AddSqliteTag(oledb_backend::Connection& db, const TablePlan& plan, const PlannedTag& tag) {
    using rowlark::database::TagKind;
    rowlark::database::AddIndexTag(db, plan.source.name, tag.tag, tag.expression, plan.key,
                                   tag.number ? TagKind::Number : TagKind::Text);
}

// A tag on the server, inside a savepoint: a refused tag would otherwise abort the whole transaction.
void AddServerTag(oledb_backend::Connection& db, const TablePlan& plan, const PlannedTag& tag) {
    using oledb_backend::SqlValue;
    db.Execute("SAVEPOINT rowlark_import_tag");
    try {
        const oledb_backend::NamedParams params{{"t", SqlValue::Text(plan.source.name)},
                                                {"g", SqlValue::Text(tag.tag)},
                                                {"e", SqlValue::Text(tag.expression)},
                                                {"k", SqlValue::Text(plan.key)},
                                                {"n", SqlValue::Text(tag.number ? "number" : "text")}};
        auto cursor = db.RunStatement("SELECT public.rowlark_add_index_tag(:t, :g, :e, :k, :n)", params,
                                      oledb_backend::Reading::kWhole);
        while (cursor->Step()) {
        }
    } catch (const oledb_backend::CursorError&) {
        db.Execute("ROLLBACK TO SAVEPOINT rowlark_import_tag");
        throw;
    }
    db.Execute("RELEASE SAVEPOINT rowlark_import_tag");
}

std::vector<SkippedTag> AddTags(oledb_backend::Connection& db, const TablePlan& plan, const WriteSettings& settings) {
    std::vector<SkippedTag> refused;
    if (plan.tags.empty()) return refused;
    if (settings.engine == Engine::kServer && !db.OpenCatalogue()->KeepsTags()) {
        for (const PlannedTag& tag : plan.tags)
            refused.push_back({tag.tag, tool_text::_("the server has no tag catalogue (database/postgres/rowlark.sql)")});
        return refused;
    }
    for (const PlannedTag& tag : plan.tags) {
        try {
            if (settings.engine == Engine::kServer) AddServerTag(db, plan, tag);
            else AddSqliteTag(db, plan, tag);
        } catch (const std::runtime_error& error) {
            // A stop shows as the database's failure: it is no reason to leave a tag out.
            if (StopAsked(settings)) throw Interrupted();
            refused.push_back({tag.tag, error.what()});
        }
    }
    return refused;
}

}  // namespace

TableWritten WriteTable(oledb_backend::Connection& db, const TablePlan& plan, const WriteSettings& settings,
                                   ProgressSink& progress) {
    oledb_backend::TableDefinition table;
    table.name = plan.source.name;
    table.fields = plan.columns;
    table.primary_key = {plan.key};
    table.scratch = settings.scratch;
    progress.StartTable(plan);
    try {
        const auto writer = db.StartBulkWrite(table);
        TableWritten written;
        written.rows = WriteRows(*writer, plan, settings, progress);
        writer->EndRows();
        written.refused = AddTags(db, plan, settings);
        if (StopAsked(settings)) throw Interrupted();
        writer->Commit();
        progress.EndTable();
        return written;
    } catch (const oledb_backend::CursorError&) {
        progress.EndTable();
        if (StopAsked(settings)) throw Interrupted();
        throw;
    } catch (...) {
        progress.EndTable();
        throw;
    }
}

}  // namespace import_tool
