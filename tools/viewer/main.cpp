// Browses a goods database in the grid, a page at a time, through either provider.
// Usage: viewer DB [--dynamic] [--page N]; then commands on standard input (see viewer_commands.h).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "tools/session/host_session.h"
#include "tools/viewer/viewer_commands.h"

namespace {

constexpr const char* kUsage = "usage: viewer DB [--dynamic] [--page N]";

struct Options {
    const char* path = nullptr;
    bool dynamic = false;
    int page = 15;
};

bool Parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dynamic") == 0) {
            options.dynamic = true;
        } else if (std::strcmp(argv[i], "--page") == 0 && i + 1 < argc) {
            options.page = std::atoi(argv[++i]);
            if (options.page < 1 || options.page > 1000) return false;
        } else if (argv[i][0] != '-' && options.path == nullptr) {
            options.path = argv[i];
        } else {
            return false;
        }
    }
    return options.path != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    if (!tools::RequireDatabaseFile(options.path)) return 1;
    tools::HostSession host;
    {
        ScriptObject connection = tools::OpenConnection(options.path);
        ScriptObject provider =
            options.dynamic
                ? tools::MakeDynamicProvider(connection, {"SELECT id, code, name, price, qty, note FROM goods WHERE id IN (%СписокИД%)",
                                                          "id", "id", "goods", "name"})
                : tools::MakeStaticProvider(connection, {"SELECT id, code, name, price, qty, note FROM goods ORDER BY name, id", "id"});
        grid_component::Grid grid(options.page);
        grid.Attach(provider.value());
        grid.Home();
        std::printf("%s", grid.Render().c_str());
        for (std::string line; std::getline(std::cin, line);) {
            const viewer::Outcome outcome = viewer::Apply(grid, line, "name");
            if (outcome.quit) break;
            if (!outcome.message.empty()) std::printf("%s\n", outcome.message.c_str());
            std::printf("%s", grid.Render().c_str());
            tools::ExitOnError(line.c_str());
        }
    }
    return 0;
}
