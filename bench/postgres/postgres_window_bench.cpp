// A window of 50 rows over goods tables of 10,000, 100,000 and 1,000,000 rows on the PostgreSQL
// server named by ROWLARK_PG (nothing is measured without it), in the order of the "name" tag, at
// the start, the middle and the end of the table, forwards and backwards. At each place, in this order:
//   Server_Keyset       one prepared keyset statement for the 50 keys and tag values: the row-value seek
//                       queryrows runs, without its look-ups and checks;
//   Server_LimitOffset  the same keys and values by LIMIT 50 OFFSET n along the tag's index;
//   Server_QueryRows    SELECT * FROM queryrows(...) as the OLE DB layer sends it, every answer row
//                       read: what the provider asks the server for a window's keys;
//   Plain_Keyset        one prepared keyset statement for the 50 rows with all four columns: the floor;
//   Plain_RawTwoQuery   what any client of the key-list text contract does at the least: the 50 keys by
//                       a prepared keyset statement, then a freshly written
//                       "SELECT ... WHERE id IN ('k1',...)" with the keys as literals, every column read;
//   Plain_LimitOffset   the 50 rows with all four columns by LIMIT 50 OFFSET n along the tag's index
//                       (its best case: no sort);
//   Dynamic_Window      the dynamic provider over the OLE DB layer (PrepareRows, then NextRow until
//                       null), its row query "SELECT id, code, name, price ... WHERE id IN (%СписокИД%)";
//   Dynamic_WindowRussian  the same over the tag "name_ru", the names in Russian order (x_bytes: its
//                       time over Dynamic_Window's at the same place).
// A window reports x_floor = window / its Keyset, x_raw = window / RawTwoQuery (the provider's) and
// x_offset = LimitOffset / window, each at the same place and direction (see bench/support/reference_runs.h).
// Times are wall clock: the work is the server's. The provider's windows start at a row that an
// earlier window handed out (the anchor), kept alive across iterations as a grid keeps its rows; the
// plain ones at the same row. The tables are made once on the server (schema rowlark_bench) and kept
// for the next run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <string>

#include "bench/postgres/windows.h"

namespace {

using namespace rowlark::bench::pg;

void Register(const std::string& name, std::function<void(benchmark::State&)> body) {
    benchmark::RegisterBenchmark(name.c_str(), [body](benchmark::State& state) {
        try {
            body(state);
        } catch (const std::exception& error) {
            state.SkipWithError(error.what());
        }
    })->UseRealTime()->Unit(benchmark::kMicrosecond);
}

void RegisterAll() {
    for (long rows : {10000L, 100000L, 1000000L}) {
        EnsureTable(rows);
        for (At at : {At::Start, At::Middle, At::End}) {
            for (bool forward : {true, false}) {
                const Place place{rows, at, forward};
                const std::string where = "/" + Where(place);
                // The references first, so that the windows can report their ratios to them.
                Register("Server_Keyset" + where, [place](auto& s) { KeysetWindow(s, place, Columns::Keys); });
                Register("Server_LimitOffset" + where, [place](auto& s) { LimitOffsetWindow(s, place, Columns::Keys); });
                Register("Server_QueryRows" + where, [place](auto& s) { ServerQueryRows(s, place); });
                Register("Plain_Keyset" + where, [place](auto& s) { KeysetWindow(s, place, Columns::All); });
                Register("Plain_RawTwoQuery" + where, [place](auto& s) { RawTwoQueryWindow(s, place); });
                Register("Plain_LimitOffset" + where, [place](auto& s) { LimitOffsetWindow(s, place, Columns::All); });
                Register("Dynamic_Window" + where, [place](auto& s) { DynamicWindow(s, place); });
                const Place russian{rows, at, forward, Order::Russian};
                Register("Dynamic_WindowRussian" + where, [russian](auto& s) { DynamicWindow(s, russian); });
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const char* where = std::getenv("ROWLARK_PG");
    if (!where || !*where) {
        std::printf("bench_postgres: ROWLARK_PG is not set (scripts/pg_cluster start DIR prints one); nothing measured\n");
        return 0;
    }
    int status = 0;
    try {
        OpenSession(where);
        RegisterAll();
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_postgres: %s\n", error.what());
        status = 1;
    }
    CloseSession();
    return status;
}
