// import [--table NAME] [--tag [TABLE:]TAG=EXPRESSION]... [--code-page N] [--] SOURCE... TARGET
// Imports FoxPro and dBase tables (.dbf, or every table of a .dbc) into a SQLite file or a
// PostgreSQL server (a connection string as TARGET), with their keys and the index tags of their
// .cdx, through the OLE DB layer's bulk writer (tools/import/import_run.h). Prints each table with its
// rows, key and tags, and every tag left out with the reason. A progress line on a terminal.
// Exit status: 0 done, 1 a bad file or the database's refusal (nothing written), 2 bad usage;
// a stopping signal (SIGINT, SIGTERM, SIGHUP) leaves nothing written and ends as the signal would.

#include <charconv>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "foxpro/code_page.h"
#include "foxpro/error.h"
#include "platform/oledb/connection_secrets.h"
#include "platform/oledb/signal_stop.h"
#include "tools/import/import_run.h"
#include "tools/import/progress_bar.h"
#include "tools/session/stop_signals.h"
#include "tools/terminal_text/showable_text.h"
#include "tools/i18n/tool_text.h"

namespace {

using import_tool::ImportRequest;
using tool_text::_;
using tool_text::Fill;

const char* Usage() {
    return _("usage: import [--table NAME] [--tag [TABLE:]TAG=EXPRESSION]... [--code-page N] [--] "
             "SOURCE.dbf|SOURCE.dbc... TARGET.db|CONNECTION_STRING");
}
constexpr int kBadUsage = 2;

bool StopAsked() { return tools::g_stop_signal != 0; }

bool Refuse(const std::string& why) {
    std::fprintf(stderr, "import: %s; %s\n", terminal_text::Showable(why).c_str(), Usage());
    return false;
}

bool EndsWith(const std::string& text, const char* extension) {
    const std::string tail = text.size() >= 4 ? oledb_backend::AsciiLower(text.substr(text.size() - 4)) : "";
    return tail == extension;
}

// "[TABLE:]TAG=EXPRESSION"; none when the text is not of that form.
std::optional<import_tool::RequestedTag> ParseTag(const std::string& text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals + 1 == text.size()) return std::nullopt;
    import_tool::RequestedTag tag;
    std::string name = text.substr(0, equals);
    const std::size_t colon = name.find(':');
    if (colon != std::string::npos) {
        tag.table = name.substr(0, colon);
        name = name.substr(colon + 1);
        if (tag.table.empty()) return std::nullopt;
    }
    if (name.empty()) return std::nullopt;
    tag.tag = name;
    tag.expression = text.substr(equals + 1);
    return tag;
}

bool ReadOption(int argc, char** argv, int& i, ImportRequest& request) {
    const std::string arg = argv[i];
    if (i + 1 >= argc || argv[i + 1][0] == '\0') return Refuse(Fill(_("%s needs a value"), {arg}));
    const std::string value = argv[++i];
    if (arg == "--table") {
        request.table = value;
    } else if (arg == "--tag") {
        const auto tag = ParseTag(value);
        if (!tag) return Refuse(Fill(_("--tag takes [TABLE:]TAG=EXPRESSION, got '%s'"), {value}));
        request.tags.push_back(*tag);
    } else {
        int code_page = 0;
        const auto read = std::from_chars(value.data(), value.data() + value.size(), code_page);
        if (read.ec != std::errc() || read.ptr != value.data() + value.size() ||
            !rowlark::foxpro::IsSupportedCodePage(code_page))
            return Refuse(Fill(_("--code-page takes a code page the reader converts (1251, 866, 1252, ...), got '%s'"), {value}));
        request.reader.code_page = code_page;
    }
    return true;
}

bool ReadArguments(int argc, char** argv, ImportRequest& request) {
    std::vector<std::string> positional;
    bool options_end = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!options_end && arg == "--") {
            options_end = true;
        } else if (!options_end && (arg == "--table" || arg == "--tag" || arg == "--code-page")) {
            if (!ReadOption(argc, argv, i, request)) return false;
        } else if (!options_end && arg.size() > 1 && arg[0] == '-') {
            return Refuse(Fill(_("unknown option %s (a file name that begins with '-' goes after --)"), {arg}));
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() < 2) return Refuse(_("a source table and a target are needed"));
    request.target = positional.back();
    positional.pop_back();
    if (EndsWith(request.target, ".dbf") || EndsWith(request.target, ".dbc"))
        return Refuse(Fill(_("the target %s is a FoxPro file; the target comes last"), {request.target}));
    for (const std::string& source : positional)
        if (!EndsWith(source, ".dbf") && !EndsWith(source, ".dbc"))
            return Refuse(Fill(_("a source is a .dbf table or a .dbc container, got %s"), {source}));
    request.inputs = positional;
    return true;
}

// The target as messages name it: a connection string may hold a password, so a server is named.
std::string Shown(const std::string& target) {
    return import_tool::IsServerTarget(target) ? _("PostgreSQL server") : terminal_text::Showable(oledb_backend::HidePasswords(target));
}

void Print(const import_tool::ImportReport& report) {
    using terminal_text::Showable;
    for (const std::string& missing : report.missing)
        std::printf("%s\n", Fill(_("skipped table %s: its file is missing"), {Showable(missing)}).c_str());
    for (const auto& table : report.tables) {
        std::string tags;
        for (const auto& tag : table.tags) tags += (tags.empty() ? "" : ", ") + tag;
        // The digits plain: scripts read this line.
        const char* line = table.recno ? tool_text::Plural("%s: %s row, key %s (the record number), tags: %s",
                                                           "%s: %s rows, key %s (the record number), tags: %s", table.rows)
                                       : tool_text::Plural("%s: %s row, key %s, tags: %s", "%s: %s rows, key %s, tags: %s",
                                                           table.rows);
        std::printf("%s\n", Fill(line, {Showable(table.name), std::to_string(table.rows), Showable(table.key),
                                        tags.empty() ? std::string(_("none")) : Showable(tags)})
                                .c_str());
        for (const auto& skipped : table.skipped)
            std::printf("  %s\n",
                        Fill(_("tag %s left out: %s"), {Showable(skipped.tag), Showable(skipped.reason)}).c_str());
        for (const auto& warning : table.warnings)
            std::printf("  %s\n", Fill(_("warning: %s"), {Showable(warning)}).c_str());
    }
}

// Runs the import; the exit status.
int Import(ImportRequest& request) {
    request.stop = StopAsked;
    import_tool::ProgressBar progress;
    try {
        Print(import_tool::RunImport(request, progress));
        return 0;
    } catch (const import_tool::UsageError& error) {
        Refuse(error.what());
        return kBadUsage;
    } catch (const import_tool::Interrupted&) {
        return 1;
    } catch (const std::exception& error) {
        if (StopAsked()) return 1;
        std::fprintf(stderr, "import: %s: %s\n", Shown(request.target).c_str(),
                     terminal_text::Showable(oledb_backend::HidePasswordsIn(error.what(), request.target)).c_str());
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    tool_text::Start();
    ImportRequest request;
    if (!ReadArguments(argc, argv, request)) return kBadUsage;
    tools::g_stop_action = oledb_backend::EndArmedSession;  // a wait on the server ends at once
    tools::CatchStopSignals();
    const int status = Import(request);
    if (status != 0 && StopAsked()) {
        // Everything is undone: end as the signal would have, so a calling script stops too.
        std::fprintf(stderr, "import: %s: %s\n", Shown(request.target).c_str(), import_tool::Interrupted().what());
        std::fflush(stderr);
        std::signal(tools::g_stop_signal, SIG_DFL);
        std::raise(tools::g_stop_signal);
    }
    return status;
}
