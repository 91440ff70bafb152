// The server's QueryRows walks the tag's B-tree for every shape of call: an index scan of the tag's
// own index, seeking with the row-value comparison on (value, key) when there is a start row; never
// a sequential scan, never a sort.

#include <map>

#include "tests/postgres/postgres_fixture.h"

namespace rowlark::postgres::testing {
namespace {

class QueryRowsPlan : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (IsSkipped()) return;
        Exec("CREATE TABLE t (id integer PRIMARY KEY, code text, kind integer, name text, sku text UNIQUE)");
        Exec("INSERT INTO t SELECT i, 'C' || lpad(i::text, 6, '0'), i % 10, 'name ' || (i % 10), 'S' || i"
             " FROM generate_series(1, 20000) AS i");
        index_["code"] = Exec("SELECT rowlark_add_index_tag('t', 'code', 'code', 'id')")[0][0];      // unique values
        index_["kind"] = Exec("SELECT rowlark_add_index_tag('t', 'kind', 'kind', 'id', 'number')")[0][0];  // 10 values
        index_["name"] = Exec("SELECT rowlark_add_index_tag('t', 'name', 'name', 'id')")[0][0];      // 10 values
        index_["by_sku"] = Exec("SELECT rowlark_add_index_tag('t', 'by_sku', 'kind', 'sku', 'number')")[0][0];
        Exec("ANALYZE t");  // statistics that would tempt the planner away from a few-valued index
    }
    std::map<std::string, std::string> index_;
};

// Every call shape: from an end, from a value, from a start row; each direction, inclusive or not,
// with no filter, a lower, an upper or both bounds.
std::vector<Call> Shapes(const std::string& tag, const std::string& value, const std::string& key_field,
                         const std::string& key) {
    std::vector<Call> calls;
    for (int start = 0; start < 3; ++start)
        for (bool forward : {true, false})
            for (bool inclusive : {true, false})
                for (int filter = 0; filter < 4; ++filter) {
                    Call call;
                    call.table = "t";
                    call.tag = tag;
                    call.key_field = key_field;
                    call.count = 50;
                    call.forward = forward;
                    call.inclusive = inclusive;
                    if (start > 0) call.index = value;
                    if (start > 1) call.key = key;
                    if (filter & 1) call.from = value;
                    if (filter & 2) call.to = value;
                    calls.push_back(call);
                }
    return calls;
}

std::string Describe(const Call& call) {
    return call.tag + " I='" + call.index + "' K='" + call.key + "' D=" + std::to_string(call.forward) +
           " E=" + std::to_string(call.inclusive) + " A='" + call.from + "' B='" + call.to + "'";
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

TEST_F(QueryRowsPlan, EveryCallShapeWalksTheTagIndexWithoutScanOrSort) {
    const struct {
        const char* tag;
        const char* value;
        const char* key_field;
        const char* key;
    } tags[] = {{"code", "C010000", "id", "777"}, {"kind", "5", "id", "777"}, {"name", "name 5", "id", "777"},
                {"by_sku", "5", "sku", "S777"}};
    for (const auto& each : tags) {
        for (const Call& call : Shapes(each.tag, each.value, each.key_field, each.key)) {
            const std::string plan = Joined(Explain(call));
            ASSERT_FALSE(plan.empty()) << Describe(call);
            const std::string scan = call.forward ? "Index Scan using " : "Index Scan Backward using ";
            EXPECT_NE(plan.find(scan + index_[each.tag] + " on t"), std::string::npos) << Describe(call) << "\n" << plan;
            EXPECT_EQ(plan.find("Seq Scan"), std::string::npos) << Describe(call) << "\n" << plan;
            EXPECT_EQ(plan.find("Sort"), std::string::npos) << Describe(call) << "\n" << plan;
            EXPECT_EQ(plan.find("Bitmap"), std::string::npos) << Describe(call) << "\n" << plan;
            EXPECT_EQ(plan.find("Filter:"), std::string::npos) << "every condition seeks\n" << Describe(call) << "\n" << plan;
            // A text key names the start row even when empty; a number key only when given.
            const bool seeks_row = !call.key.empty() || (call.key_field == "sku" && !call.index.empty());
            const bool bounded = !call.index.empty() || !call.from.empty() || !call.to.empty();
            EXPECT_EQ(plan.find("Index Cond: ") != std::string::npos, bounded) << Describe(call) << "\n" << plan;
            EXPECT_EQ(plan.find("Index Cond: (ROW(") != std::string::npos ||
                          plan.find("Index Cond: ((ROW(") != std::string::npos,
                      seeks_row)
                << Describe(call) << "\n" << plan;
        }
    }
}

TEST_F(QueryRowsPlan, WalkFromAStartRowReadsOnlyTheRowsItAnswers) {
    // Deep inside a run of 2,000 equal values: the seek lands on the start row and reads 50 entries,
    // where a scan of the run would read and drop the rows before it.
    const auto lines = Exec("SELECT * FROM queryrows_explain('t', 'name', 'name 5', '10005', 50, 'id', 1, '', '', 0, true)");
    std::string plan;
    for (const auto& line : lines) plan += line[0] + "\n";
    EXPECT_NE(plan.find("ROW('name 5'::text, 10005)"), std::string::npos) << plan;
    EXPECT_NE(plan.find(" on t (actual rows=50 loops=1)"), std::string::npos) << plan;
    EXPECT_EQ(plan.find("Rows Removed"), std::string::npos) << plan;
}

}  // namespace
}  // namespace rowlark::postgres::testing
