// The main job: opens a goods database the way a host script does — creates the module's providers
// by their registered names, sets their properties, connects them and loads — hands them to the
// grid, and prints what a user sees. Usage: demo GOODS_DB [BIG_GOODS_DB]
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "database/query_rows.h"
#include "platform/grid_component/grid_component.h"
#include "platform/oledb/procedures.h"
#include "platform/runtime/module.h"
#include "platform/runtime/script_object.h"
#include "platform/text/cp1251.h"
#include "platform/win/crt.h"
#include "platform/win/module_loader.h"

namespace {

using cp1251::FromUtf8;
using cp1251::ToUtf8;

constexpr int kPage = 12;

CValue Text(const char* utf8) { return ScriptObject::Text(FromUtf8(utf8)); }

// Stops with the module's own message, readably, when the script step raised a run-time error.
void CheckNoError(const char* step) {
    if (host_errors::Raised().empty()) return;
    for (const auto& error : host_errors::Raised()) std::fprintf(stderr, "%s: %s\n", step, ToUtf8(error.text).c_str());
    std::exit(1);
}

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

ScriptObject OpenConnection(const char* path) {
    ScriptObject connection = ScriptObject::Create("OLEDBData");
    if (!connection.Valid() || !connection.Call(FromUtf8("Открыть").c_str(), {ScriptObject::Text(path)}))
        CheckNoError("OLEDBData");
    CheckNoError(path);
    return connection;
}

void StaticProviderJob(const char* path) {
    std::printf("# Static provider over %s\n", path);
    ScriptObject connection = OpenConnection(path);
    ScriptObject provider = ScriptObject::Create(FromUtf8("Рядовид.Провайдер.OleDb.VFP.Статический").c_str());
    if (!provider.Valid()) {
        std::fprintf(stderr, "the static provider class is not registered\n");
        std::exit(1);
    }
    provider.Set(FromUtf8("ТекстЗапроса").c_str(), Text("SELECT id, code, name, price, qty, note FROM goods ORDER BY name, id"));
    provider.Set(FromUtf8("КлючевоеПоле").c_str(), Text("ID"));
    provider.Call(FromUtf8("УстановитьПодключение").c_str(), {connection.value()});
    const double load_ms = Timed([&] { provider.Call(FromUtf8("ПолучитьДанные").c_str()); });
    CheckNoError(ToUtf8(FromUtf8("ПолучитьДанные")).c_str());

    grid_component::Grid grid(kPage);
    if (!grid.Attach(provider.value())) {
        std::fprintf(stderr, "the provider offers no grid interfaces\n");
        std::exit(1);
    }
    int rows = 0;
    grid.RowCount(rows);
    std::printf("loaded %d rows in %.1f ms\n", rows, load_ms);
    grid.Home();
    Show("First page", grid);
    grid.End();
    Show("Last page", grid);
    const CString typed(FromUtf8("мол").c_str());
    if (grid.Search("NAME", typed))
        Show("After typing \"мол\" in the name column", grid);
    else
        std::printf("\n== No name begins with \"мол\"\n");
    if (grid.GoToKey(ScriptObject::Number(4242)))
        Show("Row found by key 4242", grid);
    CheckNoError("grid");
}

void DynamicProviderJob(const char* path) {
    std::printf("\n# Dynamic provider over %s\n", path);
    ScriptObject connection = OpenConnection(path);
    ScriptObject provider = ScriptObject::Create("Rowlark.Provider.OleDb.VFP.Dynamic");
    provider.Set(FromUtf8("ТекстЗапроса").c_str(),
                 Text("SELECT id, code, name, price, qty FROM goods WHERE id IN (%СписокИД%)"));
    provider.Set(FromUtf8("КлючевоеПолеЗапроса").c_str(), Text("ID"));
    provider.Set(FromUtf8("КлючевоеПолеОпорнойТаблицы").c_str(), Text("id"));
    provider.Set(FromUtf8("ОпорнаяТаблица").c_str(), Text("goods"));
    provider.Set(FromUtf8("ТегИндекса").c_str(), Text("name"));
    provider.Call(FromUtf8("УстановитьПодключение").c_str(), {connection.value()});
    const double open_ms = Timed([&] { provider.Call(FromUtf8("ПолучитьДанные").c_str()); });
    CheckNoError(ToUtf8(FromUtf8("ПолучитьДанные")).c_str());
    std::printf("opened in %.2f ms\n", open_ms);

    grid_component::Grid grid(kPage);
    grid.Attach(provider.value());
    Show("First page", grid, Timed([&] { grid.Home(); }));
    Show("Last page (backward from no start row)", grid, Timed([&] { grid.End(); }));
    grid.Home();
    double ms = Timed([&] { for (int i = 0; i < 3; ++i) grid.PageDown(); });
    Show("Three pages forward", grid, ms / 3);
    Show("One page back", grid, Timed([&] { grid.PageUp(); }));

    provider.Set(FromUtf8("ФильтрС").c_str(), Text("Мор"));
    provider.Set(FromUtf8("ФильтрПо").c_str(), Text("Мос"));
    Show("Names from \"Мор\" up to those beginning with \"Мос\"", grid, Timed([&] { grid.Home(); }));
    Show("... and the end of that range", grid, Timed([&] { grid.End(); }));
    provider.Set(FromUtf8("ФильтрС").c_str(), Text(""));
    provider.Set(FromUtf8("ФильтрПо").c_str(), Text(""));

    grid.Home();
    const CValue key = grid.RowKey(0);
    CString first_id;
    grid.Rows().front()->FormatField(0, first_id);
    const std::string update = "UPDATE goods SET price = price + 1000 WHERE id = " + std::string(first_id.view());
    connection.Call(FromUtf8("Выполнить").c_str(), {ScriptObject::Text(update)});
    CheckNoError("update");
    ms = Timed([&] { grid.RefreshRow(0); });
    Show("First page after raising the first row's price by 1000 and refreshing that row", grid, ms);
    connection.Call(FromUtf8("Выполнить").c_str(),
                    {ScriptObject::Text("UPDATE goods SET price = price - 1000 WHERE id = " + std::string(first_id.view()))});
    CheckNoError("grid");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: demo GOODS_DB [BIG_GOODS_DB]\n");
        return 2;
    }
    crt::SetLocale(crt::Locale::Russian1251);  // the host runs under the Russian locale
    for (int i = 1; i < argc; ++i) {
        if (!std::filesystem::is_regular_file(argv[i])) {  // opening would make an empty database there
            std::fprintf(stderr, "no such database file: %s\n", argv[i]);
            return 1;
        }
    }
    rowlark::database::RegisterDatabaseProcedures(
        [](const std::string& name, oledb_backend::Procedure procedure) { oledb_backend::RegisterProcedure(name, std::move(procedure)); });

    HINSTANCE module = win::LoadLibraryA(ROWLARK_MODULE_PATH);
    if (module == nullptr) {
        std::fprintf(stderr, "cannot load the module: %s\n", win::LastLoadError().c_str());
        return 1;
    }
    StaticProviderJob(argv[1]);
    if (argc > 2) DynamicProviderJob(argv[2]);
    win::FreeLibrary(module);
    return 0;
}
