#pragma once
// The script tests' fixture: the module loaded as the host loads it and the grid class registered,
// once for the suite; a clean message window and error record before every test. Run parses and runs
// a text (UTF-8) and gives back what the script showed and the run-time error that stopped it.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"
#include "tools/script/bridge/script_error.h"
#include "tools/script/language/interpreter.h"
#include "tools/script/language/parser.h"
#include "tools/script/language/source_text.h"
#include "tools/script/objects/collection_classes.h"
#include "tools/script/objects/grid_object.h"
#include "tools/session/host_session.h"

namespace script_test {

using script::Interpreter;
using script::Module;
using script::RuntimeError;
using script::SyntaxError;

struct Outcome {
    std::vector<std::string> lines;  // message window, UTF-8
    std::optional<RuntimeError> error;
    std::string error_text() const { return error ? cp1251::ToUtf8(error->text.russian) : std::string(); }
};

class ScriptTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        host_ = new tools::HostSession();
        grid_class_ = new script::GridClassRegistration();
        collection_classes_ = new script::CollectionClassRegistration();
    }
    static void TearDownTestSuite() {
        delete collection_classes_;
        collection_classes_ = nullptr;
        delete grid_class_;
        grid_class_ = nullptr;
        delete host_;
        host_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(host_->loaded());
        GetBkEndUI()->Clear();
        host_errors::Clear();
    }
    void TearDown() override { host_errors::SetRaiseThrows(false); }

    // set_up, when given, sets the interpreter's limits before the run.
    static Outcome Run(const std::string& utf8, const std::function<void(Interpreter&)>& set_up = {}) {
        GetBkEndUI()->Clear();
        Module module = script::Parse(script::SourceToHostText(utf8));
        Interpreter interpreter(module);
        if (set_up) set_up(interpreter);
        Outcome outcome;
        try {
            interpreter.Run();
        } catch (const RuntimeError& error) {
            outcome.error = error;
        }
        for (const MessageLine& line : GetBkEndUI()->Lines()) outcome.lines.push_back(cp1251::ToUtf8(line.text));
        return outcome;
    }

    // The one line a script shows.
    static std::string Line(const std::string& utf8) {
        const Outcome outcome = Run(utf8);
        EXPECT_FALSE(outcome.error) << outcome.error_text();
        EXPECT_EQ(outcome.lines.size(), 1u);
        return outcome.lines.empty() ? std::string() : outcome.lines.front();
    }

    static SyntaxError SyntaxErrorOf(const std::string& utf8) {
        try {
            script::Parse(script::SourceToHostText(utf8));
        } catch (const SyntaxError& error) {
            return error;
        }
        ADD_FAILURE() << "no syntax error in: " << utf8;
        return SyntaxError{{}, 0, 0};
    }

    static std::string Russian(const SyntaxError& error) { return cp1251::ToUtf8(error.text.russian); }

    static inline tools::HostSession* host_ = nullptr;
    static inline script::GridClassRegistration* grid_class_ = nullptr;
    static inline script::CollectionClassRegistration* collection_classes_ = nullptr;
};

}  // namespace script_test
