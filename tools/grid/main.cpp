// The full-screen grid over a table of a SQLite file or a PostgreSQL server, through the module as a host uses it.
// Usage: see Usage() in grid_options.h. Keys: arrows, PgUp/PgDn, Home/End (and with Ctrl), letters
// search the current column (static) or start the range there (dynamic), Esc clears, F5 refreshes
// the current row, q (when nothing is typed) or F10 quits.
// Bad options, or a table, tag, key or column the database lacks, exit with status 2 before the
// screen opens; every other way out is a return from main, so the terminal is always restored.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "platform/oledb/connection_secrets.h"
#include "tools/grid/declared_columns.h"
#include "tools/grid/grid_options.h"
#include "tools/grid/grid_screen.h"
#include "tools/grid/place_gauge.h"
#include "tools/grid/table_plan.h"
#include "tools/grid/terminal.h"
#include "tools/i18n/tool_text.h"
#include "tools/import/dbf_cache.h"
#include "tools/session/host_session.h"
#include "tools/session/stop_signals.h"

namespace {

using tool_text::_;

constexpr int kBadInput = 2;

int Browse(const grid_tool::TablePlan& plan, const std::string& path, grid_tool::DeclaredColumns declared) {
    ScriptObject connection = tools::OpenConnection(path);
    if (!connection.Valid()) return 1;
    ScriptObject provider =
        plan.dynamic ? tools::MakeDynamicProvider(connection, {plan.query, plan.key, plan.key, plan.table, plan.tag})
                     : tools::MakeStaticProvider(connection, {plan.query, plan.key});
    if (!provider.Valid()) return 1;
    if (tools::g_stop_signal != 0) return 128 + tools::g_stop_signal;

    std::string error;
    {
        grid_tool::Terminal terminal;
        // The dynamic provider's place in its tag's order, from the tag's statistics.
        std::unique_ptr<grid_tool::PlaceGauge> gauge;
        if (plan.dynamic) gauge = std::make_unique<grid_tool::PlaceGauge>(path, plan);
        grid_tool::GridScreen screen(plan, provider, terminal, std::move(declared));
        screen.SetGauge(gauge.get());
        if (!terminal.open()) error = _("cannot open the terminal: its type (TERM) is unknown");
        else if (!screen.Run()) error = screen.error();
    }  // the terminal is restored here, before anything more is printed
    if (!error.empty()) {
        std::fprintf(stderr, "grid: %s\n", error.c_str());
        return 1;
    }
    if (tools::g_stop_signal != 0) {
        std::fprintf(stderr, "grid: %s\n", _("interrupted"));
        return 128 + tools::g_stop_signal;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tool_text::Start();
    grid_tool::Options options;
    if (!grid_tool::ParseOptions(argc, argv, options)) return kBadInput;
    if (!tools::RequireDatabaseFile(options.path.c_str())) return kBadInput;
    // A FoxPro table is shown from its copy in the cache, imported when it is missing or stale.
    std::string dbf_table;
    if (!import_tool::OpenDbfForTool("grid", options.path, dbf_table)) return 1;
    if (!dbf_table.empty() && !options.table_given) options.table = dbf_table;
    grid_tool::TablePlan plan;
    std::string error;
    if (!grid_tool::MakePlan(options, plan, error)) {
        // The database's own message, or ours, may quote the connection string: no password shown.
        std::fprintf(stderr, "grid: %s\n", oledb_backend::HidePasswordsIn(error, options.path).c_str());
        return kBadInput;
    }
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
        std::fprintf(stderr, "grid: %s\n", _("needs a terminal (standard input and output); for a printed table use viewer"));
        return kBadInput;
    }
    tools::CatchStopSignals();
    tools::HostSession host;
    if (!host.loaded()) return 1;
    return Browse(plan, options.path, grid_tool::ReadDeclaredColumns(options, plan));
}
