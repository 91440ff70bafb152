#include "tools/import/table_import.h"

#include "database/database_error.h"
#include "database/index_tags.h"
#include "foxpro/error.h"
#include "tools/i18n/tool_text.h"
#include "tools/import/faithful_values.h"
#include "tools/import/record_places.h"

namespace import_tool {

namespace {

using oledb_backend::FieldValue;

constexpr std::uint32_t kProgressEvery = 4096;  // records between progress reports and stop checks

bool StopAsked(const WriteSettings& settings) { return settings.stop && settings.stop(); }

// The FoxPro field a column holds, as the file names it; the column itself when none does (recno).
std::string FieldOfColumn(const TablePlan& plan, const std::string& column) {
    const std::size_t first = plan.recno_column ? 1 : 0;
    for (std::size_t i = first; i < plan.columns.size(); ++i)
        if (plan.columns[i].name == column) return plan.fields[i - first].name;
    return column;
}

[[noreturn]] void Refuse(const TablePlan& plan, std::uint32_t record, const std::string& column, const std::string& what) {
    const rowlark::foxpro::ErrorPlace place{plan.source.dbf, record, column.empty() ? column : FieldOfColumn(plan, column)};
    throw rowlark::database::DatabaseError(rowlark::foxpro::DescribeError(place, what));
}

// One record's values as the row written for it.
void MapRecord(rowlark::foxpro::Record& record, const TablePlan& plan, std::vector<FieldValue>& row) {
    const std::size_t first = plan.recno_column ? 1 : 0;
    if (plan.recno_column) row[0] = FieldValue::Int(record.number);
    for (std::size_t i = 0; i < record.values.size(); ++i) {
        try {
            row[first + i] = MapValue(record.values[i], plan.columns[first + i]);
        } catch (const std::invalid_argument& mismatch) {
            Refuse(plan, record.number, plan.columns[first + i].name, mismatch.what());
        }
    }
}

// A warning for each memo field whose texts were cut before bytes other than NUL.
void WarnOfCutMemos(const TablePlan& plan, const FaithfulValues& faithful, std::vector<std::string>& warnings) {
    for (std::size_t i = 0; i < plan.fields.size(); ++i) {
        const std::uint64_t cut = faithful.CutMemos()[i];
        if (cut == 0) continue;
        warnings.push_back(tool_text::Fill(
            tool_text::Plural("memo field %s: %s record held a NUL byte; its text is kept up to it",
                              "memo field %s: %s records held a NUL byte; their texts are kept up to it", cut),
            {plan.fields[i].name, std::to_string(cut)}));
    }
}

std::uint64_t WriteRows(oledb_backend::BulkWriter& writer, const TablePlan& plan, const WriteSettings& settings,
                        ProgressSink& progress, RecordPlaces& places, std::vector<std::string>& warnings) {
    const auto reader = rowlark::foxpro::TableReader::Open(plan.source.dbf, ImportReading(settings.reader));
    if (reader->Columns().size() != plan.fields.size())
        throw std::runtime_error(plan.source.dbf + ": the table changed while it was being imported");
    FaithfulValues faithful(plan.fields);
    std::vector<FieldValue> row(plan.columns.size());
    rowlark::foxpro::Record record;
    std::uint64_t rows = 0;
    while (reader->Next(record)) {
        faithful.Apply(record.values);
        MapRecord(record, plan, row);
        places.Written(record.number);
        try {
            writer.Add(row);
        } catch (const oledb_backend::RowRefused& refused) {
            Refuse(plan, record.number, refused.field(), refused.what());
        }
        ++rows;
        if (record.number % kProgressEvery == 0) {
            if (StopAsked(settings)) throw Interrupted();
            const std::uint64_t share = plan.records ? plan.bytes * record.number / plan.records : plan.bytes;
            progress.Advance(record.number, share);
        }
    }
    progress.Advance(plan.records, plan.bytes);
    WarnOfCutMemos(plan, faithful, warnings);
    return rows;
}

// Ends the rows: a row the server refuses only now is named by the record it came from.
void EndRows(oledb_backend::BulkWriter& writer, const TablePlan& plan, const RecordPlaces& places) {
    try {
        writer.EndRows();
    } catch (const oledb_backend::RowRefused& refused) {
        Refuse(plan, places.RecordOf(refused.row()), refused.field(), refused.what());
    }
}

// A tag on SQLite: the tag catalogue's own savepoint undoes a refused one.
void AddSqliteTag(oledb_backend::Connection& db, const TablePlan& plan, const PlannedTag& tag) {
    using rowlark::database::TagKind;
    using rowlark::database::TextOrder;
    // A text tag orders as a Russian dictionary: UPPER(name) walks "а", "Б", "в", not the capitals first.
    rowlark::database::AddIndexTag(db, plan.source.name, tag.tag, tag.expression, plan.key,
                                   tag.number ? TagKind::Number : TagKind::Text,
                                   tag.number ? TextOrder::Bytes : TextOrder::Russian);
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
                                                {"n", SqlValue::Text(tag.number ? "number" : "text")},
                                                {"o", SqlValue::Text(tag.number ? "bytes" : "russian")}};
        auto cursor = db.RunStatement("SELECT public.rowlark_add_index_tag(:t, :g, :e, :k, :n, :o)", params,
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
    table.in_caller_transaction = true;
    progress.StartTable(plan);
    try {
        const auto writer = db.StartBulkWrite(table);
        TableWritten written;
        RecordPlaces places;
        written.rows = WriteRows(*writer, plan, settings, progress, places, written.warnings);
        EndRows(*writer, plan, places);
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
