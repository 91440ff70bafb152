// The server's own ways to a window, through bare libpq on the benchmark's session.

#include <algorithm>
#include <string>
#include <vector>

#include "bench/support/reference_runs.h"
#include "bench/postgres/windows.h"

namespace rowlark::bench::pg {

namespace {

std::string ColumnList(Columns columns) {
    return columns == Columns::Keys ? "id::text, " + TagValueSql() : std::string("id, code, name, price");
}

const char* ReferencePrefix(Columns columns) { return columns == Columns::Keys ? "Server_" : "Plain_"; }

// "... ORDER BY value, id LIMIT 50" in the window's direction.
std::string OrderAndLimit(const Place& place) {
    const char* dir = place.forward ? "" : " DESC";
    return " ORDER BY " + TagValueSql() + dir + ", " + TableName(place.rows) + ".id" + dir + " LIMIT " +
           std::to_string(kWindow);
}

// The rows after (forward) or before the anchor: the row-value seek QueryRows runs, without its
// look-ups and checks.
std::string KeysetSql(const Place& place, const std::string& columns) {
    return "SELECT " + columns + " FROM " + TableName(place.rows) + " WHERE (" + TagValueSql() + ", id) " +
           (place.forward ? ">" : "<") + " ($1, $2::integer)" + OrderAndLimit(place);
}

// A statement prepared on the session for the life of one benchmark.
class Prepared {
public:
    Prepared(const std::string& name, const std::string& sql) : conn_(Session()), name_(name) {
        Checked(PQprepare(conn_, name.c_str(), sql.c_str(), 0, nullptr), sql);
    }
    ~Prepared() { PQclear(PQexec(conn_, ("DEALLOCATE " + name_).c_str())); }
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;

    Result Execute(const std::vector<const char*>& values) const {
        return Checked(
            PQexecPrepared(conn_, name_.c_str(), static_cast<int>(values.size()), values.data(), nullptr, nullptr, 0),
            name_);
    }

private:
    PGconn* conn_;
    std::string name_;
};

bool SameRows(benchmark::State& state, std::vector<long> keys, const Place& place, bool any_order,
              const char* what) {
    std::vector<long> expected = ProviderWindowKeys(place);
    if (any_order) {
        std::sort(keys.begin(), keys.end());
        std::sort(expected.begin(), expected.end());
    }
    if (keys == expected) return true;
    state.SkipWithError((std::string(what) + " returns other rows than the provider").c_str());
    return false;
}

void Finish(benchmark::State& state, int taken, const std::string& reference, const Place& place, double total) {
    if (taken != kWindow) {
        state.SkipWithError("the window is not 50 rows");
        return;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kWindow);
    if (!reference.empty()) ReferenceRuns::Remember(state, reference, Where(place), total);
}

}  // namespace

void ServerQueryRows(benchmark::State& state, const Place& place) {
    const Anchor anchor = AnchorOf(place);
    const std::vector<std::string> args = {TableName(place.rows), "name", anchor.value, anchor.key,
                                           std::to_string(kWindow), "id", place.forward ? "1" : "0", "", "", "0"};
    // Prepared once, as the OLE DB layer's session prepares a function's call.
    const Prepared call("queryrows", "SELECT * FROM queryrows($1, $2, $3, $4, $5, $6, $7, $8, $9, $10)");
    std::vector<const char*> values;
    for (const std::string& arg : args) values.push_back(arg.c_str());
    if (!SameRows(state, Keys(call.Execute(values).get()), place, false, "queryrows")) return;
    int taken = 0;
    const double total = TimedLoop(state, [&] {
        Result answer = call.Execute(values);
        taken = PQntuples(answer.get());
        benchmark::DoNotOptimize(Consume(answer.get()));
    });
    Finish(state, taken, "", place, total);
    if (state.iterations() == 0) return;
    const double window = total / static_cast<double>(state.iterations());
    ReferenceRuns::SetRatio(state, "x_floor", "Server_Keyset", Where(place), window);
    ReferenceRuns::SetRatio(state, "x_offset", "Server_LimitOffset", Where(place), window, true);
}

void KeysetWindow(benchmark::State& state, const Place& place, Columns columns) {
    const Anchor anchor = AnchorOf(place);
    const Prepared query("keyset", KeysetSql(place, ColumnList(columns)));
    const std::vector<const char*> values = {anchor.value.c_str(), anchor.key.c_str()};
    if (!SameRows(state, Keys(query.Execute(values).get()), place, false, "keyset"))
        return;
    int taken = 0;
    const double total = TimedLoop(state, [&] {
        Result answer = query.Execute(values);
        taken = PQntuples(answer.get());
        benchmark::DoNotOptimize(Consume(answer.get()));
    });
    Finish(state, taken, std::string(ReferencePrefix(columns)) + "Keyset", place, total);
}

void LimitOffsetWindow(benchmark::State& state, const Place& place, Columns columns) {
    // Forwards the 50 rows after the anchor; backwards the 50 before it, counted from the far end.
    const long rank = AnchorRank(place);
    const std::string offset = std::to_string(place.forward ? rank + 1 : place.rows - rank);
    const std::string sql = "SELECT " + ColumnList(columns) + " FROM " + TableName(place.rows) + OrderAndLimit(place) +
                            " OFFSET $1";
    if (!SameRows(state, Keys(Run(sql, {offset}).get()), place, false, "LIMIT/OFFSET")) return;
    int taken = 0;
    const double total = TimedLoop(state, [&] {
        Result answer = Run(sql, {offset});
        taken = PQntuples(answer.get());
        benchmark::DoNotOptimize(Consume(answer.get()));
    });
    Finish(state, taken, std::string(ReferencePrefix(columns)) + "LimitOffset", place, total);
}

void RawTwoQueryWindow(benchmark::State& state, const Place& place) {
    const Anchor anchor = AnchorOf(place);
    const Prepared key_query("raw_keys", KeysetSql(place, "id::text"));
    const std::vector<const char*> values = {anchor.value.c_str(), anchor.key.c_str()};
    const std::string head = "SELECT id, code, name, price FROM " + TableName(place.rows) + " WHERE id IN (";
    std::string text;

    // One window: the key list written as literals, as a client of the key-list text does.
    auto window = [&] {
        const Result keys = key_query.Execute(values);
        text = head;
        for (int row = 0; row < PQntuples(keys.get()); ++row) {
            if (row > 0) text += ',';
            text += '\'';
            text += PQgetvalue(keys.get(), row, 0);  // integer keys: nothing to double
            text += '\'';
        }
        text += ')';
        return Checked(PQexec(Session(), text.c_str()), "rows");
    };

    if (!SameRows(state, Keys(window().get()), place, true, "the two queries")) return;
    int taken = 0;
    const double total = TimedLoop(state, [&] {
        const Result rows = window();
        taken = PQntuples(rows.get());
        benchmark::DoNotOptimize(Consume(rows.get()));
    });
    Finish(state, taken, "Plain_RawTwoQuery", place, total);
}

}  // namespace rowlark::bench::pg
