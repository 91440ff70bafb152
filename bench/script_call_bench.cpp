// The script runner's own cost per member call: a script loop calling the fields collection's
// "Количество" a million times, beside the same calls made straight from C++ through the same host
// operations (lookup by name, arity, has-result, invoke), and the script's bare loop.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/oledb/connection.h"
#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"
#include "tools/script/language/interpreter.h"
#include "tools/script/language/parser.h"
#include "tools/script/language/source_text.h"
#include "tools/session/host_session.h"

namespace {

constexpr long kCalls = 1000000;

// A one-table database with a static provider over it, and its fields collection.
struct Fixture {
    Fixture() {
        path = (std::filesystem::temp_directory_path() / "rowlark_script_bench.db").string();
        std::filesystem::remove(path);
        try {
            oledb_backend::Connection::Open(oledb_backend::FileUri(path, true))
                ->Execute("CREATE TABLE goods(id INTEGER, name TEXT); INSERT INTO goods VALUES (1, 'a');");
        } catch (const oledb_backend::CursorError& error) {
            std::fprintf(stderr, "cannot make %s: %s\n", path.c_str(), error.what());
        }
        ScriptObject connection = tools::OpenConnection(path);
        provider = tools::MakeStaticProvider(connection, {"SELECT id, name FROM goods", "id"});
        provider.CallFunction(cp1251::FromUtf8("Поля"), fields);
    }
    ~Fixture() { std::filesystem::remove(path); }
    tools::HostSession host;
    std::string path;
    ScriptObject provider;
    CValue fields;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void RunScript(benchmark::State& state, const std::string& loop_utf8) {
    Fixture& fixture = Shared();
    const std::string text =
        "Соединение = СоздатьОбъект(\"OLEDBData\"); Соединение.Открыть(ПутьКБазе);"
        "П = СоздатьОбъект(\"Рядовид.Провайдер.OleDb.VFP.Статический\"); П.ТекстЗапроса = \"SELECT id FROM goods\";"
        "П.КлючевоеПоле = \"id\"; П.УстановитьПодключение(Соединение); П.ПолучитьДанные(); Поля = П.Поля();" +
        loop_utf8;
    const script::Module module = script::Parse(script::SourceToHostText(text));
    for (auto _ : state) {
        script::Interpreter interpreter(module);
        interpreter.SetDatabasePath(cp1251::FromUtf8(fixture.path));
        interpreter.Run();
    }
    state.counters["per_call"] =
        benchmark::Counter(static_cast<double>(kCalls), benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
}

void BM_ScriptLoopCallsMember(benchmark::State& state) {
    RunScript(state, "Для Н = 1 По 1000000 Цикл К = Поля.Количество(); КонецЦикла;");
}
BENCHMARK(BM_ScriptLoopCallsMember)->Unit(benchmark::kMillisecond);

void BM_ScriptBareLoop(benchmark::State& state) { RunScript(state, "Для Н = 1 По 1000000 Цикл КонецЦикла;"); }
BENCHMARK(BM_ScriptBareLoop)->Unit(benchmark::kMillisecond);

// What the host itself does for each call, from C++: look the name up, check the arity, ask
// whether it is a function, invoke it.
void BM_CppCallsMemberThroughHostOperations(benchmark::State& state) {
    Fixture& fixture = Shared();
    CBLContext* fields = fixture.fields.GetContext();
    const std::string name = cp1251::FromUtf8("Количество");
    CValue* no_args[] = {nullptr};
    for (auto _ : state) {
        for (long i = 0; i < kCalls; ++i) {
            const int index = fields->LookupMethod(name.c_str());
            CValue result;
            if (fields->MethodArity(index) == 0 && fields->MethodHasResult(index))
                fields->InvokeAsFunction(index, result, no_args);
            benchmark::DoNotOptimize(result);
        }
    }
    state.counters["per_call"] =
        benchmark::Counter(static_cast<double>(kCalls), benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
}
BENCHMARK(BM_CppCallsMemberThroughHostOperations)->Unit(benchmark::kMillisecond);

}  // namespace
