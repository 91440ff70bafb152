// The provider's server session ends under it (pg_terminate_backend, as an administrator or a server
// restart ends it), or waits for another session's lock: the next read is an error raised through the
// host, and the one after it works again, from where the grid stood.

#include <algorithm>

#include "tests/pg_providers/grid_scroll.h"
#include "tests/pg_providers/pg_providers_fixture.h"

namespace pg_providers {
namespace {

using grid_component::Grid;

constexpr int kPage = 50;

class PgLostSession : public PgProvidersTest {
protected:
    std::vector<std::string> Slice(const std::vector<std::string>& all, std::size_t from, std::size_t count) {
        return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(from),
                                        all.begin() + static_cast<std::ptrdiff_t>(std::min(all.size(), from + count)));
    }
};

TEST_F(PgLostSession, MidScrollTheDynamicProviderRaisesTheLossAndThenGoesOn) {
    const std::vector<std::string> expected = AdminColumn(std::string("SELECT id FROM goods ORDER BY ") + kNameOrder);
    ScriptObject provider = DynamicProvider();
    ASSERT_TRUE(Errors().empty()) << Errors().front();
    Grid grid(kPage);
    ASSERT_TRUE(grid.Attach(provider.value()));
    ASSERT_TRUE(grid.Home());
    ASSERT_TRUE(grid.PageDown());
    ASSERT_EQ(Slice(expected, kPage, kPage), ShownIds(grid));

    ASSERT_EQ(1, TerminateProviderSession());
    grid.PageDown();
    const std::vector<std::string> errors = Errors();
    ASSERT_FALSE(errors.empty()) << "the lost session went unnoticed";
    // The layer's database error with the server's (or libpq's) word on the ended session.
    EXPECT_EQ(0u, errors.front().find("Ошибка базы данных: ")) << errors.front();
    EXPECT_NE(std::string::npos, errors.front().find("connection")) << errors.front();

    host_errors::Clear();
    ASSERT_TRUE(grid.PageDown());
    EXPECT_TRUE(Errors().empty()) << Errors().front();
    const std::vector<std::string> shown = ShownIds(grid);
    ASSERT_FALSE(shown.empty());
    // The scroll goes on after the last row it had shown, whatever the failed page did.
    const auto at = std::find(expected.begin(), expected.end(), shown.front()) - expected.begin();
    EXPECT_GE(at, kPage);
    EXPECT_LE(at, 2 * kPage);
    EXPECT_EQ(Slice(expected, static_cast<std::size_t>(at), kPage), shown);
    EXPECT_EQ(1u, Admin("SELECT 1 FROM pg_stat_activity WHERE application_name = $1", {application_name()}).size())
        << "one new session serves the provider";
}

TEST_F(PgLostSession, AnotherDesksExclusiveLockIsARunTimeErrorAndScrollingGoesOnAfterIt) {
    const std::vector<std::string> expected = AdminColumn(std::string("SELECT id FROM goods ORDER BY ") + kNameOrder);
    ScriptObject provider = DynamicProvider();
    Grid grid(kPage);
    ASSERT_TRUE(grid.Attach(provider.value()));
    ASSERT_TRUE(grid.Home());
    ASSERT_EQ(Slice(expected, 0, kPage), ShownIds(grid));

    // The other desk holds the table (an ALTER TABLE would): the next page waits two seconds, then
    // reports, instead of holding the host for as long as the lock stands.
    Admin("BEGIN");
    Admin("LOCK TABLE goods IN ACCESS EXCLUSIVE MODE");
    grid.PageDown();
    const std::vector<std::string> errors = Errors();
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ("Ошибка базы данных: canceling statement due to lock timeout", errors.front());
    EXPECT_EQ(Slice(expected, 0, kPage), ShownIds(grid)) << "the grid keeps what it showed";
    Admin("COMMIT");

    host_errors::Clear();
    ASSERT_TRUE(grid.PageDown());
    EXPECT_TRUE(Errors().empty()) << Errors().front();
    EXPECT_EQ(Slice(expected, kPage, kPage), ShownIds(grid));
}

TEST_F(PgLostSession, TheStaticProviderRaisesTheLossOnLoadingAndLoadsAgainAfter) {
    ScriptObject provider = StaticProvider("SELECT id, name FROM goods ORDER BY id");
    ASSERT_TRUE(Errors().empty()) << Errors().front();
    ASSERT_EQ(1, TerminateProviderSession());
    provider.Invoke(Cp("ПолучитьДанные"));
    ASSERT_FALSE(Errors().empty()) << "the lost session went unnoticed";

    host_errors::Clear();
    EXPECT_EQ(1, provider.Invoke(Cp("ПолучитьДанные")).code);
    EXPECT_TRUE(Errors().empty()) << Errors().front();
    Grid grid(4);
    ASSERT_TRUE(grid.Attach(provider.value()));
    int count = 0;
    ASSERT_TRUE(grid.RowCount(count));
    EXPECT_EQ(kGoods, count);
    ASSERT_TRUE(grid.Home());
    EXPECT_EQ((std::vector<std::string>{"1", "2", "3", "4"}), ShownIds(grid));
}

}  // namespace
}  // namespace pg_providers
