// The main job: opens goods databases the way a host script does — creates the module's providers by
// their registered names, sets their properties, connects them and loads — hands them to the grid,
// and prints what a user sees. Usage: demo GOODS_DB [BIG_GOODS_DB]
// The databases are the user's: the one change the demo shows is made in a transaction it rolls back.
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "platform/grid_component/grid_component.h"
#include "platform/oledb/connection_secrets.h"
#include "platform/text/cp1251.h"
#include "tools/i18n/locale_forms.h"
#include "tools/i18n/tool_text.h"
#include "tools/session/host_session.h"
#include "tools/session/name_order.h"
#include "tools/session/page_table.h"
#include "tools/terminal_text/showable_text.h"

namespace {

using cp1251::FromUtf8;
using tool_text::_;
using tool_text::Fill;
using tools::Text;

constexpr int kPage = 12;

// A time in milliseconds with that many decimals.
std::string Milliseconds(double milliseconds, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, milliseconds);
    return Fill(_("%s ms"), {text});
}

void Show(const std::string& title, const grid_component::Grid& grid, const ScriptObject& provider,
          double milliseconds = -1) {
    const std::string heading = milliseconds >= 0 ? title + " (" + Milliseconds(milliseconds, 2) + ")" : title;
    std::printf("\n== %s\n%s", heading.c_str(), tools::PageTable(grid.Rows(), provider.value()).c_str());
}

double Timed(const std::function<void()>& step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

bool Attach(grid_component::Grid& grid, const ScriptObject& provider) {
    if (grid.Attach(provider.value())) return true;
    std::fprintf(stderr, "%s\n", _("the provider offers no grid interfaces"));
    return false;
}

// Runs SQL on the connection; false, with the database's message printed, when it fails.
bool Execute(ScriptObject& connection, const std::string& sql) {
    connection.Call(FromUtf8("Выполнить").c_str(), {ScriptObject::Text(sql)});
    return !tools::ReportErrors("Выполнить");
}

// The database as the headings name it: a connection string's password is not shown.
std::string Named(const std::string& path) { return terminal_text::Showable(oledb_backend::HidePasswords(path)); }

bool StaticProviderJob(const std::string& path) {
    std::printf("# %s\n", Fill(_("Static provider over %s"), {Named(path)}).c_str());
    ScriptObject connection = tools::OpenConnection(path);
    if (!connection.Valid()) return false;
    ScriptObject provider;
    const double load_ms = Timed([&] {
        provider = tools::MakeStaticProvider(
            connection, {"SELECT id, code, name, price, qty, note FROM goods ORDER BY " + tools::GoodsNameOrder(path), "ID"});
    });
    grid_component::Grid grid(kPage);
    if (!provider.Valid() || !Attach(grid, provider)) return false;
    int rows = 0;
    grid.RowCount(rows);
    std::printf("%s\n", Fill(tool_text::Plural("loaded %s row in %s", "loaded %s rows in %s", rows < 0 ? 0 : rows),
                             {tool_text::Grouped(rows), Milliseconds(load_ms, 1)})
                            .c_str());
    grid.Home();
    Show(_("First page"), grid, provider);
    grid.End();
    Show(_("Last page"), grid, provider);
    if (grid.Search("NAME", CString(FromUtf8("мол").c_str())))
        Show(_("After typing \"мол\" in the name column"), grid, provider);
    else
        std::printf("\n== %s\n", _("No name begins with \"мол\""));
    const long key = rows > 1 ? rows / 2 : 1;  // keys run from 1 to the number of rows
    if (grid.GoToKey(ScriptObject::Number(key)))
        Show(Fill(_("Row found by key %s"), {std::to_string(key)}), grid, provider);
    return !tools::ReportErrors("grid");
}

// Raises the first visible row's price by 1000 and refreshes that row, inside a transaction that is
// then rolled back: the file keeps its exact values, also when the demo is stopped half-way (the
// database rolls the unfinished transaction back at its next opening). A file that cannot be
// written only skips this step.
bool ShowRefreshedRow(ScriptObject& connection, grid_component::Grid& grid, const ScriptObject& provider) {
    if (grid.Rows().empty()) {
        std::printf("\n== %s\n", _("No rows, so no price to change and refresh"));
        return true;
    }
    CString first_id;
    grid.Rows().front()->FormatField(0, first_id);
    if (!Execute(connection, "BEGIN")) return false;
    if (Execute(connection, "UPDATE goods SET price = price + 1000 WHERE id = " + std::string(first_id.view()))) {
        const double refresh_ms = Timed([&] { grid.RefreshRow(0); });
        Show(_("First page after raising the first row's price by 1000 and refreshing that row"), grid, provider,
             refresh_ms);
    } else {
        std::printf("\n== %s\n", _("The price change is skipped: the database cannot be written"));
    }
    const bool refreshed = !tools::ReportErrors("grid");
    return Execute(connection, "ROLLBACK") && refreshed;
}

bool DynamicProviderJob(const std::string& path) {
    std::printf("\n# %s\n", Fill(_("Dynamic provider over %s"), {Named(path)}).c_str());
    ScriptObject connection = tools::OpenConnection(path);
    if (!connection.Valid()) return false;
    ScriptObject provider;
    const double open_ms = Timed([&] {
        provider = tools::MakeDynamicProvider(
            connection, {"SELECT id, code, name, price, qty FROM goods WHERE id IN (%СписокИД%)", "ID", "id", "goods", "name"});
    });
    grid_component::Grid grid(kPage);
    if (!provider.Valid() || !Attach(grid, provider)) return false;
    std::printf("%s\n", Fill(_("opened in %s"), {Milliseconds(open_ms, 2)}).c_str());

    Show(_("First page"), grid, provider, Timed([&] { grid.Home(); }));
    Show(_("Last page (backward from no start row)"), grid, provider, Timed([&] { grid.End(); }));
    grid.Home();
    const double ms = Timed([&] { for (int i = 0; i < 3; ++i) grid.PageDown(); });
    Show(_("Three pages forward"), grid, provider, ms / 3);
    Show(_("One page back"), grid, provider, Timed([&] { grid.PageUp(); }));
    if (tools::ReportErrors("grid")) return false;

    provider.Set(FromUtf8("ФильтрС").c_str(), Text("Мор"));
    provider.Set(FromUtf8("ФильтрПо").c_str(), Text("Мос"));
    Show(_("Names from \"Мор\" up to those beginning with \"Мос\""), grid, provider, Timed([&] { grid.Home(); }));
    Show(_("... and the end of that range"), grid, provider, Timed([&] { grid.End(); }));
    provider.Set(FromUtf8("ФильтрС").c_str(), Text(""));
    provider.Set(FromUtf8("ФильтрПо").c_str(), Text(""));
    grid.Home();
    if (tools::ReportErrors("grid")) return false;
    return ShowRefreshedRow(connection, grid, provider);
}

}  // namespace

int main(int argc, char** argv) {
    tool_text::Start();
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "%s\n", _("usage: demo GOODS_DB [BIG_GOODS_DB]"));
        return 2;
    }
    for (int i = 1; i < argc; ++i)
        if (!tools::RequireDatabaseFile(argv[i])) return 1;
    tools::HostSession host;
    if (!host.loaded() || !StaticProviderJob(argv[1])) return 1;
    if (argc > 2 && !DynamicProviderJob(argv[2])) return 1;
    return 0;
}
