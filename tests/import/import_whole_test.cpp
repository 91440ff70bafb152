// An import of several tables is kept whole or not at all, whatever stops it part-way: a killed
// process, a lost server session, a full disk, a bad record. Each test makes the target hold
// tables of its own first, and checks afterwards that it holds exactly those, with their rows and tags.

#include <pwd.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "foxpro/error.h"
#include "tests/import/import_fixture.h"
#include "tests/import/table_patch.h"
#include "tests/support/server_text.h"

namespace import_test {
namespace {

namespace fs = std::filesystem;

// Calls when the second table's rows are all written.
class AtSecondTableEnd : public import_tool::ProgressSink {
public:
    explicit AtSecondTableEnd(std::function<void()> then) : then_(std::move(then)) {}
    void StartTable(const import_tool::TablePlan& plan) override {
        ++tables_;
        total_ = plan.records;
    }
    void Advance(std::uint32_t records, std::uint64_t) override {
        if (tables_ == 2 && records == total_) then_();
    }

private:
    std::function<void()> then_;
    int tables_ = 0;
    std::uint32_t total_ = 0;
};

class WholeImport : public ImportTest {
protected:
    void SetUp() override {
        ImportTest::SetUp();
        if (IsSkipped()) return;
        Import({"cp1251.dbf", "vfp_database/contacts.dbf"});  // the target's own tables, one with tags
        before_ = State();
    }

    // Tables, tags and rows of the target: what must not change.
    std::string State() {
        std::ostringstream state;
        const auto tables = db_.Column(db_.on_server()
            ? "SELECT tablename FROM pg_tables WHERE schemaname = current_schema() ORDER BY 1"
            : "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY 1");
        for (const auto& table : tables)
            state << table << ": " << db_.Column("SELECT count(*) FROM \"" + table + "\"").at(0) << " rows\n";
        const auto tags = db_.Column(db_.on_server()
            ? "SELECT table_name || '.' || tag FROM public.rowlark_index_tag_list() ORDER BY 1"
            : "SELECT table_name || '.' || tag FROM rowlark_index_tags ORDER BY 1");
        for (const auto& tag : tags) state << "tag " << tag << "\n";
        if (!db_.on_server()) state << "integrity " << db_.Column("PRAGMA integrity_check").at(0) << "\n";
        return state.str();
    }

    // Two tables: the first with index tags, the second larger.
    import_tool::ImportRequest TwoTables(const std::string& target) {
        import_tool::ImportRequest request;
        request.inputs = {kData + "/vfp_database/calls.dbf", kData + "/dbase_30.dbf"};
        request.target = target;
        return request;
    }

    std::string before_;
    import_tool::ProgressSink quiet_;
};

TEST_F(WholeImport, KilledDuringTheSecondTableLeavesTheTargetAsItWas) {
    const auto request = TwoTables(db_.connection_text());
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        // Ends its own process: no handler, no clean-up.
        AtSecondTableEnd sink([] { std::raise(SIGKILL); });
        try {
            import_tool::RunImport(request, sink);
        } catch (...) {
        }
        ::_exit(3);  // the import ended without being killed
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
    // SQLite rolls the killed transaction back from its journal here, at the next reading.
    EXPECT_EQ(State(), before_);
}

TEST_F(WholeImport, LostServerSessionDuringTheSecondTableLeavesNothing) {
    if (!db_.on_server()) GTEST_SKIP() << "a SQLite file has no session to lose";
    const std::string name = "rowlark_import_lost_" + std::to_string(::getpid());
    const auto request = TwoTables(test_support::WithServerParameters(db_.connection_text(), {{"application_name", name}}));
    const std::string victim = "FROM pg_stat_activity WHERE application_name = '" + name + "'";
    AtSecondTableEnd sink([&] {
        ASSERT_EQ(db_.Column("SELECT count(pg_terminate_backend(pid)) " + victim), (std::vector<std::string>{"1"}));
        while (db_.Column("SELECT count(*) " + victim).at(0) != "0") {
        }
    });
    EXPECT_THROW(import_tool::RunImport(request, sink), std::runtime_error);
    EXPECT_EQ(State(), before_);
}

TEST_F(WholeImport, CorruptRecordOfTheSecondTableLeavesTheTargetAsItWas) {
    PatchedTables tables;
    const std::string bad = tables.Copy({"dbase_03.dbf"});
    PatchedTables::WriteField(bad, 5, "Date_Visit", "20241345");  // no such day
    auto request = TwoTables(db_.connection_text());
    request.inputs[1] = bad;
    try {
        import_tool::RunImport(request, quiet_);
        ADD_FAILURE() << "the corrupt record was taken";
    } catch (const rowlark::foxpro::FoxProError& error) {
        EXPECT_NE(std::string(error.what()).find("record 5"), std::string::npos) << error.what();
    }
    EXPECT_EQ(State(), before_);
}

TEST_F(WholeImport, NewFileImportRemovesWhatKilledImportsLeftBesideIt) {
    if (db_.on_server()) GTEST_SKIP() << "a file of its own";
    PatchedTables tables;
    const std::string target = tables.folder() + "/new.db";
    const pid_t gone = ::fork();  // a process that has ended: its number names no running one
    ASSERT_NE(gone, -1);
    if (gone == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string dead = target + ".tmp-" + std::to_string(gone);
    const std::string live = target + ".tmp-" + std::to_string(::getppid());  // a running process's
    for (const std::string& path : {dead, dead + "-journal", live}) std::ofstream(path) << "left";
    import_tool::ImportRequest request;
    request.inputs = {kData + "/cp1251.dbf"};
    request.target = target;
    import_tool::RunImport(request, quiet_);
    EXPECT_TRUE(fs::exists(target));
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_FALSE(fs::exists(dead + "-journal"));
    EXPECT_TRUE(fs::exists(live));
}

// A disk that fills up during the second table: on SQLite a file size limit of the process
// (RLIMIT_FSIZE, its signal ignored: writes past it fail as on a full disk), on the server a
// tablespace on a small tmpfs (which needs root to mount: skipped without).
class FullDisk : public WholeImport {
protected:
    void TearDown() override { Lift(); }

    // The disk as it was: no limit, no small file system.
    void Lift() {
        if (limited_) {
            ::setrlimit(RLIMIT_FSIZE, &saved_limit_);
            std::signal(SIGXFSZ, SIG_DFL);
            limited_ = false;
        }
        if (!tablespace_.empty()) db_.Exec("DROP TABLESPACE IF EXISTS " + tablespace_);
        tablespace_.clear();
        if (!mount_.empty()) {
            ::umount(mount_.c_str());
            ::rmdir(mount_.c_str());
        }
        mount_.clear();
    }

    // Files may grow by bytes from now on.
    void LimitSqliteFiles(std::uintmax_t bytes) {
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved_limit_), 0);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_limit_;
        limit.rlim_cur = static_cast<rlim_t>(fs::file_size(db_.connection_text()) + bytes);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        limited_ = true;
    }

    // A connection string whose tables go to a tablespace of that many bytes.
    std::string SmallServerDisk(const std::string& size) {
        char folder[] = "/tmp/rowlark_full_disk.XXXXXX";
        if (::mkdtemp(folder) == nullptr) return {};
        if (::mount("tmpfs", folder, "tmpfs", 0, ("size=" + size).c_str()) != 0) {
            ::rmdir(folder);
            return {};
        }
        mount_ = folder;
        const passwd* server_user = ::getpwnam("postgres");
        if (server_user == nullptr || ::chown(folder, server_user->pw_uid, server_user->pw_gid) != 0) return {};
        const std::string name = "rowlark_full_disk_" + std::to_string(::getpid());
        try {
            db_.OpenSession()->Exec("CREATE TABLESPACE " + name + " LOCATION '" + mount_ + "'");
        } catch (const std::runtime_error&) {
            return {};  // a server elsewhere, or running as another user
        }
        tablespace_ = name;
        const std::string schema = db_.Column("SELECT current_schema()").at(0);
        return test_support::WithServerParameters(
            db_.connection_text(), {{"options", "-c search_path=" + schema + ",public -c default_tablespace=" + tablespace_}});
    }

    bool limited_ = false;
    rlimit saved_limit_{};
    std::string mount_;
    std::string tablespace_;
};

TEST_F(FullDisk, DuringTheSecondTableLeavesTheTargetAsItWas) {
    std::string target = db_.connection_text();
    if (db_.on_server()) {
        // calls takes 64 KiB with its indexes, dbase_30 about 100 KiB more.
        target = SmallServerDisk("128k");
        if (target.empty()) GTEST_SKIP() << "no small file system for the server (mounting one needs root, the server this machine)";
    } else {
        LimitSqliteFiles(96 * 1024);
    }
    // SQLite says "disk I/O error" past the limit, "database or disk is full" on a full disk.
    EXPECT_THROW(import_tool::RunImport(TwoTables(target), quiet_), std::runtime_error);
    Lift();
    EXPECT_EQ(State(), before_);
}

// Tables named like an SQL word or with a blank or a quote, written before a later table fails,
// are undone without touching tables that share part of their names.
TEST_F(WholeImport, TablesNamedLikeSqlWordsOrWithBlanksAndQuotesAreUndoneAlone) {
    for (const char* name : {"my", "table", "it", "s", "orders"}) {
        db_.Exec(std::string("CREATE TABLE \"") + name + "\" (id INTEGER PRIMARY KEY)");
        db_.Exec(std::string("INSERT INTO \"") + name + "\" VALUES (1)");
    }
    before_ = State();
    PatchedTables tables;
    import_tool::ImportRequest request;
    for (const char* name : {"order", "my table", "it's"}) request.inputs.push_back(tables.Copy({"dbase_03.dbf"}, name));
    // Last, a table whose memo file is cut short: its later records fail.
    request.inputs.push_back(tables.Copy({"vfp_database/calls.dbf", "vfp_database/calls.CDX", "vfp_database/calls.FPT"}));
    fs::resize_file(tables.folder() + "/calls.FPT", 1000);
    request.target = db_.connection_text();
    request.tags = {{"order", "by_type", "UPPER(type)"}, {"my table", "by_type", "type"}};
    EXPECT_THROW(import_tool::RunImport(request, quiet_), rowlark::foxpro::FoxProError);
    EXPECT_EQ(State(), before_);
}

}  // namespace
}  // namespace import_test
