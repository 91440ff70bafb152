// The script language on any text: reading, parsing and running a module end in its result or in
// the language's own error at a line the text has, never in a crash, a hang or another exception.
// The input is the module's file (UTF-8; bytes that are not read as CP1251 themselves). Loops run
// under a step budget and texts under a small limit; every call into the database layer fails, so
// no script opens a file or reaches a server. Inputs may be long (up to 1 MB unless -max_len says
// otherwise): the depth faults need them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/support/check.h"
#include "fuzz/support/host.h"
#include "platform/oledb/faults.h"
#include "platform/runtime/module.h"
#include "tools/script/bridge/script_error.h"
#include "tools/script/language/interpreter.h"
#include "tools/script/language/parser.h"
#include "tools/script/language/source_text.h"
#include "tools/script/objects/collection_classes.h"
#include "tools/script/objects/grid_object.h"
#include "tools/session/host_session.h"

namespace {

using rowlark_fuzz::Escaped;

constexpr std::uint64_t kSteps = 20000;
constexpr std::size_t kTextLimit = 4096;

// Lines as the language counts them: ended by LF, CR-LF or a lone CR.
int LineCount(std::string_view text) {
    int lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        if (text[i] == '\r' || text[i] == '\n') ++lines;
    }
    return lines;
}

void CheckPosition(const script::ErrorText& text, int line, int column, int lines) {
    const std::string what = Escaped(text.russian) + " at " + std::to_string(line) + ":" + std::to_string(column);
    FUZZ_CHECK(line >= 1 && line <= lines && column >= 1, what + " of " + std::to_string(lines) + " lines");
}

// The module's text as the runner reads it, or the bytes themselves when they are no such text.
std::string HostText(std::string_view bytes) {
    try {
        return script::SourceToHostText(bytes);
    } catch (const script::SyntaxError& error) {
        CheckPosition(error.text, error.line, error.column, LineCount(bytes));
    }
    return std::string(bytes);
}

void Run(const script::Module& module, int lines) {
    script::Interpreter interpreter(module);
    interpreter.SetStepLimit(kSteps);
    interpreter.SetTextLimit(kTextLimit);
    try {
        interpreter.Run();
    } catch (const script::RuntimeError& error) {
        CheckPosition(error.text, error.line, 1, lines);
    }
    // What the script showed came whole: no text was cut at a zero byte on its way out.
    for (const MessageLine& line : GetBkEndUI()->Lines()) FUZZ_CHECK(line.text.find('\0') == std::string::npos, "");
}

}  // namespace

// libFuzzer reads its flags after this: inputs up to 1 MB unless the command line says otherwise.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static std::vector<char*> args(*argv, *argv + *argc);
    static char max_len[] = "-max_len=1048576";
    for (const char* arg : args)
        if (std::string_view(arg).rfind("-max_len=", 0) == 0) return 0;
    args.push_back(max_len);
    args.push_back(nullptr);
    *argc = static_cast<int>(args.size()) - 1;
    *argv = args.data();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Made once: the module stays loaded and the grid class registered for every input, until exit.
    static const tools::HostSession host;
    static const script::GridClassRegistration grid_class;
    static const script::CollectionClassRegistration collection_classes;
    FUZZ_CHECK(host.loaded(), "the module did not load");
    rowlark_fuzz::ResetHost();
    oledb_faults::FailNthCall(1, /*every_later=*/true);

    const std::string source = HostText(std::string_view(reinterpret_cast<const char*>(data), size));
    const int lines = LineCount(source);
    script::Module module;
    try {
        module = script::Parse(source);
    } catch (const script::SyntaxError& error) {
        CheckPosition(error.text, error.line, error.column, lines);
        FUZZ_CHECK(!error.text.russian.empty() && !error.text.english.empty(), "a syntax error without its text");
        return 0;
    }
    Run(module, lines);
    rowlark_fuzz::ResetHost();
    return 0;
}
