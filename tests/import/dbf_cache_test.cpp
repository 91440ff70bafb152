// The copy a .dbf is opened through (grid FILE.dbf, script --db FILE.dbf): made once, opened again
// while the files are unchanged, made anew (the old copy removed) when a file changes in any way;
// shared by two tools opening a new table at once; temporary files of a killed tool removed; a
// private copy when the cache folder cannot be written.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "tests/import/import_fixture.h"
#include "tools/import/dbf_cache.h"

namespace import_test {
namespace {

namespace fs = std::filesystem;

class DbfCache : public ::testing::Test {
protected:
    void SetUp() override {
        // The copies are SQLite files whatever the run's backend: one run is enough.
        if (test_support::TestBackend() == test_support::Backend::kPostgreSQL) GTEST_SKIP() << "the cache is SQLite's";
        char folder[] = "/tmp/rowlark_dbf_cache.XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        work_ = folder;
        ::setenv("XDG_CACHE_HOME", (work_ + "/cache").c_str(), 1);
        fs::create_directories(work_ + "/data");
        for (const char* name : {"calls.dbf", "calls.FPT", "calls.CDX"})
            fs::copy_file(kData + "/vfp_database/" + name, work_ + "/data/" + name);
        dbf_ = work_ + "/data/calls.dbf";
    }
    void TearDown() override {
        ::unsetenv("XDG_CACHE_HOME");
        if (!work_.empty()) fs::remove_all(work_);
    }

    std::vector<std::string> Cached() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(work_ + "/cache/rowlark"))
            if (entry.path().extension() == ".db") names.push_back(entry.path().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // The table's bytes with record 1's SUBJECT ("Buy flavored coffees.") beginning with that letter.
    std::string TableWith(char first_letter) {
        std::ifstream in(dbf_, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        std::string table = bytes.str();
        table[kSubject] = first_letter;
        return table;
    }

    static constexpr std::size_t kSubject = 488 + 1 + 4 + 4 + 8 + 8;  // header, deletion flag, the fields before

    std::string work_;
    std::string dbf_;
    import_tool::ProgressSink quiet_;
};

TEST_F(DbfCache, SecondOpeningReusesTheCopyAndAChangedFileMakesANewOne) {
    const auto first = import_tool::OpenCachedTable(dbf_, quiet_, {});
    EXPECT_EQ(first.table, "calls");
    EXPECT_TRUE(first.notice.empty()) << first.notice;
    EXPECT_EQ(Cached(), (std::vector<std::string>{first.database}));
    const auto made = fs::last_write_time(first.database);

    const auto again = import_tool::OpenCachedTable(dbf_, quiet_, {});
    EXPECT_EQ(again.database, first.database);
    EXPECT_EQ(fs::last_write_time(first.database), made);  // not imported again

    // The memo file changes (its time of change moves on): a new copy, the old one gone.
    const std::string memo = work_ + "/data/calls.FPT";
    fs::last_write_time(memo, fs::last_write_time(memo) + std::chrono::seconds(5));
    const auto changed = import_tool::OpenCachedTable(dbf_, quiet_, {});
    EXPECT_NE(changed.database, first.database);
    EXPECT_EQ(Cached(), (std::vector<std::string>{changed.database}));
}

TEST_F(DbfCache, RewriteInPlaceOrAFileMovedInWithTheSameSizeAndTimeMakesANewCopy) {
    const auto first = import_tool::OpenCachedTable(dbf_, quiet_, {});
    const auto written = fs::last_write_time(dbf_);
    {
        std::fstream file(dbf_, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(kSubject);
        file.put('b');
    }
    fs::last_write_time(dbf_, written);  // as a copy keeping its times leaves it
    const auto rewritten = import_tool::OpenCachedTable(dbf_, quiet_, {});
    EXPECT_NE(rewritten.database, first.database);
    EXPECT_EQ(Cached(), (std::vector<std::string>{rewritten.database}));

    // Another file put in its place by a rename, of the same size and time (and the first bytes back).
    std::ofstream(dbf_ + ".new", std::ios::binary) << TableWith('B');
    fs::last_write_time(dbf_ + ".new", written);
    fs::rename(dbf_ + ".new", dbf_);
    const auto replaced = import_tool::OpenCachedTable(dbf_, quiet_, {});
    EXPECT_NE(replaced.database, rewritten.database);
    EXPECT_EQ(Cached(), (std::vector<std::string>{replaced.database}));
}

TEST_F(DbfCache, ToolsGetTheCopysPathAndTableAndOtherPathsAsTheyAre) {
    std::string path = dbf_, table;
    ASSERT_TRUE(import_tool::OpenDbfForTool("test", path, table));
    EXPECT_EQ(table, "calls");
    EXPECT_EQ(path.rfind(work_ + "/cache/rowlark/", 0), 0u) << path;
    std::string other = work_ + "/goods.db", none;
    ASSERT_TRUE(import_tool::OpenDbfForTool("test", other, none));
    EXPECT_EQ(other, work_ + "/goods.db");
    EXPECT_TRUE(none.empty());
}

TEST_F(DbfCache, BadTableLeavesNoCopy) {
    fs::resize_file(work_ + "/data/calls.FPT", 1000);
    std::string path = dbf_, table;
    EXPECT_FALSE(import_tool::OpenDbfForTool("test", path, table));
    EXPECT_EQ(path, dbf_);
    EXPECT_TRUE(Cached().empty());
}

TEST_F(DbfCache, TemporaryFilesOfAToolThatIsGoneAreRemovedAndALiveOnesKept) {
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string folder = work_ + "/cache/rowlark/";
    fs::create_directories(folder);
    // An earlier state of some table, left half-built by a killed tool, and one being built now.
    const std::string left = folder + "00000000000000aa-00000000000000bb.db.tmp-" + std::to_string(gone);
    const std::string building = folder + "00000000000000aa-00000000000000cc.db.tmp-" + std::to_string(::getpid());
    for (const std::string& file : {left, left + "-journal", building}) std::ofstream(file) << "partial";

    const auto cached = import_tool::OpenCachedTable(dbf_, quiet_, {});
    EXPECT_FALSE(fs::exists(left));
    EXPECT_FALSE(fs::exists(left + "-journal"));
    EXPECT_TRUE(fs::exists(building));
    EXPECT_EQ(Cached(), (std::vector<std::string>{cached.database}));
}

// A tool opening the table in a process of its own. Its import says so on a pipe as it starts and,
// when held, waits there until released, so a test knows where each tool stands without timing.
class ToolProcess {
public:
    ToolProcess(const std::string& dbf, bool held) {
        for (int* ends : {started_, gate_, result_}) EXPECT_EQ(::pipe2(ends, O_CLOEXEC), 0);
        pid_ = ::fork();
        if (pid_ == 0) Run(dbf, held);
        for (const int end : {started_[1], gate_[0], result_[1]}) ::close(end);
    }
    ~ToolProcess() {
        if (pid_ > 0 && !finished_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        for (const int end : {started_[0], gate_[1], result_[0]}) ::close(end);
    }

    // Waits until the import starts (true) or the process ends without one (false).
    bool AwaitImport() {
        char mark = 0;
        imported_ = imported_ || ::read(started_[0], &mark, 1) == 1;
        return imported_;
    }
    void Release() { EXPECT_EQ(::write(gate_[1], "g", 1), 1); }
    bool Exited() {
        finished_ = finished_ || ::waitpid(pid_, &status_, WNOHANG) == pid_;
        return finished_;
    }
    // Whether the process waits for a lock another holds (a line "N: -> FLOCK ... PID ..." of /proc/locks).
    bool WaitsForALock() const {
        std::ifstream locks("/proc/locks");
        for (std::string line; std::getline(locks, line);) {
            std::istringstream words(line);
            std::string number, arrow, kind, advisory, mode, pid;
            if (words >> number >> arrow >> kind >> advisory >> mode >> pid && arrow == "->" && pid == std::to_string(pid_))
                return true;
        }
        return false;
    }
    // What the tool ended with, once it has: "ok:DATABASE" or "error:WHY".
    std::string Outcome() {
        if (!finished_) {
            EXPECT_EQ(::waitpid(pid_, &status_, 0), pid_);
        }
        finished_ = true;
        std::string outcome;
        char bytes[512];
        for (ssize_t got; (got = ::read(result_[0], bytes, sizeof bytes)) > 0;) outcome.append(bytes, static_cast<std::size_t>(got));
        return WIFEXITED(status_) ? outcome : "killed";
    }

private:
    class Signalling : public import_tool::ProgressSink {
    public:
        Signalling(int started, int gate) : started_(started), gate_(gate) {}
        void StartTable(const import_tool::TablePlan&) override {
            if (::write(started_, "s", 1) != 1) ::_exit(4);
            char go = 0;
            if (gate_ >= 0 && ::read(gate_, &go, 1) != 1) ::_exit(5);
        }

    private:
        int started_, gate_;
    };

    [[noreturn]] void Run(const std::string& dbf, bool held) {
        Signalling progress(started_[1], held ? gate_[0] : -1);
        std::string outcome;
        try {
            outcome = "ok:" + import_tool::OpenCachedTable(dbf, progress, {}).database;
        } catch (const std::exception& failure) {
            outcome = std::string("error:") + failure.what();
        }
        const bool written = ::write(result_[1], outcome.data(), outcome.size()) == static_cast<ssize_t>(outcome.size());
        ::_exit(written ? 0 : 6);
    }

    int started_[2] = {-1, -1}, gate_[2] = {-1, -1}, result_[2] = {-1, -1};
    pid_t pid_ = -1;
    int status_ = 0;
    bool finished_ = false, imported_ = false;
};

TEST_F(DbfCache, TwoToolsOpeningANewTableAtOnceBothOpenTheOneCopy) {
    ToolProcess first(dbf_, true);
    ASSERT_TRUE(first.AwaitImport()) << first.Outcome();
    // The second starts while the first is inside its import, and goes as far as it can: to the
    // first one's lock, or (without one) through an import of its own.
    ToolProcess second(dbf_, false);
    const timespec pause{0, 1000000};
    while (!second.WaitsForALock() && !second.Exited()) ::nanosleep(&pause, nullptr);  // polls a state
    first.Release();
    const std::string first_outcome = first.Outcome(), second_outcome = second.Outcome();
    EXPECT_EQ(first_outcome.rfind("ok:" + work_ + "/cache/rowlark/", 0), 0u) << first_outcome;
    EXPECT_EQ(second_outcome, first_outcome);
    EXPECT_FALSE(second.AwaitImport());  // it opened the first one's copy
    EXPECT_EQ(Cached().size(), 1u);
    // The lock lives only while a copy is being made: the folder holds the copy alone.
    const auto entries = fs::directory_iterator(work_ + "/cache/rowlark");
    EXPECT_EQ(std::distance(fs::begin(entries), fs::end(entries)), 1);
}

class DbfCachePrivateCopy : public DbfCache {
protected:
    void SetUp() override {
        DbfCache::SetUp();
        if (IsSkipped()) return;
        // A cache folder under a regular file cannot be made, whoever runs the test (root too).
        std::ofstream(work_ + "/not_a_folder") << "a file";
        ::setenv("XDG_CACHE_HOME", (work_ + "/not_a_folder").c_str(), 1);
        if (const char* temporary = std::getenv("TMPDIR")) saved_temporary_ = temporary;
        fs::create_directories(work_ + "/tmp");
        ::setenv("TMPDIR", (work_ + "/tmp").c_str(), 1);
    }
    void TearDown() override {
        if (saved_temporary_) {
            ::setenv("TMPDIR", saved_temporary_->c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
        DbfCache::TearDown();
    }

    std::optional<std::string> saved_temporary_;
};

TEST_F(DbfCachePrivateCopy, CacheFolderThatCannotBeWrittenGivesANoticeAndAPrivateCopy) {
    const auto cached = import_tool::OpenCachedTable(dbf_, quiet_, {});
    EXPECT_EQ(cached.table, "calls");
    EXPECT_EQ(cached.database.rfind(work_ + "/tmp/rowlark-", 0), 0u) << cached.database;
    EXPECT_TRUE(fs::is_regular_file(cached.database));
    EXPECT_EQ(cached.notice.rfind("the cache folder " + work_ + "/not_a_folder/rowlark cannot be written (", 0), 0u)
        << cached.notice;
    EXPECT_NE(cached.notice.find("; the table is imported into a temporary copy, removed on exit"), std::string::npos);
}

TEST_F(DbfCachePrivateCopy, PrivateCopyIsGoneWhenTheProgramEnds) {
    const pid_t tool = ::fork();
    if (tool == 0) {
        std::string path = dbf_, table;
        const bool opened = import_tool::OpenDbfForTool("test", path, table);
        std::exit(opened && fs::is_regular_file(path) ? 0 : 3);  // exit, not _exit: the program's end
    }
    int status = 0;
    ASSERT_EQ(::waitpid(tool, &status, 0), tool);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(fs::is_empty(work_ + "/tmp"));
}

}  // namespace
}  // namespace import_test
