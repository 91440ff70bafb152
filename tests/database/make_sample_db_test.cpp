// The make_sample_db tool: a complete file or a clear refusal, never a half-written one.

#include <sys/wait.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "tests/database/database_fixture.h"

namespace rowlark::database::testing {
namespace {

namespace fs = std::filesystem;

class MakeSampleDb : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(::testing::TempDir()) / ("rowlark_make_sample_db_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // The tool's exit code; its output goes to a file beside the database.
    int Tool(const std::string& args) {
        // Its English lines, whatever the caller's locale.
        const std::string command = "LC_ALL=C.UTF-8 LANGUAGE= " + std::string(MAKE_SAMPLE_DB_PATH) + " " + args + " >" +
                                    (dir_ / "out.txt").string() + " 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int RowCount(const fs::path& file, const std::string& table) {
        sqlite3* raw = nullptr;
        sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
        DbHandle db(raw);
        Statement count(db.get(), "SELECT count(*) FROM " + QuoteIdentifier(table));
        count.Step();
        return static_cast<int>(count.ColumnInt(0));
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_;
};

TEST_F(MakeSampleDb, MakesANewFileAndAddsAnotherTableToIt) {
    const fs::path db = dir_ / "sample.db";
    ASSERT_EQ(Tool(db.string() + " 120 5"), 0);
    EXPECT_EQ(RowCount(db, "goods"), 120);
    ASSERT_EQ(Tool(db.string() + " 30 --table stock"), 0);
    EXPECT_EQ(RowCount(db, "stock"), 30);
    EXPECT_EQ(RowCount(db, "goods"), 120);
    EXPECT_EQ(Files(), (std::vector<std::string>{"out.txt", "sample.db"})) << "no temporary file is left";
}

TEST_F(MakeSampleDb, ExistingTableIsRefusedAndTheFileKept) {
    const fs::path db = dir_ / "sample.db";
    ASSERT_EQ(Tool(db.string() + " 10"), 0);
    EXPECT_EQ(Tool(db.string() + " 99"), 1);
    EXPECT_EQ(RowCount(db, "goods"), 10);
}

TEST_F(MakeSampleDb, BadArgumentsAreRefusedAndNothingIsWritten) {
    const fs::path db = dir_ / "sample.db";
    for (const char* args : {"", " -5", " many", " 10 seed", " 10 1 2", " 10 --table", " 10 --bogus"})
        EXPECT_EQ(Tool(db.string() + args), 2) << args;
    EXPECT_EQ(Files(), (std::vector<std::string>{"out.txt"}));
}

TEST_F(MakeSampleDb, FileThatIsNotADatabaseIsRefusedUntouched) {
    const fs::path file = dir_ / "notes.txt";
    {
        std::FILE* out = std::fopen(file.c_str(), "w");
        ASSERT_NE(out, nullptr);
        std::fputs("just some text, long enough to not look like an empty database file at all.......\n", out);
        std::fclose(out);
    }
    const auto size = fs::file_size(file);
    EXPECT_EQ(Tool(file.string() + " 10"), 1);
    EXPECT_EQ(fs::file_size(file), size);
}

TEST_F(MakeSampleDb, UnwritableDirectoryFailsCleanly) {
    EXPECT_EQ(Tool((dir_ / "missing_dir" / "sample.db").string() + " 10"), 1);
    EXPECT_EQ(Files(), (std::vector<std::string>{"out.txt"}));
}

}  // namespace
}  // namespace rowlark::database::testing
