// The main job: opens goods databases the way a host script does — creates the module's providers by
// their registered names, sets their properties, connects them and loads — hands them to the grid,
// and prints what a user sees. Usage: demo GOODS_DB [BIG_GOODS_DB]
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "platform/grid_component/grid_component.h"
#include "platform/text/cp1251.h"
#include "tools/session/host_session.h"

namespace {

using cp1251::FromUtf8;
using tools::Text;

constexpr int kPage = 12;

void Show(const char* title, const grid_component::Grid& grid, double milliseconds = -1) {
    if (milliseconds >= 0)
        std::printf("\n== %s (%.2f ms)\n%s", title, milliseconds, grid.Render().c_str());
    else
        std::printf("\n== %s\n%s", title, grid.Render().c_str());
}

double Timed(const std::function<void()>& step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Attach(grid_component::Grid& grid, const ScriptObject& provider) {
    if (grid.Attach(provider.value())) return;
    std::fprintf(stderr, "the provider offers no grid interfaces\n");
    std::exit(1);
}

void StaticProviderJob(const char* path) {
    std::printf("# Static provider over %s\n", path);
    ScriptObject connection = tools::OpenConnection(path);
    ScriptObject provider;
    const double load_ms = Timed([&] {
        provider = tools::MakeStaticProvider(
            connection, {"SELECT id, code, name, price, qty, note FROM goods ORDER BY name, id", "ID"});
    });
    grid_component::Grid grid(kPage);
    Attach(grid, provider);
    int rows = 0;
    grid.RowCount(rows);
    std::printf("loaded %d rows in %.1f ms\n", rows, load_ms);
    grid.Home();
    Show("First page", grid);
    grid.End();
    Show("Last page", grid);
    if (grid.Search("NAME", CString(FromUtf8("мол").c_str())))
        Show("After typing \"мол\" in the name column", grid);
    else
        std::printf("\n== No name begins with \"мол\"\n");
    const long key = rows > 1 ? rows / 2 : 1;  // keys run from 1 to the number of rows
    if (grid.GoToKey(ScriptObject::Number(key))) Show(("Row found by key " + std::to_string(key)).c_str(), grid);
    tools::ExitOnError("grid");
}

void DynamicProviderJob(const char* path) {
    std::printf("\n# Dynamic provider over %s\n", path);
    ScriptObject connection = tools::OpenConnection(path);
    ScriptObject provider;
    const double open_ms = Timed([&] {
        provider = tools::MakeDynamicProvider(
            connection, {"SELECT id, code, name, price, qty FROM goods WHERE id IN (%СписокИД%)", "ID", "id", "goods", "name"});
    });
    std::printf("opened in %.2f ms\n", open_ms);

    grid_component::Grid grid(kPage);
    Attach(grid, provider);
    Show("First page", grid, Timed([&] { grid.Home(); }));
    Show("Last page (backward from no start row)", grid, Timed([&] { grid.End(); }));
    grid.Home();
    const double ms = Timed([&] { for (int i = 0; i < 3; ++i) grid.PageDown(); });
    Show("Three pages forward", grid, ms / 3);
    Show("One page back", grid, Timed([&] { grid.PageUp(); }));

    provider.Set(FromUtf8("ФильтрС").c_str(), Text("Мор"));
    provider.Set(FromUtf8("ФильтрПо").c_str(), Text("Мос"));
    Show("Names from \"Мор\" up to those beginning with \"Мос\"", grid, Timed([&] { grid.Home(); }));
    Show("... and the end of that range", grid, Timed([&] { grid.End(); }));
    provider.Set(FromUtf8("ФильтрС").c_str(), Text(""));
    provider.Set(FromUtf8("ФильтрПо").c_str(), Text(""));

    grid.Home();
    CString first_id;
    grid.Rows().front()->FormatField(0, first_id);
    const std::string id(first_id.view());
    const auto execute = [&](const std::string& sql) {
        connection.Call(FromUtf8("Выполнить").c_str(), {ScriptObject::Text(sql)});
        tools::ExitOnError("Выполнить");
    };
    execute("UPDATE goods SET price = price + 1000 WHERE id = " + id);
    const double refresh_ms = Timed([&] { grid.RefreshRow(0); });
    Show("First page after raising the first row's price by 1000 and refreshing that row", grid, refresh_ms);
    execute("UPDATE goods SET price = price - 1000 WHERE id = " + id);
    tools::ExitOnError("grid");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: demo GOODS_DB [BIG_GOODS_DB]\n");
        return 2;
    }
    for (int i = 1; i < argc; ++i)
        if (!tools::RequireDatabaseFile(argv[i])) return 1;
    tools::HostSession host;
    StaticProviderJob(argv[1]);
    if (argc > 2) DynamicProviderJob(argv[2]);
    return 0;
}
