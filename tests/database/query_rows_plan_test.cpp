// QueryRows seeks the tag's index for every shape of call: never a scan of the table, never
// a sort, whether the tag has one row per value or a few values shared by many rows.

#include "tests/database/database_fixture.h"

namespace rowlark::database::testing {
namespace {

class QueryRowsPlan : public ::testing::Test {
protected:
    void SetUp() override {
        Execute(db(), "CREATE TABLE t (id INTEGER PRIMARY KEY, code TEXT, kind INTEGER, name TEXT)");
        Execute(db(),
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000)"
                " INSERT INTO t SELECT i, printf('C%06d', i), i % 10, 'name ' || (i % 10) FROM n");
        AddIndexTag(db(), "t", "code", "code", "id", TagKind::Text);     // unique values
        AddIndexTag(db(), "t", "kind", "kind", "id", TagKind::Number);   // 10 values
        AddIndexTag(db(), "t", "name", "name", "id", TagKind::Text);     // 10 values
        Execute(db(), "ANALYZE");  // statistics that would tempt the planner away from a few-valued index
    }
    sqlite3* db() const { return db_.get(); }
    DbHandle db_ = OpenMemoryDb();
};

// Every call shape: from an end or a start row (with or without key), each direction,
// inclusive or not, with and without filter bounds.
std::vector<Call> Shapes(const std::string& tag, const std::string& value) {
    std::vector<Call> calls;
    for (int start = 0; start < 3; ++start)
        for (bool forward : {true, false})
            for (bool inclusive : {true, false})
                for (int filter = 0; filter < 3; ++filter) {
                    Call call;
                    call.table = "t";
                    call.tag = tag;
                    call.count = 50;
                    call.forward = forward;
                    call.inclusive = inclusive;
                    if (start > 0) call.index = value;
                    if (start > 1) call.key = "777";
                    if (filter == 1) call.from = value;
                    if (filter == 2) call.to = value;
                    calls.push_back(call);
                }
    return calls;
}

std::string Describe(const Call& call) {
    return call.tag + " I='" + call.index + "' K='" + call.key + "' D=" + std::to_string(call.forward) +
           " E=" + std::to_string(call.inclusive) + " A='" + call.from + "' B='" + call.to + "'";
}

TEST_F(QueryRowsPlan, EveryCallShapeSeeksTheTagIndexWithoutScanOrSort) {
    for (const auto& [tag, value] : {std::pair{"code", "C010000"}, {"kind", "5"}, {"name", "name 5"}}) {
        const std::string index = "rowlark_tag_t_" + std::string(tag);
        for (const Call& call : Shapes(tag, value)) {
            const std::vector<std::string> plan = ExplainQueryRows(db(), call.Args());
            ASSERT_FALSE(plan.empty()) << Describe(call);
            for (const std::string& line : plan) {
                // SQLite 3.40 reads the row for the expression's value, later versions cover it from the index.
                const bool seeks = line.rfind("SEARCH t USING INDEX " + index + " (", 0) == 0 ||
                                   line.rfind("SEARCH t USING COVERING INDEX " + index + " (", 0) == 0;
                EXPECT_TRUE(seeks) << Describe(call) << ": " << line;
                EXPECT_EQ(line.find("SCAN"), std::string::npos) << Describe(call) << ": " << line;
                EXPECT_EQ(line.find("TEMP B-TREE"), std::string::npos) << Describe(call) << ": " << line;
            }
        }
    }
}

TEST_F(QueryRowsPlan, StartInsideARunSeeksOnValueAndKeyTogether) {
    Call call;
    call.table = "t";
    call.tag = "kind";
    call.index = "5";
    call.key = "777";
    call.count = 50;
    const std::vector<std::string> plan = ExplainQueryRows(db(), call.Args());
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_NE(plan[0].find("(<expr>=? AND id>?)"), std::string::npos) << plan[0];
    EXPECT_NE(plan[1].find("(<expr>>?)"), std::string::npos) << plan[1];
}

TEST_F(QueryRowsPlan, FewValuedTagAnswersTheSameRowsAsASortedQuery) {
    Call call;
    call.table = "t";
    call.tag = "kind";
    call.index = "5";
    call.key = "19995";
    call.count = 6;
    EXPECT_EQ(Answer(db(), call), (Rows{{"6", "6"}, {"16", "6"}, {"26", "6"}, {"36", "6"}, {"46", "6"}, {"56", "6"}}));
    call.forward = false;
    call.count = 3;
    EXPECT_EQ(Answer(db(), call), (Rows{{"19985", "5"}, {"19975", "5"}, {"19965", "5"}}));
}

}  // namespace
}  // namespace rowlark::database::testing
