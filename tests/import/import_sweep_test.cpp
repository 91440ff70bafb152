// Every crafted input we hold, imported through the import's own entry into a database that already
// holds tables with rows and tags: the import either succeeds and its tables read back through the
// layer (every row, texts without NUL, names in UTF-8), or refuses with one message naming the file
// (and the record and field where it is about one) and leaves the database exactly as it was.

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "database/index_tags.h"
#include "tests/import/crafted_inputs.h"
#include "tests/import/import_fixture.h"
#include "tests/import/table_patch.h"
#include "tools/import/name_text.h"

namespace import_test {
namespace {

namespace fs = std::filesystem;
using oledb_backend::FieldType;

// The corpus grows as the fuzzer finds new shapes; a run sweeps at most this many of its entries,
// every n-th in name order (crafted_inputs.h), so each run sweeps the same ones.
constexpr std::size_t kCorpusEntries = 40;

class ImportSweep : public ImportTest {
protected:
    // Imports the input into the target and checks what that left; the target is as before afterwards.
    void Sweep(const CraftedInput& input) {
        if (before_.empty()) {
            Import({"cp1251.dbf", "vfp_database/contacts.dbf"});  // the target's own tables, one with tags
            before_ = State();
        }
        SCOPED_TRACE(input.name);
        const fs::path folder = fs::path(work_.folder()) / std::to_string(++inputs_);
        fs::create_directory(folder);
        import_tool::ImportRequest request;
        request.inputs = {WriteInput(input, folder.string())};
        request.target = db_.connection_text();
        import_tool::ProgressSink quiet;
        try {
            const import_tool::ImportReport report = import_tool::RunImport(request, quiet);
            ExpectReadsBack(request.inputs, report);
            DropImported(report);
        } catch (const std::runtime_error& refusal) {
            ExpectNamesThePlace(refusal.what(), input, folder.string());
        } catch (const std::exception& fault) {
            ADD_FAILURE() << "not a refusal: " << fault.what();
        }
        EXPECT_EQ(State(), before_);
    }

    // The refusal is one line that begins with the path of one of the input's files.
    static void ExpectNamesThePlace(const std::string& message, const CraftedInput& input, const std::string& folder) {
        EXPECT_EQ(message.find('\n'), std::string::npos) << message;
        bool named = false;
        for (const auto& file : input.files) named = named || message.rfind(folder + "/" + file.first + ": ", 0) == 0;
        EXPECT_TRUE(named) << "the refusal names no file of the input: " << message;
        if (!input.place.empty()) {
            EXPECT_NE(message.find(input.place), std::string::npos) << message;
        }
    }

    // Every table the import reports reads back through the layer whole.
    void ExpectReadsBack(const std::vector<std::string>& inputs, const import_tool::ImportReport& report) {
        std::vector<std::string> missing;
        const auto layer = oledb_backend::Connection::Open(db_.connection_text());
        for (const import_tool::SourceTable& source : import_tool::ListSourceTables(inputs, missing)) {
            const auto table = std::find_if(report.tables.begin(), report.tables.end(),
                                            [&](const auto& t) { return t.name == source.name; });
            ASSERT_NE(table, report.tables.end()) << source.name << " was not imported";
            EXPECT_TRUE(import_tool::IsUtf8(table->name)) << table->name;
            const auto plan = import_tool::PlanTable(source, engine(), {}, {});
            const auto cursor = layer->RunStatement("SELECT * FROM " + Quoted(table->name), {}, oledb_backend::Reading::kWhole);
            ASSERT_EQ(static_cast<std::size_t>(cursor->ColumnCount()), plan.columns.size());
            for (int c = 0; c < cursor->ColumnCount(); ++c)
                EXPECT_TRUE(import_tool::IsUtf8(cursor->ColumnName(c))) << cursor->ColumnName(c);
            std::uint64_t rows = 0;
            for (; cursor->Step(); ++rows)
                for (int c = 0; c < cursor->ColumnCount(); ++c) ExpectText(cursor->Column(c), plan.columns[static_cast<std::size_t>(c)]);
            EXPECT_EQ(rows, table->rows) << table->name;
            EXPECT_EQ(rows, LiveRecords(source.dbf)) << table->name;
        }
    }

    // A text column's value is UTF-8 without NUL.
    static void ExpectText(const oledb_backend::SqlValue& value, const oledb_backend::FieldDefinition& column) {
        if (column.type != FieldType::kText || value.kind == oledb_backend::SqlValue::Kind::Null) return;
        EXPECT_EQ(value.text.find('\0'), std::string::npos) << column.name;
        EXPECT_TRUE(import_tool::IsUtf8(value.text)) << column.name;
    }

    static std::uint64_t LiveRecords(const std::string& dbf) {
        const auto reader = rowlark::foxpro::TableReader::Open(dbf, import_tool::ImportReading({}));
        rowlark::foxpro::Record record;
        std::uint64_t live = 0;
        while (reader->Next(record)) ++live;
        return live;
    }

    // Removes the imported tables and their tags through the database's own catalogue.
    void DropImported(const import_tool::ImportReport& report) {
        const auto layer = db_.on_server() ? nullptr : oledb_backend::Connection::Open(db_.connection_text());
        const auto server = db_.on_server() ? db_.OpenSession() : nullptr;
        for (const import_tool::TableReport& table : report.tables) {
            for (const std::string& tag : table.tags) {
                if (layer) rowlark::database::DropIndexTag(*layer, table.name, tag);
                else server->Query("SELECT public.rowlark_drop_index_tag($1, $2)", {table.name, tag});
            }
            db_.Exec("DROP TABLE " + Quoted(table.name));
        }
    }

    static std::string Quoted(const std::string& name) {
        std::string quoted = "\"";
        for (const char c : name) quoted += c == '"' ? std::string(2, c) : std::string(1, c);
        return quoted + "\"";
    }

    // Every relation of the target with its rows, the tag catalogue's rows of its tables, and on
    // SQLite the file's integrity and the files beside it that bear its name.
    std::string State() {
        std::ostringstream state;
        const auto relations = db_.Query(db_.on_server()
            ? "SELECT relname, relkind::text FROM pg_class WHERE relnamespace = current_schema()::regnamespace ORDER BY 1"
            : "SELECT name, type FROM sqlite_master ORDER BY 1");
        for (const auto& relation : relations) {
            state << *relation[0] << " " << *relation[1] << "\n";
            if (*relation[1] == "r" || *relation[1] == "table") state << Rows(*relation[0]);
        }
        if (db_.on_server()) {
            for (const auto& tag : db_.Column(
                     "SELECT c.relname || '.' || r.tag || ' ' || r.index_name FROM public.rowlark_index_tags r "
                     "JOIN pg_class c ON c.oid = r.table_oid WHERE c.relnamespace = current_schema()::regnamespace ORDER BY 1"))
                state << "tag " << tag << "\n";
            return state.str();
        }
        state << "integrity " << db_.Column("PRAGMA integrity_check").at(0) << "\n";
        const fs::path target(db_.connection_text());
        for (const auto& entry : fs::directory_iterator(target.parent_path())) {
            const std::string name = entry.path().filename().string();
            if (name != target.filename().string() && name.rfind(target.filename().string(), 0) == 0) state << "beside " << name << "\n";
        }
        return state.str();
    }

    // The table's rows, each as its values' texts, in their texts' order.
    std::string Rows(const std::string& table) {
        std::vector<std::string> rows;
        for (const auto& row : db_.Query("SELECT * FROM " + Quoted(table))) {
            std::string text;
            for (const auto& value : row) text += (value ? "'" + *value + "'" : "NULL") + " ";
            rows.push_back(text);
        }
        std::sort(rows.begin(), rows.end());
        std::string all;
        for (const auto& row : rows) all += "  " + row + "\n";
        return all;
    }

    PatchedTables work_;  // a folder of each input's files
    std::string before_;  // the target's state with its own tables; empty before the first input
    int inputs_ = 0;
};

TEST_F(ImportSweep, CorpusEntriesImportWholeOrLeaveTheTargetAsItWas) {
    const auto inputs = CorpusInputs(ROWLARK_DBF_CORPUS, kCorpusEntries);
    ASSERT_FALSE(inputs.empty());
    for (const CraftedInput& input : inputs) Sweep(input);
}

TEST_F(ImportSweep, DamagedCorpusTablesImportWholeOrAreRefusedByPlace) {
    const auto inputs = DamagedEntries(CorpusInputs(ROWLARK_DBF_CORPUS, kCorpusEntries));
    ASSERT_FALSE(inputs.empty());
    for (const CraftedInput& input : inputs) Sweep(input);
}

TEST_F(ImportSweep, DamagedTablesAreRefusedByNameAndLeaveTheTargetAsItWas) {
    for (const CraftedInput& input : DamagedTables(kData)) Sweep(input);
}

// The refusal named neither the container nor the tables it lists ("no table to import: ...").
TEST_F(ImportSweep, ContainerWithoutAnyOfItsTablesIsRefusedByNameAndItsTables) {
    const std::string folder = kData + "/vfp_database/";
    Sweep({"a container alone",
           {{"db.dbc", PatchedTables::Read(folder + "FOXPRO-DB-TEST.DBC")}, {"db.dct", PatchedTables::Read(folder + "FOXPRO-DB-TEST.DCT")}},
           "db.dbc",
           "calls ("});
}

}  // namespace
}  // namespace import_test
