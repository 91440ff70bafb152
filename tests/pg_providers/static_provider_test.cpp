// The static provider over PostgreSQL: loaded by a script over the goods of the test's schema, read
// by NextRow and through the grid (key, type-ahead search, refresh), and a query the server refuses.

#include <boost/shared_ptr.hpp>

#include "addin/grid/interface_source.h"
#include "tests/pg_providers/grid_scroll.h"
#include "tests/pg_providers/pg_providers_fixture.h"

namespace pg_providers {
namespace {

using grid_component::Grid;

constexpr const char* kByName = "SELECT id, code, name, price FROM goods ORDER BY name, id";

class PgStaticProvider : public PgProvidersTest {
protected:
    // Every row of one run from the top, by NextRow: the first cell (the id) of each.
    static std::vector<std::string> WholePass(const ScriptObject& provider) {
        auto data = GetGridInterface<CDataProvider>(provider.context());
        std::vector<std::string> ids;
        if (!data) return ids;
        data->PrepareRows(nullptr, kGoods + 10, 0);
        for (grid_component::OwnedRow row(data->NextRow()); row; row.reset(data->NextRow())) ids.push_back(Cell(*row, 0));
        return ids;
    }
};

TEST_F(PgStaticProvider, LoadsEveryRowAndHandsThemOutInTheQueryOrder) {
    ScriptObject provider = StaticProvider(kByName);
    ASSERT_TRUE(Errors().empty()) << Errors().front();
    Grid grid(20);
    ASSERT_TRUE(grid.Attach(provider.value()));
    int count = 0;
    ASSERT_TRUE(grid.RowCount(count));
    EXPECT_EQ(kGoods, count);
    const std::vector<std::string> expected = AdminColumn(kByName);
    ASSERT_EQ(static_cast<std::size_t>(kGoods), expected.size());
    EXPECT_EQ(expected, WholePass(provider));
    // The grid pages over the same rows, and the cells are the server's values in the host's code page.
    ASSERT_TRUE(grid.Home());
    EXPECT_EQ(std::vector<std::string>(expected.begin(), expected.begin() + 20), ShownIds(grid));
    const auto first = Admin("SELECT code, name FROM goods WHERE id = $1", {expected[0]});
    ASSERT_EQ(1u, first.size());
    EXPECT_EQ(first[0][0], Cell(*grid.Rows()[0], 1));
    EXPECT_EQ(first[0][1], Cell(*grid.Rows()[0], 2));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(PgStaticProvider, FindsARowByItsKeyAndNoneForAMissingKey) {
    ScriptObject provider = StaticProvider("SELECT id, code, name, price FROM goods ORDER BY id");
    ASSERT_TRUE(Errors().empty()) << Errors().front();
    Grid grid(10);
    ASSERT_TRUE(grid.Attach(provider.value()));
    ASSERT_TRUE(grid.GoToKey(Number(1234)));
    EXPECT_EQ((std::vector<std::string>{"1234", "1235", "1236", "1237", "1238", "1239", "1240", "1241", "1242", "1243"}),
              ShownIds(grid));
    EXPECT_EQ(1237L, static_cast<long>(grid.RowKey(3).GetNumeric()));
    EXPECT_FALSE(grid.GoToKey(Number(kGoods + 1)));
    EXPECT_EQ("1234", ShownIds(grid).front());  // nothing found: the viewport stays
    ASSERT_TRUE(grid.GoToKey(Number(kGoods)));
    EXPECT_EQ(std::vector<std::string>{std::to_string(kGoods)}, ShownIds(grid));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(PgStaticProvider, TypeAheadSearchStartsTheViewportAtTheFirstMatch) {
    Admin("UPDATE goods SET name = 'Щавель конский' WHERE id IN (1321, 2400)");
    ASSERT_EQ("0", Admin("SELECT count(*) FROM goods WHERE id < 1321 AND lower(name) LIKE 'щавель к%'").at(0).at(0));
    ScriptObject provider = StaticProvider("SELECT id, code, name, price FROM goods ORDER BY id");
    ASSERT_TRUE(Errors().empty()) << Errors().front();
    Grid grid(5);
    ASSERT_TRUE(grid.Attach(provider.value()));
    ASSERT_TRUE(grid.End());
    EXPECT_TRUE(grid.Search("name", CString(Cp("ЩАВЕЛЬ К").c_str())));
    EXPECT_EQ((std::vector<std::string>{"1321", "1322", "1323", "1324", "1325"}), ShownIds(grid));
    EXPECT_FALSE(grid.Search("name", CString(Cp("щавель з").c_str())));
    EXPECT_EQ("1321", ShownIds(grid).front());
    EXPECT_TRUE(Errors().empty());
}

TEST_F(PgStaticProvider, RefreshReloadsWhatAnotherSessionChanged) {
    ScriptObject provider = StaticProvider("SELECT id, code, name, price FROM goods ORDER BY id");
    ASSERT_TRUE(Errors().empty()) << Errors().front();
    Grid grid(10);
    ASSERT_TRUE(grid.Attach(provider.value()));
    ASSERT_TRUE(grid.Home());
    ASSERT_TRUE(grid.PageDown());
    Admin("UPDATE goods SET name = 'Обновлённый товар' WHERE id = 12");
    Admin("INSERT INTO goods VALUES (" + std::to_string(kGoods + 1) + ", 'Т-NEW', 'Новый', 1.5, 1, NULL)");
    EXPECT_NE("Обновлённый товар", Cell(*grid.Rows()[1], 2));

    ASSERT_TRUE(grid.Refresh());
    EXPECT_EQ("11", ShownIds(grid).front());
    EXPECT_EQ("Обновлённый товар", Cell(*grid.Rows()[1], 2));
    int count = 0;
    ASSERT_TRUE(grid.RowCount(count));
    EXPECT_EQ(kGoods + 1, count);
    ASSERT_TRUE(grid.End());
    EXPECT_EQ(std::to_string(kGoods + 1), ShownIds(grid).back());
    EXPECT_TRUE(Errors().empty());
}

TEST_F(PgStaticProvider, AQueryTheServerRefusesLeavesThroughTheHostWithItsMessageAndAGoodOneLoadsAfter) {
    ScriptObject provider = StaticProvider("SELECT id, name FROM goods ORDER BY id");
    ASSERT_TRUE(Errors().empty()) << Errors().front();
    // The host's own road: the first error raised ends the script's call.
    host_errors::SetRaiseThrows(true);
    EXPECT_EQ(1, provider.Write(Cp("ТекстЗапроса"), Text("SELECT id, nosuch FROM goods ORDER BY id")).code);
    std::string thrown;
    try {
        provider.Invoke(Cp("ПолучитьДанные"));
    } catch (const HostRuntimeError& error) {
        thrown = Utf(error.what());
    }
    host_errors::SetRaiseThrows(false);
    EXPECT_NE(std::string::npos, thrown.find("column \"nosuch\" does not exist")) << thrown;

    host_errors::Clear();
    EXPECT_EQ(1, provider.Write(Cp("ТекстЗапроса"), Text("SELECT id, name FROM goods WHERE id <= 3 ORDER BY id")).code);
    EXPECT_EQ(1, provider.Invoke(Cp("ПолучитьДанные")).code);
    EXPECT_TRUE(Errors().empty()) << Errors().front();
    Grid grid(5);
    ASSERT_TRUE(grid.Attach(provider.value()));
    int count = 0;
    ASSERT_TRUE(grid.RowCount(count));
    EXPECT_EQ(3, count);
    ASSERT_TRUE(grid.Home());
    EXPECT_EQ((std::vector<std::string>{"1", "2", "3"}), ShownIds(grid));
}

TEST_F(PgStaticProvider, OnTheRecordingRoadTheServersMessageComesFirst) {
    ScriptObject provider = StaticProvider("SELECT id, nosuch FROM goods ORDER BY id");
    const std::vector<std::string> errors = Errors();
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ("Ошибка базы данных: column \"nosuch\" does not exist", errors.front());
    // A host that lets the call go on meets the empty result's missing key next, as over SQLite.
    EXPECT_EQ("В полученном наборе данных отсутствует ключевое поле (id)", errors.back());
}

}  // namespace
}  // namespace pg_providers
