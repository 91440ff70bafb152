#include "tools/i18n/tool_text.h"

#include <libintl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <string>

namespace tool_text {

namespace {

constexpr const char* kDomain = "rowlark";

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Installed, the catalogues sit in ../share/locale beside the program's folder; in the build tree,
// where the build compiled them.
std::string CatalogueFolder() {
    char exe[4096];
    const ssize_t length = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length > 0) {
        std::string path(exe, static_cast<std::size_t>(length));
        path.erase(path.find_last_of('/') + 1);
        if (IsFolder(path + "../share/locale")) return path + "../share/locale";
    }
    return ROWLARK_BUILD_LOCALEDIR;
}

}  // namespace

void Start() {
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    bindtextdomain(kDomain, CatalogueFolder().c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
}

const char* _(const char* english) { return dgettext(kDomain, english); }

const char* Plural(const char* one, const char* many, unsigned long long count) {
    return dngettext(kDomain, one, many, static_cast<unsigned long>(count));
}

std::string Fill(const char* format, std::initializer_list<std::string> arguments) {
    std::string text;
    auto next = arguments.begin();
    for (const char* c = format; *c != '\0'; ++c) {
        if (c[0] == '%' && c[1] == 's') {
            if (next != arguments.end()) text += *next++;
            ++c;
        } else if (c[0] == '%' && c[1] == '%') {
            text += '%';
            ++c;
        } else {
            text += *c;
        }
    }
    return text;
}

}  // namespace tool_text
