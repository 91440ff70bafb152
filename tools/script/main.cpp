// script FILE.1s [--db DATABASE] [--work-date ДД.ММ.ГГГГ]: runs a script in the host's built-in
// language with the module loaded, as the host runs one. The script reads DATABASE as
// ПутьКБазе/DatabasePath (a FoxPro table FILE.dbf: the path of its imported copy), and the date as РабочаяДата (today's when not given).
// Exit status: 0 done, 1 a run-time error stopped it, 2 a syntax error or bad usage.
#include <cstdio>
#include <string>

#include "tools/i18n/tool_text.h"
#include "tools/script/language/date_text.h"
#include "tools/import/dbf_cache.h"
#include "tools/script/runner.h"
#include "tools/session/host_session.h"

namespace {

// The working date in the host's form (ДД.ММ.ГГГГ or ДД.ММ.ГГ; the ISO ГГГГ-ММ-ДД too); false, with
// the reason on standard error, for a text that names no day.
bool ReadWorkDate(const std::string& text, script::RunOptions& options) {
    const auto day = script::date_text::ParseDate(text);
    if (!day || *day == script::calendar::kEmptyDate) {
        std::fprintf(stderr, "script: %s\n",
                     tool_text::Fill(tool_text::_("--work-date '%s' is not a day (DD.MM.YYYY)"), {text}).c_str());
        return false;
    }
    options.work_date = *day;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    tool_text::Start();
    std::string file;
    script::RunOptions options;
    bool usage_ok = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--db" && i + 1 < argc)
            options.database_path = argv[++i];
        else if (arg == "--work-date" && i + 1 < argc)
            usage_ok = ReadWorkDate(argv[++i], options) && usage_ok;
        else if (file.empty() && !arg.empty() && arg[0] != '-')
            file = arg;
        else
            usage_ok = false;
    }
    if (!usage_ok || file.empty()) {
        std::fprintf(stderr, "%s\n", tool_text::_("usage: script FILE.1s [--db DATABASE] [--work-date DD.MM.YYYY]"));
        return script::kSyntaxFailed;
    }
    if (!options.database_path.empty() && !tools::RequireDatabaseFile(options.database_path.c_str()))
        return script::kSyntaxFailed;
    // A FoxPro table is read from its imported copy in the cache; the script finds it at ПутьКБазе.
    std::string dbf_table;
    if (!import_tool::OpenDbfForTool("script", options.database_path, dbf_table)) return script::kRuntimeFailed;
    tools::HostSession host;
    if (!host.loaded()) return script::kRuntimeFailed;
    return script::RunFile(file, options);
}
