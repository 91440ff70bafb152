#include "tools/script/runner.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/text/cp1251.h"
#include "tools/script/bridge/host_text.h"
#include "tools/script/bridge/message_window.h"
#include "tools/script/bridge/script_error.h"
#include "tools/script/language/interpreter.h"
#include "tools/script/language/parser.h"
#include "tools/script/language/source_text.h"
#include "tools/script/objects/collection_classes.h"
#include "tools/script/objects/grid_object.h"
#include "tools/i18n/tool_text.h"
#include "tools/terminal_text/showable_text.h"

namespace script {

namespace {

// where: the file name (UTF-8) and position; every text is made safe for the terminal.
void PrintError(const std::string& where, const char* kind_ru, const char* kind_en, const ErrorText& text) {
    const std::string english = text.english.empty() ? std::string("raised by the object") : text.english;
    std::fprintf(stderr, "%s: %s: %s (%s: %s)\n", terminal_text::Showable(where).c_str(), kind_ru,
                 terminal_text::ShowableFromCp1251(Shown(text.russian)).c_str(), kind_en,
                 terminal_text::ShowableFromCp1251(Shown(english)).c_str());
}

// The whole file; false, with the reason in UTF-8, when it cannot be read (a folder among them).
bool ReadFile(const std::string& path, std::string& text, std::string& reason) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        reason = tool_text::_("is a folder, not a script file");
        return false;
    }
    try {
        std::ifstream file(path, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        if (file || file.eof()) return true;
    } catch (const std::ios_base::failure&) {
    }
    reason = tool_text::_("cannot read the script file");
    return false;
}

// Standard input when a person or a program may answer there (a terminal, a pipe, a file); null
// otherwise (/dev/null, closed), so questions take their defaults without waiting.
std::FILE* AnswerStream() {
    struct stat info {};
    if (fstat(STDIN_FILENO, &info) != 0) return nullptr;
    if (isatty(STDIN_FILENO) || S_ISFIFO(info.st_mode) || S_ISREG(info.st_mode) || S_ISSOCK(info.st_mode)) return stdin;
    return nullptr;
}

}  // namespace

ExitStatus RunText(const std::string& utf8, const std::string& name, const RunOptions& options) {
    Module module;
    try {
        module = Parse(SourceToHostText(utf8));
    } catch (const SyntaxError& error) {
        PrintError(name + ":" + std::to_string(error.line) + ":" + std::to_string(error.column), "Ошибка синтаксиса",
                   "syntax error", error.text);
        return kSyntaxFailed;
    }
    const GridClassRegistration grid_class;
    const CollectionClassRegistration collection_classes;
    MessageWindow window(stdout, AnswerStream());
    Interpreter interpreter(module, &window);
    interpreter.SetDatabasePath(cp1251::FromUtf8(options.database_path));
    interpreter.SetWorkDate(options.work_date);
    try {
        interpreter.Run();
    } catch (const RuntimeError& error) {
        window.ShowNewStatusTexts();
        std::fflush(stdout);
        PrintError(name + ":" + std::to_string(error.line), "Ошибка выполнения", "run-time error", error.text);
        return kRuntimeFailed;
    }
    return kSucceeded;
}

ExitStatus RunFile(const std::string& path, const RunOptions& options) {
    std::string text, reason;
    if (!ReadFile(path, text, reason)) {
        std::fprintf(stderr, "%s: %s\n", terminal_text::Showable(path).c_str(), reason.c_str());
        return kSyntaxFailed;
    }
    return RunText(text, path, options);
}

}  // namespace script
