// The dynamic provider's window over the OLE DB layer's PostgreSQL backend, as a grid drives it.

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "addin/provider/dynamic/vfp_provider_dynamic.h"
#include "bench/support/reference_runs.h"
#include "bench/postgres/windows.h"
#include "platform/oledb/oledb.h"
#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"
#include "platform/win/crt.h"

namespace rowlark::bench::pg {

namespace {

using OleDb::GridProvider::CDynamicDataRow;
using OleDb::GridProvider::CVfpProviderDynamic;
using RowPtr = std::unique_ptr<::CDataRow>;

// The last run-time error the module or the layer raised, as UTF-8; empty when none since the last call.
std::string TakeRaisedError() {
    if (host_errors::Raised().empty()) return std::string();
    std::string text = cp1251::ToUtf8(host_errors::Raised().back().text);
    host_errors::Clear();
    return text;
}

void Check(const std::string& step) {
    const std::string error = TakeRaisedError();
    if (!error.empty()) throw std::runtime_error(step + ": " + error);
}

struct DataRelease {
    void operator()(COLEDBData* data) const { data->DecrRef(); }
};
using DataPtr = std::unique_ptr<COLEDBData, DataRelease>;

// The layer's one connection to the server, shared by the providers of every table as a host's
// providers share its OLEDBData; opened on first use, under the host's locale.
COLEDBData* Connection() {
    static const DataPtr data = [] {
        crt::SetLocale(crt::Locale::Russian1251);
        DataPtr opened(new COLEDBData);
        if (!opened->Open(ProviderConnectionText().c_str()))
            throw std::runtime_error("the OLE DB layer cannot open the server: " + TakeRaisedError());
        return opened;
    }();
    return data.get();
}

int Count(const Place& place) { return place.forward ? kWindow : -kWindow; }

// A dynamic provider over one goods table, by its tag "name", and the anchor rows it handed out.
class ProviderTable {
public:
    ProviderTable(long rows, Order order) {
        const std::string table = TableName(rows);
        provider_.SetQueryText(
            cp1251::FromUtf8("SELECT id, code, name, price FROM " + table + " WHERE id IN (%СписокИД%)"));
        provider_.SetKeyFieldQuery("id");
        provider_.SetKeyFieldBaseTable("id");
        provider_.SetBaseTable(table);
        provider_.SetIndexTag(TagName(order));
        provider_.SetConnection(Connection());
        provider_.GetData();
        Check("GetData of " + table);
    }

    // The provider's row at the place's anchor, made once and kept as a grid keeps a row it shows:
    // the first row of a window filtered from the anchor's value (the names are unique).
    const CDynamicDataRow& Anchor(const Place& place) {
        RowPtr& slot = anchors_[AnchorRank(place)];
        if (slot) return Dyn(slot);
        const pg::Anchor expected = AnchorOf(place);
        provider_.SetFilterFrom(cp1251::FromUtf8(expected.value));
        provider_.PrepareRows(nullptr, 1, 0);
        RowPtr row(provider_.NextRow());
        provider_.SetFilterFrom(std::string());
        Check("anchor");
        if (!row || Dyn(row).GetKeyText() != expected.key)
            throw std::runtime_error("the anchor of " + Where(place) + " is not row " + expected.key);
        slot = std::move(row);
        return Dyn(slot);
    }

    // Loads a window and takes its rows, deleting them; the number of rows.
    int Window(const ::CDataRow* from, int count) {
        provider_.PrepareRows(from, count, 0);
        int taken = 0;
        while (::CDataRow* row = provider_.NextRow()) {
            delete row;
            ++taken;
        }
        return taken;
    }

    std::vector<long> WindowKeys(const ::CDataRow* from, int count) {
        provider_.PrepareRows(from, count, 0);
        std::vector<long> keys;
        while (RowPtr row{provider_.NextRow()}) keys.push_back(std::stol(Dyn(row).GetKeyText()));
        Check("window");
        return keys;
    }

private:
    static const CDynamicDataRow& Dyn(const RowPtr& row) { return dynamic_cast<const CDynamicDataRow&>(*row); }

    CVfpProviderDynamic provider_;
    std::map<long, RowPtr> anchors_;  // by rank
};

ProviderTable& TableOf(const Place& place) {
    static std::map<std::pair<long, Order>, std::unique_ptr<ProviderTable>> tables;
    auto& slot = tables[{place.rows, place.order}];
    if (!slot) slot = std::make_unique<ProviderTable>(place.rows, place.order);
    return *slot;
}

}  // namespace

std::vector<long> ProviderWindowKeys(const Place& place) {
    ProviderTable& table = TableOf(place);
    return table.WindowKeys(&table.Anchor(place), Count(place));
}

void DynamicWindow(benchmark::State& state, const Place& place) {
    ProviderTable& table = TableOf(place);
    const CDynamicDataRow& anchor = table.Anchor(place);
    int taken = 0;
    const double total = TimedLoop(state, [&] { taken = table.Window(&anchor, Count(place)); });
    const std::string error = TakeRaisedError();
    if (!error.empty() || taken != kWindow) {
        state.SkipWithError(("the window is not 50 rows: " + error).c_str());
        return;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kWindow);
    if (state.iterations() == 0) return;
    const double window = total / static_cast<double>(state.iterations());
    if (place.order == Order::Russian) {
        ReferenceRuns::SetRatio(state, "x_bytes", "Dynamic_Window", Where(place), window);
        return;
    }
    ReferenceRuns::Remember(state, "Dynamic_Window", Where(place), total);
    ReferenceRuns::SetRatio(state, "x_floor", "Plain_Keyset", Where(place), window);
    ReferenceRuns::SetRatio(state, "x_raw", "Plain_RawTwoQuery", Where(place), window);
    ReferenceRuns::SetRatio(state, "x_offset", "Plain_LimitOffset", Where(place), window, true);
}

}  // namespace rowlark::bench::pg
