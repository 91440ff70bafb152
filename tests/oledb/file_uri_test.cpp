// A path handed to the connection as a "file:" URI opens exactly that file, whatever its characters,
// and never creates one.
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "oledb_fixture.h"
#include "platform/oledb/connection.h"

namespace fs = std::filesystem;

class FileUriOpen : public OleDbTest {
protected:
    void SetUp() override {
        OleDbTest::SetUp();
        dir_ = fs::temp_directory_path() / ("rowlark_file_uri_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::remove_all(dir_);
        OleDbTest::TearDown();
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The single value of table "mark" in the file opened through the URI of path.
    std::string MarkThrough(const std::string& path) {
        COLEDBData data;
        if (!data.Open(oledb_backend::FileUri(path).c_str())) return "not opened: " + LastError();
        OleDb::CCommandProxy command(data.CreateCommand());
        CString sql("SELECT x FROM mark");
        LONG count = 0;
        auto result = command.ExecuteStatementExternalDirect(sql, count);
        CValue x;
        if (!result.IsValid() || !result.GetRow(0) || !result.GetFieldValue(0, x)) return "no mark: " + LastError();
        return std::string(x.GetString().view());
    }
    fs::path dir_;
};

TEST_F(FileUriOpen, EscapesEverySyntaxCharacterAndKeepsPlainOnes) {
    EXPECT_EQ(oledb_backend::FileUri("/a b/x=1;y%?#.db"), "file:///a%20b/x%3D1%3By%25%3F%23.db?mode=rw");
    EXPECT_EQ(oledb_backend::FileUri("rel/A-z_0.9~"), "file:rel/A-z_0.9~?mode=rw");
    EXPECT_EQ(oledb_backend::FileUri("ы"), "file:%D1%8B?mode=rw");
}

TEST_F(FileUriOpen, OpensExactlyTheNamedFileWhateverItsCharacters) {
    const std::vector<std::string> names = {"товары.db", "a b=c;d.db", "Data Source=other.db", "50%?#&.db", "'q\".db"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string path = (dir_ / names[i]).string();
        {
            sqlite3* raw = nullptr;
            ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
            const std::string sql = "CREATE TABLE mark(x); INSERT INTO mark VALUES ('m" + std::to_string(i) + "')";
            EXPECT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(raw);
        }
        EXPECT_EQ(MarkThrough(path), "m" + std::to_string(i)) << names[i];
    }
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(Files(), sorted) << "no other file was created";
}

TEST_F(FileUriOpen, MissingFileIsRefusedAndNotCreated) {
    COLEDBData data;
    EXPECT_FALSE(data.Open(oledb_backend::FileUri((dir_ / "absent.db").string()).c_str()));
    EXPECT_NE(LastError().find("unable to open database file"), std::string::npos) << LastError();
    EXPECT_FALSE(data.IsOpen());
    EXPECT_TRUE(Files().empty());
}

TEST_F(FileUriOpen, RelativePathIsTakenFromTheCurrentFolder) {
    const fs::path before = fs::current_path();
    fs::current_path(dir_);
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open("rel=1.db", &raw), SQLITE_OK);
        sqlite3_exec(raw, "CREATE TABLE mark(x); INSERT INTO mark VALUES ('rel')", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
    }
    EXPECT_EQ(MarkThrough("rel=1.db"), "rel");
    fs::current_path(before);
    EXPECT_EQ(Files(), std::vector<std::string>{"rel=1.db"});
}
