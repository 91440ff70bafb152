// QueryRows on a connection with procedure memory: the kept statements and tag facts give the
// same answers as a fresh call, are forgotten whenever the database changes (by this connection,
// committed or not, or by another one), stay bounded, and no lock outlives a finished walk.

#include <filesystem>
#include <string>
#include <unistd.h>

#include "database/database_error.h"
#include "database/key_window_memory.h"
#include "tests/database/database_fixture.h"

namespace rowlark::database::testing {
namespace {

using oledb_backend::CursorError;
using oledb_backend::ProcedureMemory;
using oledb_backend::ProcedureSite;

class QueryRowsMemory : public ItemsDb {
protected:
    ProcedureSite Site() { return ProcedureSite(db(), &memory_); }
    Rows Kept(const Call& call) { return Read(*QueryRows(Site(), call.Args())); }
    KeyWindowMemory& Kept() { return KeyWindowMemory::Of(memory_, db()); }

    // Declared after the database handle: the statements it keeps are finalized before the close.
    ProcedureMemory memory_;
};

TEST_F(QueryRowsMemory, AnswersAsAFreshCallForEveryShapeAndAgain) {
    for (int pass = 0; pass < 2; ++pass) {
        for (const char* tag : {"name", "grp", "price"}) {
            for (bool forward : {true, false}) {
                for (bool inclusive : {true, false}) {
                    Call call = On(tag);
                    call.count = 9;
                    call.forward = forward;
                    call.inclusive = inclusive;
                    EXPECT_EQ(Kept(call), Answer(db(), call)) << tag;
                    const Rows first = Answer(db(), call);
                    call.index = first[4].second;
                    call.key = first[4].first;
                    EXPECT_EQ(Kept(call), Answer(db(), call)) << tag << " from a start row";
                }
            }
        }
    }
    EXPECT_EQ(Kept().FactCount(), 3u);
}

TEST_F(QueryRowsMemory, TagRecreatedOnAnotherExpressionIsSeenAtTheNextCall) {
    Call call = On("name");
    call.count = 60;
    EXPECT_EQ(Kept(call), Select(db(), "SELECT id, rtrim(name) FROM items NOT INDEXED ORDER BY rtrim(name), id"));
    Execute(db(), "DELETE FROM rowlark_index_tags WHERE tag = 'name'; DROP INDEX rowlark_tag_items_name");
    EXPECT_THROW(Kept(call), CursorError) << "the dropped tag is unknown at once";
    AddIndexTag(db(), "items", "name", "price", "id", TagKind::Number);
    EXPECT_EQ(Kept(call), Select(db(), "SELECT id, price FROM items NOT INDEXED ORDER BY price, id"));
}

TEST_F(QueryRowsMemory, TableRenamedOrRecreatedWithAnotherKeyTypeIsSeenAtTheNextCall) {
    Call call = On("grp");
    call.count = 5;
    ASSERT_EQ(Kept(call).size(), 5u);
    Execute(db(), "ALTER TABLE items RENAME TO goods");
    EXPECT_THROW(Kept(call), CursorError);

    // A key column of number affinity takes the start key as a number; one without a declared
    // type compares it as the text it is, and every text sorts after every number.
    Execute(db(), "CREATE TABLE codes (code INTEGER PRIMARY KEY, grp INTEGER)");
    Execute(db(), "INSERT INTO codes VALUES (9, 1), (10, 1), (11, 1)");
    AddIndexTag(db(), "codes", "grp", "grp", "code", TagKind::Number);
    Call codes;
    codes.table = "codes";
    codes.tag = "grp";
    codes.key_field = "code";
    codes.count = 5;
    codes.index = "1";
    codes.key = "9";
    EXPECT_EQ(Kept(codes), (Rows{{"10", "1"}, {"11", "1"}}));
    Execute(db(),
            "DELETE FROM rowlark_index_tags WHERE table_name = 'codes'; DROP TABLE codes;"
            " CREATE TABLE codes (code, grp INTEGER);"
            " INSERT INTO codes VALUES ('9', 1), ('10', 1), ('11', 1)");
    AddIndexTag(db(), "codes", "grp", "grp", "code", TagKind::Number);
    EXPECT_EQ(Kept(codes), Answer(db(), codes));
    EXPECT_EQ(Kept(codes), Rows{}) << "'9' is now the last text key of the run";
}

TEST_F(QueryRowsMemory, CatalogueChangedInsideAnOpenTransactionIsSeenAndRolledBack) {
    Call call = On("price");
    call.count = 3;
    const Rows before = Kept(call);
    ASSERT_EQ(before.size(), 3u);
    Execute(db(), "BEGIN; DELETE FROM rowlark_index_tags WHERE tag = 'price'");
    EXPECT_THROW(Kept(call), CursorError);
    Execute(db(), "ROLLBACK");
    EXPECT_EQ(Kept(call), before);
}

TEST_F(QueryRowsMemory, KeepsAtMostSoManyFactsAndIdleStatements) {
    for (int i = 0; i < 40; ++i) {
        const std::string tag = "t" + std::to_string(i);
        AddIndexTag(db(), "items", tag, "name || '" + std::to_string(i) + "'", "id", TagKind::Text);
    }
    for (int i = 0; i < 40; ++i) {
        Call call = On("t" + std::to_string(i));
        call.count = 2;
        EXPECT_EQ(Kept(call).size(), 2u);
        EXPECT_LE(Kept().FactCount(), KeyWindowMemory::kFactEntries);
        EXPECT_LE(Kept().pool().IdleCount(), StatementPool::kIdle);
    }
}

TEST_F(QueryRowsMemory, TwoCursorsOpenAtOnceEachReadTheirOwnRows) {
    Call call = On("name");
    call.count = 10;
    const Rows expected = Answer(db(), call);
    auto first = QueryRows(Site(), call.Args());
    auto second = QueryRows(Site(), call.Args());
    ASSERT_TRUE(first->Step());
    ASSERT_TRUE(second->Step());
    ASSERT_TRUE(first->Step());
    EXPECT_EQ(Read(*second), Rows(expected.begin() + 1, expected.end()));
    EXPECT_EQ(Read(*first), Rows(expected.begin() + 2, expected.end()));
}

// A database file with two connections: this test's (kept state) and another one's.
class QueryRowsMemoryOnFile : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = (std::filesystem::temp_directory_path() / ("rowlark_memory_" + std::to_string(getpid()) + ".db"))
                    .string();
        std::filesystem::remove(path_);
        mine_ = Open();
        other_ = Open();
        Execute(other_.get(), "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT, code TEXT)");
        Execute(other_.get(), "INSERT INTO t VALUES (1, 'b', 'z'), (2, 'a', 'y'), (3, 'c', 'x')");
        AddIndexTag(other_.get(), "t", "name", "name", "id", TagKind::Text);
    }
    void TearDown() override {
        memory_.Clear();
        mine_.reset();
        other_.reset();
        std::filesystem::remove(path_);
    }
    DbHandle Open() const {
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
        return DbHandle(db);
    }
    Rows Kept(const Call& call) { return Read(*QueryRows(ProcedureSite(mine_.get(), &memory_), call.Args())); }
    static Call ByName() {
        Call call;
        call.table = "t";
        call.tag = "name";
        call.count = 10;
        return call;
    }

    std::string path_;
    DbHandle mine_, other_;
    ProcedureMemory memory_;
};

TEST_F(QueryRowsMemoryOnFile, CatalogueChangedByAnotherConnectionIsSeenAtTheNextCall) {
    EXPECT_EQ(Kept(ByName()), (Rows{{"2", "a"}, {"1", "b"}, {"3", "c"}}));
    // Only the catalogue's row changes: the schema stays as it was.
    Execute(other_.get(), "DELETE FROM rowlark_index_tags WHERE tag = 'name'");
    EXPECT_THROW(Kept(ByName()), CursorError);
}

TEST_F(QueryRowsMemoryOnFile, NoLockOutlivesAFinishedWalk) {
    auto cursor = QueryRows(ProcedureSite(mine_.get(), &memory_), ByName().Args());
    ASSERT_TRUE(cursor->Step());
    // While the walk stands on a row it reads the file: a writer cannot commit (no busy timeout).
    EXPECT_THROW(Execute(other_.get(), "UPDATE t SET code = 'w' WHERE id = 1"), DatabaseError);
    while (cursor->Step()) {
    }
    // Over, though the cursor still exists: the writer commits.
    EXPECT_NO_THROW(Execute(other_.get(), "UPDATE t SET code = 'w' WHERE id = 1"));
}

TEST_F(QueryRowsMemoryOnFile, LockedFileIsReportedAsTheCursorErrorAndTheNextCallAnswers) {
    Execute(other_.get(), "BEGIN EXCLUSIVE");
    try {
        Kept(ByName());
        ADD_FAILURE() << "no error while the file is locked";
    } catch (const CursorError& error) {
        EXPECT_STREQ(error.what(), "QueryRows: database is locked");
    }
    Execute(other_.get(), "ROLLBACK");
    EXPECT_EQ(Kept(ByName()), (Rows{{"2", "a"}, {"1", "b"}, {"3", "c"}}));
}

TEST_F(QueryRowsMemoryOnFile, WalkThatFailsWhileSteppingIsOverAndHoldsNoLock) {
    auto cursor = QueryRows(mine_.get(), ByName().Args());  // prepared, not yet reading
    Execute(other_.get(), "BEGIN EXCLUSIVE");
    try {
        cursor->Step();
        ADD_FAILURE() << "no error while the file is locked";
    } catch (const CursorError& error) {
        EXPECT_STREQ(error.what(), "QueryRows: database is locked");
    }
    Execute(other_.get(), "ROLLBACK");
    EXPECT_FALSE(cursor->Step()) << "a failed walk does not resume";
    EXPECT_NO_THROW(Execute(other_.get(), "UPDATE t SET code = 'w' WHERE id = 1"));
}

}  // namespace
}  // namespace rowlark::database::testing
