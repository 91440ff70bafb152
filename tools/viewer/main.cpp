// Browses a goods database in the grid, a page at a time, through either provider.
// Usage: viewer [--dynamic] [--page N] [--] DB; then commands on standard input (see viewer_commands.h).
// Every way out is a return from main, so the session and its objects are always released.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>

#include "tools/i18n/tool_text.h"
#include "tools/session/host_session.h"
#include "tools/session/name_order.h"
#include "tools/session/page_table.h"
#include "tools/session/stop_signals.h"
#include "tools/viewer/line_reader.h"
#include "tools/terminal_text/showable_text.h"
#include "tools/viewer/viewer_commands.h"

namespace {

using tool_text::_;
using tool_text::Fill;

const char* Usage() { return _("usage: viewer [--dynamic] [--page N] [--] DB"); }
constexpr int kMinPage = 1;
constexpr int kMaxPage = 1000;

struct Options {
    const char* path = nullptr;
    bool dynamic = false;
    int page = 15;
};

// Whether the command line is sound; prints why, on one line, when it is not.
bool Parse(int argc, char** argv, Options& options) {
    bool options_end = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!options_end && arg == "--") {
            options_end = true;
        } else if (!options_end && arg == "--dynamic") {
            options.dynamic = true;
        } else if (!options_end && arg == "--page") {
            const std::string_view text = i + 1 < argc ? std::string_view(argv[++i]) : std::string_view();
            int page = 0;
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), page);
            if (text.empty() || error != std::errc() || end != text.data() + text.size() || page < kMinPage ||
                page > kMaxPage) {
                std::fprintf(stderr, "viewer: %s\n",
                             Fill(_("--page takes a whole number from %s to %s, got '%s'"),
                                  {std::to_string(kMinPage), std::to_string(kMaxPage), std::string(text)})
                                 .c_str());
                return false;
            }
            options.page = page;
        } else if (!options_end && arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "viewer: %s; %s\n",
                         Fill(_("unknown option %s (a file name that begins with '-' goes after --)"), {argv[i]}).c_str(),
                         Usage());
            return false;
        } else if (options.path == nullptr) {
            options.path = argv[i];
        } else {
            std::fprintf(stderr, "viewer: %s; %s\n", _("one database only"), Usage());
            return false;
        }
    }
    if (options.path == nullptr) std::fprintf(stderr, "%s\n", Usage());
    return options.path != nullptr;
}

// The status of a viewer stopped by a signal, as a shell reports a process it ended.
int Stopped() {
    std::fprintf(stderr, "viewer: %s\n", _("interrupted"));
    return 128 + tools::g_stop_signal;
}

int Browse(const Options& options) {
    ScriptObject connection = tools::OpenConnection(options.path);
    if (!connection.Valid()) return 1;
    ScriptObject provider =
        options.dynamic
            ? tools::MakeDynamicProvider(connection, {"SELECT id, code, name, price, qty, note FROM goods WHERE id IN (%СписокИД%)",
                                                      "id", "id", "goods", "name"})
            : tools::MakeStaticProvider(connection, {"SELECT id, code, name, price, qty, note FROM goods ORDER BY " +
                                                         tools::GoodsNameOrder(options.path),
                                                     "id"});
    if (!provider.Valid()) return 1;
    grid_component::Grid grid(options.page);
    if (!grid.Attach(provider.value())) {
        std::fprintf(stderr, "%s\n", _("the provider offers no grid interfaces"));
        return 1;
    }
    grid.Home();
    if (tools::ReportErrors("home")) return 1;
    if (tools::g_stop_signal != 0) return Stopped();
    std::printf("%s", tools::PageTable(grid.Rows(), provider.value()).c_str());
    std::fflush(stdout);

    viewer::LineReader input(STDIN_FILENO);
    for (std::string line;;) {
        const viewer::LineReader::Status status = input.Next(line);
        if (tools::g_stop_signal != 0) return Stopped();
        if (status == viewer::LineReader::Status::kEnd) return 0;
        if (status == viewer::LineReader::Status::kInterrupted) continue;
        if (status == viewer::LineReader::Status::kError) {
            std::fprintf(stderr, "viewer: %s: %s\n", _("cannot read the commands"), std::strerror(errno));
            return 1;
        }
        if (status == viewer::LineReader::Status::kTooLong) {
            std::printf("%s\n", Fill(_("line too long (over %s bytes); ignored"), {std::to_string(input.max_line())}).c_str());
            continue;
        }
        const viewer::Outcome outcome = viewer::Apply(grid, line, "name");
        if (outcome.quit) return 0;
        if (!outcome.message.empty()) std::printf("%s\n", terminal_text::Showable(outcome.message).c_str());
        if (tools::ReportErrors(line)) return 1;
        std::printf("%s", tools::PageTable(grid.Rows(), provider.value()).c_str());
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv) {
    tool_text::Start();
    Options options;
    if (!Parse(argc, argv, options)) return 2;
    if (!tools::RequireDatabaseFile(options.path)) return 1;
    tools::CatchStopSignals();
    tools::HostSession host;
    if (!host.loaded()) return 1;
    return Browse(options);
}
