// The copy a .dbf is opened through (grid FILE.dbf, script --db FILE.dbf): made once, opened again
// while the files are unchanged, made anew (the old copy removed) when a file changes.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "tests/import/import_fixture.h"
#include "tools/import/dbf_cache.h"

namespace import_test {
namespace {

namespace fs = std::filesystem;

class DbfCache : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/rowlark_dbf_cache.XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        work_ = folder;
        ::setenv("XDG_CACHE_HOME", (work_ + "/cache").c_str(), 1);
        fs::create_directories(work_ + "/data");
        for (const char* name : {"calls.dbf", "calls.FPT", "calls.CDX"})
            fs::copy_file(kData + "/vfp_database/" + name, work_ + "/data/" + name);
    }
    void TearDown() override {
        ::unsetenv("XDG_CACHE_HOME");
        fs::remove_all(work_);
    }

    std::vector<std::string> Cached() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(work_ + "/cache/rowlark")) names.push_back(entry.path().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string work_;
    import_tool::ProgressSink quiet_;
};

TEST_F(DbfCache, SecondOpeningReusesTheCopyAndAChangedFileMakesANewOne) {
    const std::string dbf = work_ + "/data/calls.dbf";
    const auto first = import_tool::OpenCachedTable(dbf, quiet_, {});
    EXPECT_EQ(first.table, "calls");
    EXPECT_EQ(Cached(), (std::vector<std::string>{first.database}));
    const auto made = fs::last_write_time(first.database);

    const auto again = import_tool::OpenCachedTable(dbf, quiet_, {});
    EXPECT_EQ(again.database, first.database);
    EXPECT_EQ(fs::last_write_time(first.database), made);  // not imported again

    // The memo file changes (its time of change moves on): a new copy, the old one gone.
    const std::string memo = work_ + "/data/calls.FPT";
    fs::last_write_time(memo, fs::last_write_time(memo) + std::chrono::seconds(5));
    const auto changed = import_tool::OpenCachedTable(dbf, quiet_, {});
    EXPECT_NE(changed.database, first.database);
    EXPECT_EQ(Cached(), (std::vector<std::string>{changed.database}));
}

TEST_F(DbfCache, ToolsGetTheCopysPathAndTableAndOtherPathsAsTheyAre) {
    std::string path = work_ + "/data/calls.dbf", table;
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
    std::string path = work_ + "/data/calls.dbf", table;
    EXPECT_FALSE(import_tool::OpenDbfForTool("test", path, table));
    EXPECT_EQ(path, work_ + "/data/calls.dbf");
    EXPECT_TRUE(Cached().empty());
}

}  // namespace
}  // namespace import_test
