#pragma once
// A fault sweep, as SQLite's own fault tests do it: an operation runs once clean, then again with
// the n-th failable call of the OLE DB layer failing, for n = 1, 2, ... until it runs clean, in
// both host error modes (recorded, thrown) and both fault kinds (that one call, that call and every
// later one). Each time it checks that the failure reached the host or changed nothing the grid
// sees, that what the grid was served is a prefix of the clean run (nothing wrong, nothing
// skipped), and that the same operation then gives the clean result again.

#include <functional>
#include <string>
#include <vector>

#include "platform/oledb/faults.h"

namespace sweep {

// What a scenario served: one text per row or answer, in order.
using Served = std::vector<std::string>;

struct Scenario {
    std::string name;
    // Makes the state the operation starts from, on fresh objects; runs without faults.
    std::function<void()> prepare;
    // The operation: appends what it serves as it goes (it may leave by the host's error).
    std::function<void(Served&)> act;
    // What the grid does next once the fault is gone (takes the rest of a run, say); may be empty.
    std::function<void(Served&)> then;
    // A failure that ends the operation with less served and no message is this scenario's
    // documented outcome (a lookup that finds nothing, say). Without it, a failure with no message
    // must leave everything served as in the clean run (an unknown row count is counted instead).
    bool quiet_shortfall_documented = false;
    // Lets go of the objects prepare made.
    std::function<void()> finish;
};

// Fault points a scenario visited in one error mode and fault kind.
struct Figures {
    long points = 0;                     // runs in which the injected failure happened
    std::vector<std::string> calls;      // the operation that failed at each point
};

// Runs the sweep of one scenario in one mode; failures of its checks are test failures naming
// the point. throwing: the host's error leaves by throwing; every_later: the failing call and
// every later one fail.
Figures Run(const Scenario& scenario, bool throwing, bool every_later);

// Runs all four combinations and prints the figures; the total of points visited.
long RunAll(const Scenario& scenario);

// Points visited by every RunAll of the process so far.
long TotalPoints();

}  // namespace sweep
