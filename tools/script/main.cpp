// script FILE.1s [--db DATABASE]: runs a script in the host's built-in language with the module
// loaded, as the host runs one. The script reads DATABASE as ПутьКБазе/DatabasePath.
// Exit status: 0 done, 1 a run-time error stopped it, 2 a syntax error or bad usage.
#include <cstdio>
#include <string>

#include "tools/script/runner.h"
#include "tools/session/host_session.h"

int main(int argc, char** argv) {
    std::string file;
    script::RunOptions options;
    bool usage_ok = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--db" && i + 1 < argc)
            options.database_path = argv[++i];
        else if (file.empty() && !arg.empty() && arg[0] != '-')
            file = arg;
        else
            usage_ok = false;
    }
    if (!usage_ok || file.empty()) {
        std::fprintf(stderr, "usage: script FILE.1s [--db DATABASE]\n");
        return script::kSyntaxFailed;
    }
    if (!options.database_path.empty() && !tools::RequireDatabaseFile(options.database_path.c_str()))
        return script::kSyntaxFailed;
    tools::HostSession host;
    if (!host.loaded()) return script::kRuntimeFailed;
    return script::RunFile(file, options);
}
