// The SQLite procedure's own door (what tests/query_rows cannot see through its answers): arguments
// as the layer hands them over, refusals raised by the call itself before any step, the cursor it
// returns, the site it runs on and its registration. The contract itself is tested on both
// databases in tests/query_rows.

#include <type_traits>

#include "tests/database/database_fixture.h"

namespace rowlark::database::testing {
namespace {

using oledb_backend::CursorError;

class QueryRowsProcedure : public ItemsDb {
protected:
    // The message of the CursorError the call or a step of its cursor throws, or "" when none.
    std::string ErrorOf(const std::vector<oledb_backend::ProcArg>& args) {
        try {
            auto cursor = QueryRows(db(), args);
            while (cursor->Step()) {
            }
        } catch (const CursorError& error) {
            return error.what();
        }
        return "";
    }
    // The message of the CursorError the call itself throws, before any step; "" when it throws none.
    std::string CallErrorOf(const std::vector<oledb_backend::ProcArg>& args) {
        try {
            QueryRows(db(), args);
        } catch (const CursorError& error) {
            return error.what();
        }
        return "";
    }
    Call Good() const {
        Call call = On("name");
        call.count = 5;
        return call;
    }
};

TEST_F(QueryRowsProcedure, WrongArgumentCountIsRefused) {
    auto args = Good().Args();
    args.pop_back();
    EXPECT_EQ(ErrorOf(args),
              "QueryRows expects 10 arguments ('table', 'tag', 'start index', 'start key', count, 'key field', "
              "direction, 'filter from', 'filter to', inclusive), got 9");
    EXPECT_NE(ErrorOf({}), "");
}

TEST_F(QueryRowsProcedure, WrongArgumentKindsAreRefusedByPosition) {
    auto args = Good().Args();
    args[0] = Num(3);
    EXPECT_EQ(ErrorOf(args), "QueryRows argument 1 (table) must be a quoted text, got the number 3");
    args = Good().Args();
    args[4] = Text("5");
    EXPECT_EQ(ErrorOf(args), "QueryRows argument 5 (count) must be a whole number, got the text '5'");
    args = Good().Args();
    args[6] = Num(2);
    EXPECT_EQ(ErrorOf(args), "QueryRows argument 7 (direction) must be 1 or 0, got 2");
    args = Good().Args();
    args[9] = Num(-1);
    EXPECT_EQ(ErrorOf(args), "QueryRows argument 10 (inclusive) must be 1 or 0, got -1");
}

TEST_F(QueryRowsProcedure, BadArgumentsAreRefusedByTheCallBeforeAnyStep) {
    Call call = On("price");
    call.from = "ten";
    EXPECT_EQ(CallErrorOf(call.Args()),
              "QueryRows: filter from 'ten' is not a number (index tag 'price' orders by a number)");
    call.from = "";
    call.to = "1,5";
    EXPECT_NE(CallErrorOf(call.Args()), "");
    call = Good();
    call.tag = "colour";
    EXPECT_EQ(CallErrorOf(call.Args()), "QueryRows: table 'items' has no index tag 'colour'");
    DbHandle bare = OpenMemoryDb();
    Execute(bare.get(), "CREATE TABLE items (id INTEGER PRIMARY KEY)");
    try {
        QueryRows(bare.get(), Good().Args());
        ADD_FAILURE() << "no error without a tag catalogue";
    } catch (const CursorError& error) {
        EXPECT_STREQ(error.what(), "QueryRows: table 'items' has no index tag 'name'");
    }
}

TEST_F(QueryRowsProcedure, NoDatabaseIsRefused) { EXPECT_THROW(QueryRows(nullptr, Good().Args()), CursorError); }

TEST_F(QueryRowsProcedure, CursorKnowsItsColumnsAndStaysAtItsEnd) {
    Call call = On("name");  // count 0
    auto none = QueryRows(db(), call.Args());
    ASSERT_EQ(none->ColumnCount(), 2);
    EXPECT_EQ(none->ColumnName(0), "key");
    EXPECT_EQ(none->ColumnName(1), "index_value");
    EXPECT_FALSE(none->Step());
    EXPECT_FALSE(none->Step());
    // A walk over its two statements (the rest of the start's run, then the values after it) ends once.
    const Rows all = Select(db(), "SELECT id, grp FROM items NOT INDEXED ORDER BY grp, id");
    call = On("grp");
    call.index = all[18].second;
    call.key = all[18].first;
    call.count = 4;
    auto cursor = QueryRows(db(), call.Args());
    EXPECT_EQ(Read(*cursor), Rows(all.begin() + 19, all.begin() + 23));
    EXPECT_FALSE(cursor->Step());
}

TEST_F(QueryRowsProcedure, ColumnOutsideTheTwoColumnsIsRefused) {
    auto cursor = QueryRows(db(), Good().Args());
    EXPECT_THROW(cursor->Column(0), CursorError) << "before the first Step()";
    ASSERT_TRUE(cursor->Step());
    EXPECT_THROW(cursor->Column(2), CursorError);
    EXPECT_THROW(cursor->ColumnName(-1), CursorError);
}

TEST_F(QueryRowsProcedure, DatabaseFailureIsReportedAsTheCursorErrorOfQueryRowsOnEveryRoad) {
    // The catalogue names an index that is not there: SQLite refuses the walk's statement.
    Execute(db(), "UPDATE rowlark_index_tags SET index_name = 'gone' WHERE tag = 'name'");
    const std::string expected = "QueryRows: no such index: gone";
    EXPECT_EQ(ErrorOf(Good().Args()), expected);
    oledb_backend::ProcedureMemory memory;
    try {
        QueryRows(oledb_backend::ProcedureSite(db(), &memory), Good().Args());
        ADD_FAILURE() << "no error with procedure memory";
    } catch (const CursorError& error) {
        EXPECT_EQ(error.what(), expected);
    }
    try {
        ExplainQueryRows(db(), Good().Args());
        ADD_FAILURE() << "no error from the plan";
    } catch (const CursorError& error) {
        EXPECT_EQ(error.what(), expected);
    }
    // Nothing was left half-done: put right, the same memory answers.
    Execute(db(), "UPDATE rowlark_index_tags SET index_name = 'rowlark_tag_items_name' WHERE tag = 'name'");
    EXPECT_EQ(Read(*QueryRows(oledb_backend::ProcedureSite(db(), &memory), Good().Args())), Answer(db(), Good()));
}

TEST_F(QueryRowsProcedure, SiteReachesItsHandleByNameAndKeepsStateOnlyInItsMemory) {
    const Rows expected = Answer(db(), Good());
    EXPECT_EQ(Read(*QueryRows(oledb_backend::ProcedureSite::Bare(db()), Good().Args())), expected);
    oledb_backend::ProcedureMemory memory;
    const oledb_backend::ProcedureSite site(db(), &memory);
    EXPECT_EQ(site.handle(), db());
    EXPECT_EQ(site.memory(), &memory);
    EXPECT_EQ(oledb_backend::ProcedureSite::Bare(db()).memory(), nullptr);
    EXPECT_EQ(Read(*QueryRows(site, Good().Args())), expected);
    EXPECT_TRUE(memory.Slot("QueryRows")) << "a site with memory keeps the procedure's state there";
}

// A site and a handle are never taken for each other unseen.
static_assert(!std::is_convertible_v<sqlite3*, oledb_backend::ProcedureSite>);
static_assert(!std::is_convertible_v<oledb_backend::ProcedureSite, sqlite3*>);

TEST(RegisterDatabaseProcedures, OffersQueryRowsUnderItsName) {
    std::vector<std::string> names;
    oledb_backend::Procedure query_rows;
    RegisterDatabaseProcedures([&](const std::string& name, oledb_backend::Procedure procedure) {
        names.push_back(name);
        query_rows = std::move(procedure);
    });
    ASSERT_EQ(names, std::vector<std::string>{"QueryRows"});
    EXPECT_THROW(query_rows(oledb_backend::ProcedureSite::Bare(nullptr), {}), CursorError);
}

}  // namespace
}  // namespace rowlark::database::testing
