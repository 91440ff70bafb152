// The whole road: a script creates the static provider by its Russian name, points it at a real
// SQLite file of sample goods and loads; the grid takes the provider's script object and pages,
// searches, positions by key and refreshes through the grid interfaces alone.

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "addin/grid/interface_source.h"
#include "database/sample_goods.h"
#include "platform/grid_component/grid_component.h"
#include "platform/runtime/module.h"
#include "platform/runtime/script_object.h"
#include "platform/win/crt.h"
#include "platform/win/module_loader.h"
#include "tests/support/host_fixture.h"

namespace {

using grid_component::Grid;
using test_support::Cp;
using test_support::Utf;

constexpr int kRows = 500;
constexpr int kPage = 10;

CValue Number(long n) { return ScriptObject::Number(n); }
CValue Text(const std::string& utf8) { return ScriptObject::Text(Cp(utf8)); }

// The first cell (the id) of every row line of a rendered table, header and rule skipped.
std::vector<long> RenderedIds(const std::string& table) {
    std::vector<long> ids;
    std::istringstream lines(table);
    std::string line;
    for (int skip = 0; skip < 2 && std::getline(lines, line); ++skip) {
    }
    while (std::getline(lines, line)) ids.push_back(std::stol(line.substr(0, line.find(" | "))));
    return ids;
}

// Ids from..to, both included.
std::vector<long> Ids(long from, long to) {
    std::vector<long> ids;
    for (long id = from; id <= to; ++id) ids.push_back(id);
    return ids;
}

class GridRoad : public test_support::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        crt::SetLocale(crt::Locale::Russian1251);
        ASSERT_NE(nullptr, module_.handle) << win::LastLoadError();
        path_ = ::testing::TempDir() + "rowlark_grid_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".db";
        std::remove(path_.c_str());
        MakeGoodsFile();

        // Script calls as the host makes them: a member found by its (Russian) name, then invoked.
        connection_ = ScriptObject::Create("OLEDBData");
        ASSERT_TRUE(connection_.Valid());
        EXPECT_EQ(1, connection_.Invoke(Cp("Открыть"), {Text(path_)}).code);
        provider_ = ScriptObject::Create(Cp("Рядовид.Провайдер.OleDb.VFP.Статический").c_str());
        ASSERT_TRUE(provider_.Valid());
        EXPECT_EQ(1, provider_.Write(Cp("ТекстЗапроса"), Text("SELECT id, code, name, price FROM goods ORDER BY id")).code);
        EXPECT_EQ(1, provider_.Write(Cp("КлючевоеПоле"), Text("id")).code);
        EXPECT_EQ(1, provider_.Invoke(Cp("УстановитьПодключение"), {connection_.value()}).code);
        EXPECT_EQ(1, provider_.Invoke(Cp("ПолучитьДанные")).code);
        ASSERT_TRUE(test_support::RaisedErrors().empty());
    }
    void TearDown() override {
        provider_ = ScriptObject();
        connection_ = ScriptObject();
        std::remove(path_.c_str());
        HostTest::TearDown();
    }

    // 500 sample goods; ids 321 and 400 renamed so that one Russian prefix leads to them alone.
    void MakeGoodsFile() {
        sqlite3* db = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_open(path_.c_str(), &db));
        rowlark::database::GoodsOptions options;
        options.rows = kRows;
        rowlark::database::CreateGoodsTable(db, options);
        ASSERT_EQ(SQLITE_OK, sqlite3_exec(db, "UPDATE goods SET name = 'Щавель конский' WHERE id IN (321, 400)",
                                          nullptr, nullptr, nullptr));
        sqlite3_stmt* statement = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_prepare_v2(db,
                                                "SELECT count(*) FROM goods WHERE id < 321 AND "
                                                "(name LIKE 'щав%' OR name LIKE 'Щав%' OR name LIKE 'ЩАВ%')",
                                                -1, &statement, nullptr));
        ASSERT_EQ(SQLITE_ROW, sqlite3_step(statement));
        EXPECT_EQ(0, sqlite3_column_int(statement, 0)) << "the sample has an earlier row with the prefix";
        sqlite3_finalize(statement);
        sqlite3_close(db);
    }
    // Changes the file through the same connection the provider reads.
    void Execute(const std::string& utf8_sql) {
        EXPECT_EQ(1, connection_.Invoke(Cp("Выполнить"), {Text(utf8_sql)}).code) << utf8_sql;
    }

    boost::shared_ptr<CDataProvider> DataProvider() { return GetGridInterface<CDataProvider>(provider_.context()); }

    static std::vector<long> ShownIds(const Grid& grid) {
        std::vector<long> ids;
        for (const auto& row : grid.Rows()) ids.push_back(row->GetRowId() + 1);  // row k holds id k + 1
        EXPECT_EQ(ids, RenderedIds(grid.Render()));
        return ids;
    }

    // The module file, loaded as the host loads it: made first, gone last.
    struct LoadedModule {
        LoadedModule() : handle(win::LoadLibraryA(ROWLARK_MODULE_PATH)) { EXPECT_NE(nullptr, handle) << win::LastLoadError(); }
        ~LoadedModule() { win::FreeLibrary(handle); }
        HINSTANCE handle;
    } module_;
    std::string path_;
    ScriptObject connection_;
    ScriptObject provider_;
};

TEST_F(GridRoad, PagesThroughTheWholeResult) {
    Grid grid(kPage);
    ASSERT_TRUE(grid.Attach(provider_.value()));
    int count = 0;
    ASSERT_TRUE(grid.RowCount(count));
    EXPECT_EQ(kRows, count);

    ASSERT_TRUE(grid.Home());
    EXPECT_EQ(Ids(1, 10), ShownIds(grid));
    ASSERT_TRUE(grid.PageDown());
    EXPECT_EQ(Ids(11, 20), ShownIds(grid));
    ASSERT_TRUE(grid.PageDown());
    EXPECT_EQ(Ids(21, 30), ShownIds(grid));
    ASSERT_TRUE(grid.PageUp());
    EXPECT_EQ(Ids(11, 20), ShownIds(grid));
    ASSERT_TRUE(grid.PageUp());
    EXPECT_EQ(Ids(1, 10), ShownIds(grid));
    ASSERT_TRUE(grid.PageUp());  // stays at the start
    EXPECT_EQ(Ids(1, 10), ShownIds(grid));

    ASSERT_TRUE(grid.End());
    EXPECT_EQ(Ids(491, 500), ShownIds(grid));
    ASSERT_TRUE(grid.PageDown());  // stays at the end
    EXPECT_EQ(Ids(491, 500), ShownIds(grid));
    ASSERT_TRUE(grid.PageUp());
    EXPECT_EQ(Ids(481, 490), ShownIds(grid));
    EXPECT_TRUE(test_support::RaisedErrors().empty());
}

TEST_F(GridRoad, PagingDownFromTheTopReachesEveryRowOnce) {
    Grid grid(7);  // 500 is not a multiple of 7: the last page is topped up from the one before
    ASSERT_TRUE(grid.Attach(provider_.value()));
    ASSERT_TRUE(grid.Home());
    std::vector<long> seen = ShownIds(grid);
    for (int page = 0; page < 80 && seen.back() < kRows; ++page) {
        const long last = seen.back();
        ASSERT_TRUE(grid.PageDown());
        const std::vector<long> shown = ShownIds(grid);
        ASSERT_EQ(7u, shown.size());
        for (long id : shown)
            if (id > last) seen.push_back(id);
    }
    EXPECT_EQ(Ids(1, kRows), seen);
    EXPECT_EQ(Ids(494, 500), ShownIds(grid));
}

TEST_F(GridRoad, RenderShowsTheColumnNamesAndRussianCellsAsUtf8) {
    Grid grid(kPage);
    ASSERT_TRUE(grid.Attach(provider_.value()));
    ASSERT_TRUE(grid.GoToKey(Number(321)));
    const std::string table = grid.Render();
    EXPECT_EQ(0u, table.find("id")) << table;
    EXPECT_NE(std::string::npos, table.find("code")) << table;
    EXPECT_NE(std::string::npos, table.find("Щавель конский")) << table;
}

TEST_F(GridRoad, SearchForARussianPrefixStartsTheViewportAtTheFirstMatch) {
    Grid grid(kPage);
    ASSERT_TRUE(grid.Attach(provider_.value()));
    ASSERT_TRUE(grid.End());
    EXPECT_TRUE(grid.Search("name", CString(Cp("ЩАВЕЛЬ К").c_str())));
    EXPECT_EQ(Ids(321, 330), ShownIds(grid));
    EXPECT_EQ(1, grid.NotificationCount(2));
    EXPECT_EQ("", GetBkEndUI()->StatusText());

    EXPECT_FALSE(grid.Search("name", CString(Cp("щавель з").c_str())));
    EXPECT_EQ(Ids(321, 330), ShownIds(grid));  // nothing matched: the viewport stays
    EXPECT_EQ(1, grid.NotificationCount(2));
    EXPECT_TRUE(test_support::RaisedErrors().empty());
}

TEST_F(GridRoad, GoToKeyStartsTheViewportAtTheKeyedRow) {
    Grid grid(kPage);
    ASSERT_TRUE(grid.Attach(provider_.value()));
    ASSERT_TRUE(grid.GoToKey(Number(250)));
    EXPECT_EQ(Ids(250, 259), ShownIds(grid));
    const CValue key = grid.RowKey(3);
    EXPECT_EQ(253L, static_cast<long>(key.GetNumeric()));

    EXPECT_FALSE(grid.GoToKey(Number(kRows + 1)));
    EXPECT_EQ(Ids(250, 259), ShownIds(grid));
    ASSERT_TRUE(grid.GoToKey(Number(1)));
    EXPECT_EQ(Ids(1, 10), ShownIds(grid));
    ASSERT_TRUE(grid.GoToKey(Number(kRows)));
    EXPECT_EQ(Ids(kRows, kRows), ShownIds(grid));
}

TEST_F(GridRoad, RefreshShowsChangedDataInTheSameRows) {
    Grid grid(kPage);
    ASSERT_TRUE(grid.Attach(provider_.value()));
    ASSERT_TRUE(grid.Home());
    ASSERT_TRUE(grid.PageDown());
    Execute("UPDATE goods SET name = 'Обновлённый товар' WHERE id = 12");
    Execute("INSERT INTO goods(id, code, name, price, qty) VALUES(501, 'Т-000501', 'Новый', 1.5, 1)");
    EXPECT_EQ(std::string::npos, grid.Render().find("Обновлённый товар"));

    ASSERT_TRUE(grid.Refresh());
    EXPECT_EQ(Ids(11, 20), ShownIds(grid));
    CString text;
    EXPECT_EQ("Обновлённый товар", Utf(std::string(grid.Rows()[1]->FormatField(2, text).view())));
    int count = 0;
    ASSERT_TRUE(grid.RowCount(count));
    EXPECT_EQ(kRows + 1, count);
    ASSERT_TRUE(grid.End());
    EXPECT_EQ(Ids(492, 501), ShownIds(grid));
    EXPECT_TRUE(test_support::RaisedErrors().empty());
}

TEST_F(GridRoad, GridAndScriptTogetherOwnTheProviderAndLetEverythingGo) {
    boost::weak_ptr<CDataProvider> watch;
    {
        Grid grid(kPage);
        ASSERT_TRUE(grid.Attach(provider_.value()));
        watch = DataProvider();
        ASSERT_TRUE(grid.End());
        ASSERT_TRUE(grid.PageUp());
        ASSERT_TRUE(grid.GoToKey(Number(100)));
        ASSERT_TRUE(grid.Search("name", CString(Cp("щавель").c_str())));
        provider_ = ScriptObject();  // the grid alone keeps the provider now
        EXPECT_FALSE(watch.expired());
        ASSERT_TRUE(grid.PageDown());
        EXPECT_EQ(Ids(331, 340), ShownIds(grid));
    }
    EXPECT_TRUE(watch.expired());  // its rows and the provider went with the grid (the leak check covers the rows)
}

TEST_F(GridRoad, AttachRefusesObjectsThatAreNotProviders) {
    Grid grid(kPage);
    EXPECT_FALSE(grid.Attach(connection_.value()));
    EXPECT_FALSE(grid.Attach(CValue()));
    EXPECT_FALSE(grid.Attach(Number(5)));
    const ScriptObject::Reply fields = provider_.Invoke(Cp("Поля"));
    EXPECT_EQ(1, fields.code);
    ASSERT_NE(nullptr, fields.value.GetContext());
    EXPECT_FALSE(grid.Attach(fields.value));
    EXPECT_FALSE(grid.Home());
    EXPECT_TRUE(grid.Rows().empty());
    int count = 0;
    EXPECT_FALSE(grid.RowCount(count));
}

TEST_F(GridRoad, AttachSetsAndDetachClearsTheProvidersWindow) {
    const auto provider = DataProvider();
    ASSERT_TRUE(provider);
    EXPECT_EQ(nullptr, provider->m_hWnd);
    Grid grid(kPage);
    ASSERT_TRUE(grid.Attach(provider_.value()));
    EXPECT_EQ(grid.Window(), provider->m_hWnd);
    ASSERT_TRUE(grid.Home());
    provider->NotifyGridCode0();
    EXPECT_EQ(1, grid.NotificationCount(0));

    grid.Detach();
    EXPECT_EQ(nullptr, provider->m_hWnd);
    EXPECT_TRUE(grid.Rows().empty());
    provider->NotifyGridCode0();
    EXPECT_EQ(1, grid.NotificationCount(0));

    // A grid moving to another provider lets go of the first one's window as well.
    ASSERT_TRUE(grid.Attach(provider_.value()));
    const ScriptObject other = ScriptObject::Create("Rowlark.Provider.OleDb.VFP.Static");
    ASSERT_TRUE(other.Valid());
    ASSERT_TRUE(grid.Attach(other.value()));
    EXPECT_EQ(nullptr, provider->m_hWnd);
    grid.Detach();
}

}  // namespace
