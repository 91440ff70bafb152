// The static provider over the goods table of 100,000 and 1,000,000 rows, each operation beside the
// plain cost of the same work in the same run:
//   GetData                  vs sqlite3_step over the same query, reading every column;
//   a forward NextRow pass   vs GetRow/GetFieldValue of every column of the same direct result
//                            (each row deleted at once, or held a page at a time as the grid does);
//   QuickSearch, FindRowByKey matching only at the last row
//                            vs a GetRow/GetFieldValue loop over the same column of that result.
// Tables are cached under /tmp/rowlark-bench (see goods_files.h); the first run builds them.

#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "addin/provider/static/vfp_provider_static.h"
#include "bench/static/goods_files.h"
#include "platform/win/crt.h"
#include "platform/win/windows.h"

namespace {

using OleDb::GridProvider::CVfpProviderStatic;
using namespace rowlark::bench;

const std::string kQuery = std::string("SELECT ") + kGoodsColumns + " FROM goods";
constexpr int kColumns = 6;
constexpr int kCodeColumn = 1;

// The code of row id (CP1251): unique, and no other code begins with it (sample_goods.h).
std::string CodeOf(const std::string& path, long id) {
    SqlitePtr db = OpenReadOnly(path);
    StatementPtr find = Prepare(db.get(), "SELECT code FROM goods WHERE id = " + std::to_string(id));
    if (sqlite3_step(find.get()) != SQLITE_ROW) return std::string();
    return cp1251::FromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(find.get(), 0)));
}

// The grid window a search match is named to; remembers the last matching row number.
class MatchWindow {
public:
    MatchWindow() : handle_(win::CreateMessageWindow(&Procedure, this)) {}
    ~MatchWindow() { win::DestroyMessageWindow(handle_); }
    MatchWindow(const MatchWindow&) = delete;
    MatchWindow& operator=(const MatchWindow&) = delete;
    HWND handle() const { return handle_; }
    int matched_row = -1;

private:
    static LRESULT Procedure(HWND, UINT message, WPARAM code, LPARAM lparam, void* user) {
        if (message == kGridNotifyMessage && code == kGridNotifySearchMatch && lparam != 0)
            static_cast<MatchWindow*>(user)->matched_row = reinterpret_cast<::CDataRow*>(lparam)->GetRowId();
        return 1;
    }
    HWND handle_;
};

// One goods file opened through the OLE DB layer, with a static provider loaded over it.
struct Loaded {
    std::string path;
    DataPtr data;
    CVfpProviderStatic provider;
    MatchWindow window;
};

void PrepareHost() {
    static const bool done = [] {
        crt::SetLocale(crt::Locale::Russian1251);  // the host runs under the Russian locale
        return true;
    }();
    (void)done;
}

// The provider over the table of that many rows, loaded once per process; null (and the benchmark
// skipped) when that fails.
Loaded* LoadedTable(benchmark::State& state, long rows) {
    static std::map<long, std::unique_ptr<Loaded>> tables;
    PrepareHost();
    auto& slot = tables[rows];
    if (!slot) {
        auto loaded = std::make_unique<Loaded>();
        loaded->path = GoodsFile(rows);
        loaded->data = OpenData(loaded->path);
        loaded->provider.SetConnection(loaded->data.get());
        loaded->provider.SetQueryText(kQuery);
        loaded->provider.SetKeyField("id");
        loaded->provider.GetData();
        loaded->provider.m_hWnd = loaded->window.handle();
        slot = std::move(loaded);
    }
    const std::string error = TakeRaisedError();
    int count = 0;
    if (!error.empty() || !slot->provider.GetRowCount(count) || count != rows) {
        state.SkipWithError(("load failed: " + error).c_str());
        return nullptr;
    }
    return slot.get();
}

// A direct result of the query through the layer itself, as the provider gets it.
OleDb::CResultDirectAccessProxy DirectResult(Loaded& loaded) {
    OleDb::CCommandProxy command(loaded.data->CreateCommand());
    CString text(kQuery.c_str());
    LONG count = 0;
    return command.ExecuteStatementExternalDirect(text, count);
}

void SetRowRate(benchmark::State& state, long rows) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * rows);
}

// --- GetData ---------------------------------------------------------------------------------

void BM_Static_GetData(benchmark::State& state) {
    const long rows = state.range(0);
    Loaded* loaded = LoadedTable(state, rows);
    if (!loaded) return;
    for (auto _ : state) {
        loaded->provider.GetData();
    }
    int count = 0;
    loaded->provider.GetRowCount(count);
    if (count != rows) state.SkipWithError("wrong row count after GetData");
    state.counters["resident_MiB"] = ResidentBytes() / (1 << 20);
    SetRowRate(state, rows);
}

void BM_Plain_SqliteStepAll(benchmark::State& state) {
    const long rows = state.range(0);
    Loaded* loaded = LoadedTable(state, rows);
    if (!loaded) return;
    SqlitePtr db = OpenReadOnly(loaded->path);
    long seen = 0;
    for (auto _ : state) {
        StatementPtr statement = Prepare(db.get(), kQuery);
        seen = 0;
        std::uint64_t sum = 0;
        while (sqlite3_step(statement.get()) == SQLITE_ROW) {
            sum += ReadGoodsRow(statement.get());
            ++seen;
        }
        benchmark::DoNotOptimize(sum);
    }
    if (seen != rows) state.SkipWithError("wrong row count");
    SetRowRate(state, rows);
}

// --- A forward pass of NextRow -----------------------------------------------------------------

void BM_Static_NextRowPass(benchmark::State& state) {
    const long rows = state.range(0);
    Loaded* loaded = LoadedTable(state, rows);
    if (!loaded) return;
    long seen = 0;
    for (auto _ : state) {
        loaded->provider.PrepareRows(nullptr, static_cast<int>(rows), 0);
        seen = 0;
        while (::CDataRow* row = loaded->provider.NextRow()) {
            ++seen;
            delete row;
        }
    }
    if (seen != rows) state.SkipWithError("wrong row count");
    SetRowRate(state, rows);
}

// The same pass as the grid pages through it: a page of rows held while the next page is read.
void BM_Static_NextRowPassByPages(benchmark::State& state) {
    constexpr std::size_t kPage = 40;
    const long rows = state.range(0);
    Loaded* loaded = LoadedTable(state, rows);
    if (!loaded) return;
    long seen = 0;
    for (auto _ : state) {
        loaded->provider.PrepareRows(nullptr, static_cast<int>(rows), 0);
        seen = 0;
        std::vector<std::unique_ptr<::CDataRow>> shown, next;
        while (::CDataRow* row = loaded->provider.NextRow()) {
            next.emplace_back(row);
            ++seen;
            if (next.size() == kPage) {
                shown.swap(next);
                next.clear();  // the page before the shown one is let go
            }
        }
    }
    if (seen != rows) state.SkipWithError("wrong row count");
    SetRowRate(state, rows);
}

void BM_Plain_DirectResultPass(benchmark::State& state) {
    const long rows = state.range(0);
    Loaded* loaded = LoadedTable(state, rows);
    if (!loaded) return;
    OleDb::CResultDirectAccessProxy result = DirectResult(*loaded);
    long seen = 0;
    for (auto _ : state) {
        seen = 0;
        CValue value;
        for (long row = 0; result.GetRow(row); ++row) {
            for (int column = 0; column < kColumns; ++column) {
                result.GetFieldValue(column, value);
                benchmark::DoNotOptimize(value);
            }
            ++seen;
        }
    }
    if (seen != rows) state.SkipWithError("wrong row count");
    SetRowRate(state, rows);
}

// --- QuickSearch matching at the last row ------------------------------------------------------

void BM_Static_QuickSearchLast(benchmark::State& state) {
    const long rows = state.range(0);
    Loaded* loaded = LoadedTable(state, rows);
    if (!loaded) return;
    const CString typed(CodeOf(loaded->path, rows).c_str());
    const SearchRequest request{"CODE", 0, &typed};
    for (auto _ : state) {
        loaded->window.matched_row = -1;
        loaded->provider.QuickSearch(request);
    }
    if (loaded->window.matched_row != rows - 1) state.SkipWithError("the search did not match the last row");
    SetRowRate(state, rows);
}

void BM_Plain_DirectResultPrefixScan(benchmark::State& state) {
    const long rows = state.range(0);
    Loaded* loaded = LoadedTable(state, rows);
    if (!loaded) return;
    OleDb::CResultDirectAccessProxy result = DirectResult(*loaded);
    const std::string typed = CodeOf(loaded->path, rows);
    long matched = -1;
    for (auto _ : state) {
        matched = -1;
        CValue cell;
        for (long row = 0; result.GetRow(row); ++row) {
            result.GetFieldValue(kCodeColumn, cell);
            if (std::strncmp(cell.Format(), typed.c_str(), typed.size()) == 0) {
                matched = row;
                break;
            }
        }
    }
    if (matched != rows - 1) state.SkipWithError("the scan did not match the last row");
    SetRowRate(state, rows);
}

// --- FindRowByKey matching at the last row -----------------------------------------------------

void BM_Static_FindRowByKeyLast(benchmark::State& state) {
    const long rows = state.range(0);
    Loaded* loaded = LoadedTable(state, rows);
    if (!loaded) return;
    CValue key;
    key = rows;
    int found = -1;
    for (auto _ : state) {
        std::unique_ptr<::CDataRow> row(loaded->provider.FindRowByKey(key));
        found = row ? row->GetRowId() : -1;
    }
    if (found != rows - 1) state.SkipWithError("the key was not found at the last row");
    SetRowRate(state, rows);
}

void BM_Plain_DirectResultKeyScan(benchmark::State& state) {
    const long rows = state.range(0);
    Loaded* loaded = LoadedTable(state, rows);
    if (!loaded) return;
    OleDb::CResultDirectAccessProxy result = DirectResult(*loaded);
    CValue key;
    key = rows;
    long found = -1;
    for (auto _ : state) {
        found = -1;
        CValue value;
        for (long row = 0; result.GetRow(row); ++row) {
            result.GetFieldValue(0, value);
            if (value == key) {
                found = row;
                break;
            }
        }
    }
    if (found != rows - 1) state.SkipWithError("the key was not found at the last row");
    SetRowRate(state, rows);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->ArgName("rows")->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Static_GetData)->Apply(Sizes);
BENCHMARK(BM_Plain_SqliteStepAll)->Apply(Sizes);
BENCHMARK(BM_Static_NextRowPass)->Apply(Sizes);
BENCHMARK(BM_Static_NextRowPassByPages)->Apply(Sizes);
BENCHMARK(BM_Plain_DirectResultPass)->Apply(Sizes);
BENCHMARK(BM_Static_QuickSearchLast)->Apply(Sizes);
BENCHMARK(BM_Plain_DirectResultPrefixScan)->Apply(Sizes);
BENCHMARK(BM_Static_FindRowByKeyLast)->Apply(Sizes);
BENCHMARK(BM_Plain_DirectResultKeyScan)->Apply(Sizes);

}  // namespace
