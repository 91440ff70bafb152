#pragma once
// The benchmarks of one place (see postgres_window_bench.cpp for what each measures). Each checks
// once, before it is timed, that it returns the rows the dynamic provider hands out there, and
// skips with the reason when not; the references remember their times for the ratios.

#include <benchmark/benchmark.h>

#include <vector>

#include "bench/postgres/server_session.h"

namespace rowlark::bench::pg {

// What a plain query returns of each row.
enum class Columns {
    Keys,  // the key and the tag's value, as QueryRows answers
    All,   // id, code, name, price, as the provider's row query reads them
};

// The server's queryrows function with the arguments the provider passes.
void ServerQueryRows(benchmark::State& state, const Place& place);
// One prepared keyset statement: the floor. Remembered as "Server_Keyset" (keys) or "Plain_Keyset".
void KeysetWindow(benchmark::State& state, const Place& place, Columns columns);
// LIMIT 50 OFFSET n along the tag's index. Remembered as "Server_LimitOffset" or "Plain_LimitOffset".
void LimitOffsetWindow(benchmark::State& state, const Place& place, Columns columns);
// The keys by a prepared keyset statement, then the rows by a freshly written key list.
void RawTwoQueryWindow(benchmark::State& state, const Place& place);
// The dynamic provider over the OLE DB layer: PrepareRows, then NextRow until null.
void DynamicWindow(benchmark::State& state, const Place& place);

// The keys of the provider's window at place, in the order it hands them out.
std::vector<long> ProviderWindowKeys(const Place& place);

}  // namespace rowlark::bench::pg
