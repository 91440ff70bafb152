// The value table's cost per row: a script loop filling 1,000,000 rows of three columns, and the
// table's own sort by two columns and fold by one, called as a script calls them (the host's member
// dispatch), beside the same sort (std::stable_sort) and fold (a std::map) done in C++ over the
// same host values. Built into bench_script beside the member-call figures.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/text/cp1251.h"
#include "tools/script/bridge/host_text.h"
#include "tools/script/language/arithmetic.h"
#include "tools/script/language/interpreter.h"
#include "tools/script/language/parser.h"
#include "tools/script/language/source_text.h"
#include "tools/script/objects/collection_classes.h"
#include "tools/script/objects/value_table.h"

namespace {

constexpr long kRows = 1000000;
using Row = std::vector<CValue>;

void PerRow(benchmark::State& state) {
    state.counters["per_row"] = benchmark::Counter(
        static_cast<double>(kRows), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Row n (from 1) as the script's loop makes it: a group of 1000, a text of 397 kinds, an amount.
Row RowAt(long n) {
    return {script::NumberValue(CNumeric(n % 1000)),
            script::TextValue(cp1251::FromUtf8("т") + std::to_string(n % 397)),
            script::NumberValue(CNumeric(n))};
}

const std::vector<Row>& SourceRows() {
    static const std::vector<Row> rows = [] {
        std::vector<Row> made;
        made.reserve(kRows);
        for (long n = 1; n <= kRows; ++n) made.push_back(RowAt(n));
        return made;
    }();
    return rows;
}

// A fresh table of the source rows, columns Группа, Имя, Сумма.
void Refill(script::ValueTable& table) {
    table.Reset();
    for (const char* name : {"Группа", "Имя", "Сумма"}) table.AddColumn(cp1251::FromUtf8(name));
    for (const Row& row : SourceRows()) table.AppendRow(row);
}

void Invoke(script::ValueTable& table, const char* method, std::vector<CValue> args) {
    std::vector<CValue*> pointers;
    for (CValue& arg : args) pointers.push_back(&arg);
    pointers.push_back(nullptr);
    table.InvokeAsProcedure(table.LookupMethod(cp1251::FromUtf8(method).c_str()), pointers.data());
}

void BM_ScriptFillsValueTable(benchmark::State& state) {
    const script::CollectionClassRegistration classes;
    const script::Module module = script::Parse(script::SourceToHostText(
        "Т = СоздатьОбъект(\"ТаблицаЗначений\"); Т.НоваяКолонка(\"Группа\"); Т.НоваяКолонка(\"Имя\");"
        "Т.НоваяКолонка(\"Сумма\");"
        "Для Н = 1 По 1000000 Цикл Т.НоваяСтрока(); Т.Группа = Н % 1000; Т.Имя = \"т\" + (Н % 397); Т.Сумма = Н;"
        "КонецЦикла;"));
    for (auto _ : state) {
        script::Interpreter interpreter(module);
        interpreter.Run();
    }
    PerRow(state);
}
BENCHMARK(BM_ScriptFillsValueTable)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ValueTableSortsByTwoColumns(benchmark::State& state) {
    auto* table = new script::ValueTable();
    for (auto _ : state) {
        state.PauseTiming();
        Refill(*table);
        state.ResumeTiming();
        Invoke(*table, "Сортировать", {script::TextValue(cp1251::FromUtf8("Группа+, Имя-"))});
    }
    table->DecrRef();
    PerRow(state);
}
BENCHMARK(BM_ValueTableSortsByTwoColumns)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CppStableSortsTheSameValues(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<Row> rows = SourceRows();
        state.ResumeTiming();
        std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
            const CNumeric x = a[0].GetNumeric(), y = b[0].GetNumeric();
            if (x < y) return true;
            if (y < x) return false;
            return b[1].m_String.view() < a[1].m_String.view();
        });
        benchmark::DoNotOptimize(rows.data());
    }
    PerRow(state);
}
BENCHMARK(BM_CppStableSortsTheSameValues)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ValueTableFoldsByOneColumn(benchmark::State& state) {
    auto* table = new script::ValueTable();
    for (auto _ : state) {
        state.PauseTiming();
        Refill(*table);
        state.ResumeTiming();
        Invoke(*table, "Свернуть", {script::TextValue(cp1251::FromUtf8("Группа")),
                                    script::TextValue(cp1251::FromUtf8("Сумма"))});
    }
    table->DecrRef();
    PerRow(state);
}
BENCHMARK(BM_ValueTableFoldsByOneColumn)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CppMapFoldsTheSameValues(benchmark::State& state) {
    const std::vector<Row>& rows = SourceRows();
    for (auto _ : state) {
        std::map<CNumeric, CNumeric> totals;
        for (const Row& row : rows) {
            CNumeric& total = totals[row[0].GetNumeric()];
            total = script::Add(total, row[2].GetNumeric());
        }
        benchmark::DoNotOptimize(totals.size());
    }
    PerRow(state);
}
BENCHMARK(BM_CppMapFoldsTheSameValues)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
