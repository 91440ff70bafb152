#include "tools/script/runner.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/text/cp1251.h"
#include "tools/script/grid_object.h"
#include "tools/script/host_text.h"
#include "tools/script/interpreter.h"
#include "tools/script/message_window.h"
#include "tools/script/parser.h"
#include "tools/script/script_error.h"
#include "tools/script/source_text.h"

namespace script {

namespace {

void PrintError(const std::string& where, const char* kind_ru, const char* kind_en, const ErrorText& text) {
    const std::string english = text.english.empty() ? std::string("raised by the object") : text.english;
    std::fprintf(stderr, "%s: %s: %s (%s: %s)\n", where.c_str(), kind_ru, cp1251::ToUtf8(Shown(text.russian)).c_str(),
                 kind_en, cp1251::ToUtf8(Shown(english)).c_str());
}

// The whole file; false, with the reason in UTF-8, when it cannot be read (a folder among them).
bool ReadFile(const std::string& path, std::string& text, std::string& reason) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        reason = "is a folder, not a script file";
        return false;
    }
    try {
        std::ifstream file(path, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        if (file || file.eof()) return true;
    } catch (const std::ios_base::failure&) {
    }
    reason = "cannot read the script file";
    return false;
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
    const MessageWindow window;
    Interpreter interpreter(module);
    interpreter.SetDatabasePath(cp1251::FromUtf8(options.database_path));
    try {
        interpreter.Run();
    } catch (const RuntimeError& error) {
        PrintNewStatusTexts();
        std::fflush(stdout);
        PrintError(name + ":" + std::to_string(error.line), "Ошибка выполнения", "run-time error", error.text);
        return kRuntimeFailed;
    }
    return kSucceeded;
}

ExitStatus RunFile(const std::string& path, const RunOptions& options) {
    std::string text, reason;
    if (!ReadFile(path, text, reason)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), reason.c_str());
        return kSyntaxFailed;
    }
    return RunText(text, path, options);
}

}  // namespace script
