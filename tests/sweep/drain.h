#pragma once
// How the sweeps take rows: the grid's from its provider until the run ends, a sequential result's
// until it has none left. Each stops after a limit and fails the test there, so a run that never ends
// (a fault that makes a provider repeat itself, say) fails the sweep's point instead of hanging it.

#include <gtest/gtest.h>

#include <memory>

#include "addin/grid/data_provider.h"
#include "platform/oledb/oledb.h"

namespace sweep {

inline constexpr int kDrainLimit = 100;

// Hands every row NextRow gives to take (which owns it from then on) until the run ends; the rows taken.
template <class Take>
int DrainGrid(CDataProvider& grid, const Take& take, int limit = kDrainLimit) {
    for (int taken = 0; taken < limit; ++taken) {
        std::unique_ptr<::CDataRow> row(grid.NextRow());
        if (!row) return taken;
        take(std::move(row));
    }
    ADD_FAILURE() << "a run of the grid that has not ended after " << limit << " rows";
    return limit;
}

// Steps a sequential result to its end; the rows stepped onto.
inline int DrainSequential(OleDb::CResultSequentialAccessProxy& result, int limit = kDrainLimit) {
    for (int rows = 0; rows < limit; ++rows)
        if (!result.GetNextRow()) return rows;
    ADD_FAILURE() << "a sequential result that has not ended after " << limit << " rows";
    return limit;
}

}  // namespace sweep
