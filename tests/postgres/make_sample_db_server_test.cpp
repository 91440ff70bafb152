// make_sample_db with a PostgreSQL connection string as its target: the same rows as the SQLite file
// of the same seed, the same tags, QueryRows over them, and a refusal that changes nothing.

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "database/value_text.h"
#include "tests/postgres/postgres_fixture.h"

namespace rowlark::postgres::testing {
namespace {

namespace fs = std::filesystem;

class MakeSampleDbServer : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (IsSkipped()) return;
        table_ = "goods_" + std::to_string(::getpid());
        file_ = fs::path(::testing::TempDir()) / (table_ + ".db");
        fs::remove(file_);
    }
    void TearDown() override {
        if (!table_.empty()) {
            Try("SELECT rowlark_drop_index_tag($1, tag) FROM public.rowlark_index_tags WHERE table_schema = 'public' "
                "AND table_name = $1", {table_});
            Try("DROP TABLE IF EXISTS public.\"" + table_ + "\"");
            fs::remove(file_);
        }
        PgTest::TearDown();
    }
    // The tool's exit code; what it printed goes to output_.
    int Tool(const std::string& target, const std::string& rest) {
        const fs::path out = fs::path(::testing::TempDir()) / (table_ + ".out");
        // Its English lines, whatever the caller's locale.
        const std::string command = "LC_ALL=C.UTF-8 LANGUAGE= " + std::string(MAKE_SAMPLE_DB_PATH) + " --table " +
                                    table_ + " '" + target + "' " +
                                    rest + " >" + out.string() + " 2>&1";
        const int status = std::system(command.c_str());
        output_.clear();
        if (FILE* file = std::fopen(out.c_str(), "r")) {
            char line[512];
            while (std::fgets(line, sizeof line, file)) output_ += line;
            std::fclose(file);
        }
        fs::remove(out);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // Every row as "id|code|name|price|qty|note", prices as the shortest text of their double.
    std::vector<std::string> ServerRows() {
        std::vector<std::string> rows;
        for (const auto& r : Exec("SELECT id, code, name, price, qty, coalesce(note, '(null)') FROM public.\"" + table_ +
                                  "\" ORDER BY id"))
            rows.push_back(r[0] + "|" + r[1] + "|" + r[2] + "|" + database::FormatReal(std::stod(r[3])) + "|" + r[4] +
                           "|" + r[5]);
        return rows;
    }
    std::vector<std::string> FileRows() {
        sqlite3* db = nullptr;
        sqlite3_open_v2(file_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* select = nullptr;
        sqlite3_prepare_v2(db, ("SELECT id, code, name, price, qty, coalesce(note, '(null)') FROM \"" + table_ +
                                "\" ORDER BY id").c_str(), -1, &select, nullptr);
        std::vector<std::string> rows;
        while (select && sqlite3_step(select) == SQLITE_ROW) {
            std::string row;
            for (int column = 0; column < 6; ++column)
                row += (column ? "|" : "") + database::ColumnAsText(select, column);
            rows.push_back(row);
        }
        sqlite3_finalize(select);
        sqlite3_close(db);
        return rows;
    }
    std::string table_;
    fs::path file_;
    std::string output_;
};

TEST_F(MakeSampleDbServer, WritesTheRowsAndTagsOfTheSqliteFileOfTheSameSeed) {
    ASSERT_EQ(Tool(ServerConnectionString(), "3000 5"), 0) << output_;
    EXPECT_EQ(output_, "PostgreSQL server: table " + table_ + " with 3000 rows (seed 5)\n");
    ASSERT_EQ(Tool(file_.string(), "3000 5"), 0) << output_;
    const auto server = ServerRows();
    ASSERT_EQ(server.size(), 3000u);
    EXPECT_EQ(server, FileRows());
    const auto tags = Exec("SELECT string_agg(tag || ':' || kind || ':' || key_field, ',' ORDER BY tag) FROM "
                           "public.rowlark_index_tags WHERE table_schema = 'public' AND table_name = $1", {table_});
    EXPECT_EQ(tags[0][0], "code:text:id,name:text:id,price:number:id");
    Call call;
    call.table = table_;
    call.tag = "code";
    call.count = 2;
    EXPECT_EQ(Answer(call).size(), 2u);
}

TEST_F(MakeSampleDbServer, ExistingTableIsRefusedAndKept) {
    ASSERT_EQ(Tool(ServerConnectionString(), "10"), 0) << output_;
    EXPECT_EQ(Tool(ServerConnectionString(), "20"), 1);
    EXPECT_EQ(output_, "make_sample_db: PostgreSQL server: the server already has a table " + table_ +
                           "; nothing changed\n");
    EXPECT_EQ(Exec("SELECT count(*) FROM public.\"" + table_ + "\"")[0][0], "10");
}

TEST_F(MakeSampleDbServer, ServerThatCannotBeReachedIsAOneLineErrorWithoutThePassword) {
    EXPECT_EQ(Tool("host=127.0.0.1 port=1 dbname=rowlark password=secret connect_timeout=5", "10"), 1);
    EXPECT_EQ(output_.rfind("make_sample_db: PostgreSQL server: cannot connect: ", 0), 0u) << output_;
    EXPECT_EQ(output_.find("secret"), std::string::npos);
    EXPECT_EQ(std::count(output_.begin(), output_.end(), '\n'), 1) << output_;
}

}  // namespace
}  // namespace rowlark::postgres::testing
