#include "tools/import/dbf_cache.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "tools/import/import_run.h"
#include "tools/import/progress_bar.h"
#include "tools/session/stop_signals.h"
#include "tools/terminal_text/showable_text.h"
#include "tools/i18n/tool_text.h"

namespace import_tool {

namespace {

namespace fs = std::filesystem;

// FNV-1a, 64 bits: a short stable name for a text.
std::uint64_t Hash(const std::string& text, std::uint64_t hash = 14695981039346656037ull) {
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string Hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// Size and time of change of the table's files, as one text.
std::string Stamp(const std::string& dbf) {
    std::string stamp;
    const auto add = [&](const std::string& path) {
        struct stat info = {};
        if (::stat(path.c_str(), &info) != 0) return;
        stamp += path + ":" + std::to_string(static_cast<long long>(info.st_size)) + ":" +
                 std::to_string(static_cast<long long>(info.st_mtim.tv_sec)) + "." +
                 std::to_string(static_cast<long long>(info.st_mtim.tv_nsec)) + ";";
    };
    add(dbf);
    for (const char* extension : {"fpt", "dbt", "cdx"})
        if (const auto sibling = rowlark::foxpro::FindSibling(dbf, extension)) add(*sibling);
    return stamp;
}

}  // namespace

bool IsDbfPath(const std::string& path) {
    return path.size() > 4 && oledb_backend::AsciiLower(path.substr(path.size() - 4)) == ".dbf";
}

std::string CacheFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/') return std::string(cache) + "/rowlark";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') throw std::runtime_error(tool_text::_("no cache folder: neither XDG_CACHE_HOME nor HOME is set"));
    return std::string(home) + "/.cache/rowlark";
}

CachedTable OpenCachedTable(const std::string& dbf, ProgressSink& progress, const std::function<bool()>& stop) {
    std::error_code error;
    const std::string path = fs::absolute(dbf, error).lexically_normal().string();
    std::vector<std::string> missing;
    const auto sources = ListSourceTables({path}, missing);
    const fs::path folder = CacheFolder();
    const std::string prefix = Hex(Hash(path)) + "-";
    const fs::path database = folder / (prefix + Hex(Hash(Stamp(path))) + ".db");
    CachedTable cached{database.string(), sources.front().name};
    if (fs::exists(database, error)) return cached;

    fs::create_directories(folder);
    ImportRequest request;
    request.inputs = {path};
    request.target = database.string();
    request.stop = stop;
    RunImport(request, progress);
    // The copies of the table's earlier states are no longer wanted.
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0 && entry.path().extension() == ".db" && entry.path() != database) fs::remove(entry.path(), error);
    }
    return cached;
}

bool OpenDbfForTool(const char* tool, std::string& path, std::string& table) {
    std::error_code error;
    if (!IsDbfPath(path) || !fs::is_regular_file(path, error)) return true;
    tools::CatchStopSignals();
    ProgressBar progress;
    try {
        const CachedTable cached = OpenCachedTable(path, progress, [] { return tools::g_stop_signal != 0; });
        path = cached.database;
        table = cached.table;
        return true;
    } catch (const std::exception& failure) {
        const std::string why = tools::g_stop_signal != 0 ? Interrupted().what() : failure.what();
        std::fprintf(stderr, "%s: %s\n", tool, terminal_text::Showable(why).c_str());
        return false;
    }
}

}  // namespace import_tool
