// The dynamic provider over PostgreSQL, through the grid: a whole scroll both ways by the name tag,
// a filtered range, and refreshing rows another session changed or deleted.

#include <set>

#include "tests/pg_providers/grid_scroll.h"
#include "tests/pg_providers/pg_providers_fixture.h"

namespace pg_providers {
namespace {

using grid_component::Grid;

constexpr int kPage = 50;
constexpr int kMaxPages = kGoods / kPage + 5;

class PgDynamicProvider : public PgProvidersTest {
protected:
    // Ids in the name tag's order, computed by SQL without the tag, under an optional condition.
    std::vector<std::string> ExpectedByName(const std::string& where = "TRUE") {
        return AdminColumn("SELECT id FROM goods WHERE " + where + " ORDER BY " + kNameOrder);
    }
};

TEST_F(PgDynamicProvider, ScrollingDownServesEveryRowOnceInTagOrder) {
    ScriptObject provider = DynamicProvider();
    ASSERT_TRUE(Errors().empty()) << Errors().front();
    Grid grid(kPage);
    ASSERT_TRUE(grid.Attach(provider.value()));
    const std::vector<std::string> seen = Scroll(grid, true, kMaxPages);
    const std::vector<std::string> expected = ExpectedByName();
    ASSERT_EQ(static_cast<std::size_t>(kGoods), expected.size());
    EXPECT_EQ(expected, seen);
    EXPECT_EQ(seen.size(), std::set<std::string>(seen.begin(), seen.end()).size());
    EXPECT_TRUE(Errors().empty());
}

TEST_F(PgDynamicProvider, ScrollingUpFromTheEndServesEveryRowOnceInReverseTagOrder) {
    ScriptObject provider = DynamicProvider();
    ASSERT_TRUE(Errors().empty()) << Errors().front();
    Grid grid(kPage);
    ASSERT_TRUE(grid.Attach(provider.value()));
    const std::vector<std::string> seen = Scroll(grid, false, kMaxPages);
    const std::vector<std::string> expected = ExpectedByName();
    EXPECT_EQ(std::vector<std::string>(expected.rbegin(), expected.rend()), seen);
    EXPECT_TRUE(Errors().empty());
}

TEST_F(PgDynamicProvider, RowsCarryTheServersValuesForTheirKeys) {
    ScriptObject provider = DynamicProvider();
    Grid grid(kPage);
    ASSERT_TRUE(grid.Attach(provider.value()));
    ASSERT_TRUE(grid.Home());
    ASSERT_EQ(static_cast<std::size_t>(kPage), grid.Rows().size());
    for (const auto& row : grid.Rows()) {
        const auto values = Admin("SELECT code, name FROM goods WHERE id = $1", {Cell(*row, 0)});
        ASSERT_EQ(1u, values.size());
        EXPECT_EQ(values[0][0], Cell(*row, 1));
        EXPECT_EQ(values[0][1], Cell(*row, 2)) << "the trailing blanks of a name stay in its cell";
    }
    EXPECT_TRUE(Errors().empty());
}

TEST_F(PgDynamicProvider, AFilterRangeServesOnlyItsRowsLowerInclusiveUpperByPrefix) {
    ScriptObject provider = DynamicProvider("name", false);
    EXPECT_EQ(1, provider.Write(Cp("ФильтрС"), Text("К")).code);
    EXPECT_EQ(1, provider.Write(Cp("ФильтрПо"), Text("М")).code);
    provider.Invoke(Cp("ПолучитьДанные"));
    ASSERT_TRUE(Errors().empty()) << Errors().front();
    Grid grid(kPage);
    ASSERT_TRUE(grid.Attach(provider.value()));
    const std::string value = "rtrim(name, E' \\t\\n\\x0B\\f\\r') COLLATE \"C\"";
    const std::vector<std::string> expected =
        ExpectedByName(value + " >= 'К' AND (" + value + " <= 'М' OR starts_with(" + value + ", 'М'))");
    ASSERT_FALSE(expected.empty());
    ASSERT_LT(expected.size(), static_cast<std::size_t>(kGoods));
    EXPECT_EQ(expected, Scroll(grid, true, kMaxPages));
    EXPECT_EQ(std::vector<std::string>(expected.rbegin(), expected.rend()), Scroll(grid, false, kMaxPages));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(PgDynamicProvider, RefreshRowRereadsARowAnotherSessionChanged) {
    ScriptObject provider = DynamicProvider();
    ASSERT_TRUE(Errors().empty()) << Errors().front();
    Grid grid(10);
    ASSERT_TRUE(grid.Attach(provider.value()));
    ASSERT_TRUE(grid.Home());
    const std::vector<std::string> shown = ShownIds(grid);
    ASSERT_EQ(10u, shown.size());
    Admin("UPDATE goods SET code = 'Т-ИЗМЕНЁН' WHERE id = $1", {shown[3]});
    EXPECT_NE("Т-ИЗМЕНЁН", Cell(*grid.Rows()[3], 1));
    EXPECT_TRUE(grid.RefreshRow(3));
    EXPECT_EQ("Т-ИЗМЕНЁН", Cell(*grid.Rows()[3], 1));
    EXPECT_EQ(shown[3], Cell(*grid.Rows()[3], 0));
    EXPECT_EQ(shown, ShownIds(grid));
    EXPECT_TRUE(Errors().empty()) << Errors().front();
}

TEST_F(PgDynamicProvider, RefreshOfADeletedRowTakesTheNextRowOrAnswersFalseAtTheEnd) {
    const std::vector<std::string> expected = ExpectedByName();
    ScriptObject provider = DynamicProvider();
    Grid grid(10);
    ASSERT_TRUE(grid.Attach(provider.value()));
    ASSERT_TRUE(grid.Home());
    const std::vector<std::string> shown = ShownIds(grid);
    Admin("DELETE FROM goods WHERE id = $1", {shown[5]});
    // Over SQLite as well: the row is rebuilt from the first key after it that still exists.
    EXPECT_TRUE(grid.RefreshRow(5));
    EXPECT_EQ(shown[6], Cell(*grid.Rows()[5], 0));
    ASSERT_TRUE(grid.Reread());
    std::vector<std::string> after = shown;
    after.erase(after.begin() + 5);
    const std::vector<std::string> now = ShownIds(grid);
    EXPECT_EQ(after, std::vector<std::string>(now.begin(), now.begin() + 9));

    // The last row of the order: nothing follows, so the answer is false and the row keeps its values.
    ASSERT_TRUE(grid.End());
    const std::string last = ShownIds(grid).back();
    ASSERT_EQ(expected.back(), last);
    const std::string last_name = Cell(*grid.Rows().back(), 2);
    Admin("DELETE FROM goods WHERE id = $1", {last});
    EXPECT_FALSE(grid.RefreshRow(static_cast<int>(grid.Rows().size()) - 1));
    EXPECT_EQ(last, Cell(*grid.Rows().back(), 0));
    EXPECT_EQ(last_name, Cell(*grid.Rows().back(), 2));
    EXPECT_TRUE(Errors().empty()) << Errors().front();
}

}  // namespace
}  // namespace pg_providers
