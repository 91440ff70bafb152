// Another desk changes goods while the grid scrolls the dynamic provider: rows it inserts, deletes
// and renames come and go, and every row nobody touched is served exactly once, in tag order.

#include <algorithm>

#include "tests/pg_providers/grid_scroll.h"
#include "tests/pg_providers/pg_providers_fixture.h"

namespace pg_providers {
namespace {

using grid_component::Grid;

constexpr int kPage = 50;

// The other desk touches only rows whose id ends in 3, and rows it inserts (ids from 100000).
bool Untouched(const std::string& id) { return std::stol(id) <= kGoods && std::stol(id) % 10 != 3; }

class PgConcurrentDesk : public PgProvidersTest {};

TEST_F(PgConcurrentDesk, ScrollingWhileAnotherSessionWritesServesEveryUntouchedRowOnceInOrder) {
    const std::vector<std::string> order = AdminColumn(std::string("SELECT id FROM goods ORDER BY ") + kNameOrder);
    const std::vector<std::string> expected =
        AdminColumn(std::string("SELECT id FROM goods WHERE id % 10 <> 3 ORDER BY ") + kNameOrder);
    ScriptObject provider = DynamicProvider();
    ASSERT_TRUE(Errors().empty()) << Errors().front();
    Grid grid(kPage);
    ASSERT_TRUE(grid.Attach(provider.value()));

    int page = 0;
    const auto other_desk = [&] {
        // Each page: one row deleted and one renamed (to either end of the order, or just ahead of
        // the viewport), and a new row inserted just ahead of the viewport.
        const std::size_t ahead = std::min(order.size() - 1, static_cast<std::size_t>((page + 1) * kPage + 25));
        const std::string ahead_name =
            Admin("SELECT coalesce((SELECT name FROM goods WHERE id = $1), 'Новый')", {order[ahead]}).at(0).at(0);
        Admin("DELETE FROM goods WHERE id = $1", {std::to_string(13 + 20 * page)});
        const char* renames[] = {"Аааа", "Яяяя"};
        Admin("UPDATE goods SET name = $2 WHERE id = $1",
              {std::to_string(3 + 20 * page), page % 3 == 2 ? ahead_name : renames[page % 2]});
        Admin("INSERT INTO goods VALUES ($1, 'Т-NEW', $2, 1, 1, NULL)", {std::to_string(100000 + page), ahead_name});
        ++page;
    };
    const std::vector<std::string> seen = Scroll(grid, true, kGoods / kPage * 2, other_desk);
    EXPECT_GT(page, kGoods / kPage - 2) << "the scroll ended early";
    EXPECT_TRUE(Errors().empty()) << Errors().front();

    std::vector<std::string> untouched;
    for (const auto& id : seen)
        if (Untouched(id)) untouched.push_back(id);
    EXPECT_EQ(expected, untouched);
    // Rows inserted ahead of the viewport were reached as well.
    EXPECT_NE(seen.end(), std::find(seen.begin(), seen.end(), "100001"));
}

TEST_F(PgConcurrentDesk, ScrollingUpWhileAnotherSessionDeletesServesEveryUntouchedRowOnce) {
    const std::vector<std::string> expected =
        AdminColumn(std::string("SELECT id FROM goods WHERE id % 10 <> 3 ORDER BY ") + kNameOrder);
    ScriptObject provider = DynamicProvider();
    Grid grid(kPage);
    ASSERT_TRUE(grid.Attach(provider.value()));
    int page = 0;
    const auto other_desk = [&] {
        // Whole blocks of the touched rows go at once, some of them in the viewport.
        Admin("DELETE FROM goods WHERE id % 10 = 3 AND id % 7 = $1", {std::to_string(page % 7)});
        ++page;
    };
    const std::vector<std::string> seen = Scroll(grid, false, kGoods / kPage * 2, other_desk);
    EXPECT_TRUE(Errors().empty()) << Errors().front();
    std::vector<std::string> untouched;
    for (const auto& id : seen)
        if (Untouched(id)) untouched.push_back(id);
    EXPECT_EQ(std::vector<std::string>(expected.rbegin(), expected.rend()), untouched);
}

}  // namespace
}  // namespace pg_providers
