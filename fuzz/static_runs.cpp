// The static provider's runs against a model. A table of generated size is loaded; then a series
// of runs, each from no row or from a row found by its key, with a signed count (small or at the
// ends of int), each drained wholly or in part. Every run serves exactly the rows the model says,
// in its order, each row showing its own key, and raises nothing.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "addin/provider/static/vfp_provider_static.h"
#include "fuzz/support/check.h"
#include "fuzz/support/fuzz_input.h"
#include "fuzz/support/host.h"

namespace {

using OleDb::GridProvider::CVfpProviderStatic;
using rowlark_fuzz::FuzzInput;
using RowPtr = std::unique_ptr<::CDataRow>;

constexpr int kMaxRows = 40;

// One table of kMaxRows rows (id 0..kMaxRows-1) for the whole process; each input loads a prefix.
rowlark_fuzz::Connection& Database() {
    static rowlark_fuzz::Connection* db = [] {
        auto* made = new rowlark_fuzz::Connection(":memory:");
        made->Exec("CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT)");
        for (int id = 0; id < kMaxRows; ++id)
            made->Exec("INSERT INTO t VALUES(" + std::to_string(id) + ", 'Строка " + std::to_string(id) + "')");
        return made;
    }();
    return *db;
}

// The rows a run serves: |count| rows after (count > 0) or before (count < 0) the start row, or
// from the first (last) row without one, as far as the table reaches; none for count 0.
std::vector<int> Model(int rows, int from, int count) {
    std::vector<int> out;
    if (count == 0) return out;
    const int step = count > 0 ? 1 : -1;
    int at = from >= 0 ? from + step : (count > 0 ? 0 : rows - 1);
    const std::int64_t wanted = count > 0 ? static_cast<std::int64_t>(count) : -static_cast<std::int64_t>(count);
    for (std::int64_t k = 0; k < wanted && at >= 0 && at < rows; ++k, at += step) out.push_back(at);
    return out;
}

int Count(FuzzInput& in) {
    switch (in.Below(7)) {
        case 0: return INT_MAX;
        case 1: return INT_MIN;
        case 2: return INT_MAX - static_cast<int>(in.Below(3));
        case 3: return INT_MIN + static_cast<int>(in.Below(3));
        case 4: return in.Int32();
        default: return static_cast<int>(in.Below(2 * kMaxRows + 4)) - (kMaxRows + 2);
    }
}

std::string Describe(int rows, int from, int count, const std::vector<int>& served) {
    std::string text = "rows " + std::to_string(rows) + ", from " + std::to_string(from) + ", count " +
                       std::to_string(count) + "; served";
    for (const int id : served) text += " " + std::to_string(id);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    rowlark_fuzz::ResetHost();
    rowlark_fuzz::Connection& db = Database();
    const int rows = static_cast<int>(in.Below(kMaxRows));

    CVfpProviderStatic provider;
    provider.SetConnection(db.get());
    provider.SetQueryText("SELECT id, name FROM t WHERE id < " + std::to_string(rows) + " ORDER BY id");
    provider.SetKeyField("id");
    provider.GetData();
    int reported = -1;
    FUZZ_CHECK(provider.GetRowCount(reported) && reported == rows, "row count " + std::to_string(reported));

    for (int run = 0; run < 8 && !in.Empty(); ++run) {
        int from = -1;
        RowPtr start;
        if (rows > 0 && in.Flag()) {
            from = static_cast<int>(in.Below(static_cast<std::uint32_t>(rows - 1)));
            CValue key;
            key = static_cast<long>(from);
            start.reset(provider.FindRowByKey(key));
            FUZZ_CHECK(start && start->GetRowId() == from, "row by key " + std::to_string(from));
        }
        const int count = Count(in);
        const std::vector<int> expected = Model(rows, from, count);
        // Some runs are left part-way: the next PrepareRows must start afresh all the same. A whole
        // run asks once more than the model serves, to see it end.
        const bool whole = in.Flag();
        const std::size_t take =
            whole ? expected.size() + 1 : in.Below(static_cast<std::uint32_t>(expected.size()));
        provider.PrepareRows(start.get(), count, 0);
        std::vector<int> served;
        while (served.size() < take) {
            RowPtr row(provider.NextRow());
            if (!row) break;
            served.push_back(row->GetRowId());
            CString text;
            const std::string cell(row->FormatField(0, text).view());
            FUZZ_CHECK(cell == std::to_string(row->GetRowId()),
                       "row " + std::to_string(row->GetRowId()) + " shows " + cell);
        }
        const std::vector<int> wanted(expected.begin(),
                                      expected.begin() + static_cast<std::ptrdiff_t>(std::min(take, expected.size())));
        FUZZ_CHECK(served == wanted, Describe(rows, from, count, served));
    }
    FUZZ_CHECK(rowlark_fuzz::RaisedErrors().empty(), "raised " + rowlark_fuzz::RaisedErrors().front());
    return 0;
}
