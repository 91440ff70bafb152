// A bad file, a name already taken or a stop leaves the target as it was: on SQLite byte for byte,
// on the server without a table or tag of the import's.

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "database/database_error.h"
#include "foxpro/error.h"
#include "tests/import/import_fixture.h"

namespace import_test {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class ImportFailure : public ImportTest {
protected:
    void SetUp() override {
        ImportTest::SetUp();
        if (IsSkipped()) return;
        char folder[] = "/tmp/rowlark_import_failure.XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        work_ = folder;
        Import({"cp1251.dbf"});  // the target holds a table of its own before
        before_ = State();
    }
    void TearDown() override {
        if (!work_.empty()) fs::remove_all(work_);
    }

    // calls.dbf with its .cdx, and its memo file cut short: the memos of the later records run past its end.
    std::string CallsWithCutMemo() {
        for (const char* name : {"calls.dbf", "calls.CDX"}) fs::copy_file(kData + "/vfp_database/" + name, work_ + "/" + name);
        const std::string memo = ReadAll(kData + "/vfp_database/calls.FPT");
        std::ofstream(work_ + "/calls.FPT", std::ios::binary) << memo.substr(0, 1000);
        return work_ + "/calls.dbf";
    }

    // What must not change: the file's bytes on SQLite; the schema's tables and tags on the server.
    std::string State() {
        if (!db_.on_server()) return ReadAll(db_.connection_text());
        std::string state;
        for (const auto& name : db_.Column("SELECT tablename FROM pg_tables WHERE schemaname = current_schema() ORDER BY 1"))
            state += name + ";";
        for (const auto& tag : db_.Column("SELECT table_name || '.' || tag FROM public.rowlark_index_tag_list() ORDER BY 1"))
            state += tag + ";";
        return state;
    }

    import_tool::ImportRequest Request(const std::vector<std::string>& inputs) {
        import_tool::ImportRequest request;
        request.inputs = inputs;
        request.target = db_.connection_text();
        return request;
    }

    std::string work_;
    std::string before_;
    import_tool::ProgressSink quiet_;
};

TEST_F(ImportFailure, MemoRunningPastItsFileWritesNothing) {
    try {
        import_tool::RunImport(Request({CallsWithCutMemo()}), quiet_);
        ADD_FAILURE() << "the cut memo file was taken";
    } catch (const rowlark::foxpro::FoxProError& error) {
        EXPECT_NE(std::string(error.what()).find("calls.FPT"), std::string::npos) << error.what();
    }
    EXPECT_EQ(State(), before_);
}

TEST_F(ImportFailure, LaterBadTableTakesTheEarlierOnesBackOut) {
    EXPECT_THROW(import_tool::RunImport(Request({kData + "/dbase_31.dbf", kData + "/client.dbf", CallsWithCutMemo()}), quiet_),
                 rowlark::foxpro::FoxProError);
    if (db_.on_server()) EXPECT_EQ(State(), before_);
    // SQLite: the two tables written first are dropped again, so the file holds what it held.
    else EXPECT_EQ(db_.Column("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"),
                   (std::vector<std::string>{"cp1251"}));
}

TEST_F(ImportFailure, TruncatedTableIsRefusedBeforeWriting) {
    const std::string table = ReadAll(kData + "/dbase_03.dbf");
    std::ofstream(work_ + "/cut.dbf", std::ios::binary) << table.substr(0, table.size() / 2);
    EXPECT_THROW(import_tool::RunImport(Request({work_ + "/cut.dbf"}), quiet_), rowlark::foxpro::FoxProError);
    EXPECT_EQ(State(), before_);
}

TEST_F(ImportFailure, TableNameTakenIsRefusedWholeBeforeAnyTableIsWritten) {
    EXPECT_THROW(import_tool::RunImport(Request({kData + "/dbase_31.dbf", kData + "/cp1251.dbf"}), quiet_),
                 rowlark::database::DatabaseError);
    EXPECT_EQ(State(), before_);
}

TEST_F(ImportFailure, StopBetweenRecordsWritesNothing) {
    auto request = Request({kData + "/dbase_31.dbf"});
    int asked = 0;
    request.stop = [&] { return ++asked > 0; };  // dbase_31 has 77 records: the stop comes at its end
    EXPECT_THROW(import_tool::RunImport(request, quiet_), import_tool::Interrupted);
    EXPECT_GT(asked, 0);
    EXPECT_EQ(State(), before_);
}

TEST_F(ImportFailure, NewFileIsNotLeftBehindOnFailure) {
    if (db_.on_server()) GTEST_SKIP() << "a file of its own";
    auto request = Request({CallsWithCutMemo()});
    request.target = work_ + "/new.db";
    EXPECT_THROW(import_tool::RunImport(request, quiet_), rowlark::foxpro::FoxProError);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(work_)) left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"calls.CDX", "calls.FPT", "calls.dbf"}));
}

}  // namespace
}  // namespace import_test
