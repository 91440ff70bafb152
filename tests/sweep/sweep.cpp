#include "tests/sweep/sweep.h"

#include <iostream>
#include <sstream>

#include <gtest/gtest.h>

#include "platform/runtime/module.h"
#include "tests/support/host_fixture.h"

namespace sweep {

namespace {

long total_points = 0;

// Every step is bounded: an operation that never runs clean fails the sweep instead of hanging.
constexpr long kMaxPoints = 2000;

struct Pass {
    Served served;            // what act served, and then what the grid took after it
    std::size_t by_act = 0;   // how much of served act gave
    std::vector<std::string> errors;
    bool failed = false;      // the injected failure happened
    oledb_faults::Call call = oledb_faults::Call::kCreateCommand;
};

std::string Join(const Served& served) {
    std::ostringstream out;
    for (const auto& s : served) out << "\n    " << s;
    return out.str();
}

// One pass: act under the fault, then the rest without it. n = 0: no fault.
Pass RunOnce(const Scenario& scenario, long n, bool throwing, bool every_later) {
    Pass pass;
    scenario.prepare();
    host_errors::Clear();
    host_errors::SetRaiseThrows(throwing);
    oledb_faults::FailNthCall(n, every_later);
    try {
        scenario.act(pass.served);
    } catch (const HostRuntimeError&) {
        // recorded in the host's list as well
    }
    pass.failed = oledb_faults::NthCallFailed();
    pass.call = oledb_faults::FailedCall();
    oledb_faults::FailNthCall(0);
    pass.by_act = pass.served.size();
    pass.errors = test_support::RaisedErrors();
    host_errors::SetRaiseThrows(false);
    if (scenario.then) scenario.then(pass.served);
    return pass;
}

bool IsPrefix(const Served& part, const Served& whole) {
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

}  // namespace

Figures Run(const Scenario& scenario, bool throwing, bool every_later) {
    Figures figures;
    const std::string mode = std::string(throwing ? "thrown" : "recorded") + (every_later ? ", every later call" : "");

    const Pass clean = RunOnce(scenario, 0, throwing, every_later);
    scenario.finish();
    EXPECT_TRUE(clean.errors.empty()) << scenario.name << ": the clean run raised " << clean.errors.front();
    EXPECT_FALSE(clean.served.empty()) << scenario.name << ": the clean run served nothing to compare with";

    for (long n = 1; n <= kMaxPoints; ++n) {
        const Pass pass = RunOnce(scenario, n, throwing, every_later);
        const std::string where = scenario.name + " (" + mode + "), failing call " + std::to_string(n) +
                                  (pass.failed ? std::string(" (") + oledb_faults::CallName(pass.call) + ")" : "");
        if (!pass.failed) {  // fewer calls than n: the operation ran clean
            EXPECT_EQ(clean.served, pass.served) << where;
            EXPECT_TRUE(pass.errors.empty()) << where;
            scenario.finish();
            return figures;
        }
        ++figures.points;
        figures.calls.push_back(oledb_faults::CallName(pass.call));

        const bool reported = !pass.errors.empty();
        const Served by_act(pass.served.begin(), pass.served.begin() + static_cast<long>(pass.by_act));
        const Served clean_by_act(clean.served.begin(), clean.served.begin() + static_cast<long>(clean.by_act));
        const Served after(pass.served.begin() + static_cast<long>(pass.by_act), pass.served.end());
        const Served clean_after(clean.served.begin() + static_cast<long>(clean.by_act), clean.served.end());
        // With every later call failing, a row count that is not reported is followed by positions
        // that all fail, which the layer's interface reads as a result without those rows.
        const bool count_then_nothing = every_later && pass.call == oledb_faults::Call::kRowCount;
        if (reported) {
            // The user was told; what the grid holds must still be true rows in their places: a run
            // cut short (and resumed by the grid), or a load that serves what it serves whole.
            EXPECT_TRUE(IsPrefix(by_act, clean_by_act) &&
                        (IsPrefix(pass.served, clean.served) || IsPrefix(after, clean_after)))
                << where << ": served after the error is not true rows in their places:" << Join(pass.served)
                << "\n  clean:" << Join(clean.served);
        } else if (scenario.quiet_shortfall_documented || count_then_nothing) {
            EXPECT_TRUE(pass.served == clean.served || (IsPrefix(by_act, clean_by_act) && IsPrefix(after, clean_after)))
                << where << ":" << Join(pass.served) << "\n  clean:" << Join(clean.served);
        } else {
            // No message: the failure must not have changed anything the grid sees.
            EXPECT_EQ(clean_by_act, by_act) << where << ": a failure changed what was served without a message";
            EXPECT_EQ(clean.served, pass.served) << where << ": a failure changed what was served without a message";
        }

        // The same operation, the fault gone, on the same objects.
        Served again;
        host_errors::Clear();
        scenario.act(again);
        if (scenario.then) scenario.then(again);
        EXPECT_EQ(clean.served, again) << where << ": the operation does not recover once the fault is gone";
        EXPECT_TRUE(test_support::RaisedErrors().empty()) << where << ": the repeated operation raised";
        scenario.finish();
        if (::testing::Test::HasFailure()) return figures;  // one point's failures say enough
    }
    ADD_FAILURE() << scenario.name << " (" << mode << ") never ran clean within " << kMaxPoints << " failing calls";
    return figures;
}

long RunAll(const Scenario& scenario) {
    long points = 0;
    for (bool throwing : {false, true}) {
        for (bool every_later : {false, true}) {
            const Figures f = Run(scenario, throwing, every_later);
            points += f.points;
            std::cout << "[ sweep    ] " << scenario.name << (throwing ? ", thrown" : ", recorded")
                      << (every_later ? ", every later call" : ", one call") << ": " << f.points
                      << " fault points\n";
            if (::testing::Test::HasFailure()) return points;
        }
    }
    total_points += points;
    std::cout << "[ sweep    ] " << scenario.name << ": " << points << " fault points in all\n";
    return points;
}

long TotalPoints() { return total_points; }

}  // namespace sweep
