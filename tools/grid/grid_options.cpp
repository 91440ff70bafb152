#include "tools/grid/grid_options.h"

#include <cstdio>
#include <string_view>

#include "tools/i18n/tool_text.h"

namespace grid_tool {

namespace {

using tool_text::_;
using tool_text::Fill;

std::vector<std::string> SplitColumns(std::string_view text) {
    std::vector<std::string> columns;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) comma = text.size();
        std::string_view name = text.substr(start, comma - start);
        while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
        while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
        columns.emplace_back(name);
        start = comma + 1;
    }
    return columns;
}

}  // namespace

const char* Usage() {
    return _("usage: grid [--table T] [--key K] [--tag G] [--query SQL] [--columns A,B,...] [--static] [--] DB");
}

bool ParseOptions(int argc, char** argv, Options& options) {
    bool options_end = false;
    bool have_path = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        std::string* text_option = nullptr;
        if (!options_end && arg == "--") {
            options_end = true;
            continue;
        }
        if (!options_end && arg == "--static") {
            options.force_static = true;
            continue;
        }
        std::string columns;
        if (!options_end) {
            if (arg == "--table") text_option = &options.table;
            else if (arg == "--key") text_option = &options.key;
            else if (arg == "--tag") text_option = &options.tag;
            else if (arg == "--query") text_option = &options.query;
            else if (arg == "--columns") text_option = &columns;
        }
        if (text_option != nullptr) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                std::fprintf(stderr, "grid: %s; %s\n", Fill(_("%s needs a value"), {argv[i]}).c_str(), Usage());
                return false;
            }
            *text_option = argv[++i];
            if (text_option == &options.table) options.table_given = true;
            if (text_option == &columns) {
                options.columns = SplitColumns(columns);
                for (const auto& name : options.columns)
                    if (name.empty()) {
                        std::fprintf(stderr, "grid: %s\n",
                                     Fill(_("--columns takes names separated by commas, got '%s'"), {columns}).c_str());
                        return false;
                    }
            }
        } else if (!options_end && arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "grid: %s; %s\n",
                         Fill(_("unknown option %s (a file name that begins with '-' goes after --)"), {argv[i]}).c_str(),
                         Usage());
            return false;
        } else if (!have_path) {
            options.path = argv[i];
            have_path = true;
        } else {
            std::fprintf(stderr, "grid: %s; %s\n", _("one database only"), Usage());
            return false;
        }
    }
    if (!have_path) std::fprintf(stderr, "%s\n", Usage());
    return have_path;
}

}  // namespace grid_tool
