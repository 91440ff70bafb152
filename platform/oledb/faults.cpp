#include "platform/oledb/faults.h"

#include <set>
#include <utility>

namespace oledb_faults {

namespace {

struct Faults {
    bool create_command = false;
    std::set<long> rows;
    long rows_from = -1;  // -1: none
    std::set<std::pair<int, long>> values;
    bool count_forced = false;
    long long count = 0;

    long fail_at = 0;          // the counted call that fails; 0: none
    bool every_later = false;  // calls after fail_at fail as well
    long calls = 0;            // counted calls since FailNthCall
    bool failed = false;       // a counted call has failed
    Call failed_call = Call::kCreateCommand;
};

Faults& State() {
    static Faults faults;
    return faults;
}

}  // namespace

void FailCreateCommand(bool fail) { State().create_command = fail; }
void FailGetRowAt(long row) { State().rows.insert(row); }
void FailGetRowFrom(long row) { State().rows_from = row; }
void FailFieldValue(int column, long row) { State().values.insert({column, row}); }
void ReportRowCount(long long count) {
    State().count_forced = true;
    State().count = count;
}

const char* CallName(Call call) {
    switch (call) {
        case Call::kCreateCommand: return "CreateCommand";
        case Call::kOpen: return "Open";
        case Call::kExecute: return "Execute";
        case Call::kStatement: return "statement";
        case Call::kProcedure: return "procedure call";
        case Call::kNextRow: return "GetNextRow";
        case Call::kGetRow: return "GetRow";
        case Call::kFieldValue: return "GetFieldValue";
        case Call::kRowCount: return "row count";
        case Call::kMetaName: return "meta-name";
        case Call::kDatabaseValue: return "CValueToDBValue";
    }
    return "?";
}

void FailNthCall(long n, bool every_later) {
    Faults& f = State();
    f.fail_at = n > 0 ? n : 0;
    f.every_later = every_later;
    f.calls = 0;
    f.failed = false;
}

long CallsMade() { return State().calls; }
bool NthCallFailed() { return State().failed; }
Call FailedCall() { return State().failed_call; }

void ResetAll() { State() = Faults(); }

bool CreateCommandFails() { return State().create_command; }
bool GetRowFails(long row) {
    const Faults& f = State();
    return f.rows.count(row) != 0 || (f.rows_from >= 0 && row >= f.rows_from);
}
bool FieldValueFails(int column, long row) { return State().values.count({column, row}) != 0; }
bool ForcedRowCount(long long& count) {
    if (!State().count_forced) return false;
    count = State().count;
    return true;
}

bool CallFails(Call call) {
    Faults& f = State();
    ++f.calls;
    if (f.fail_at == 0 || f.calls < f.fail_at || (f.calls > f.fail_at && !f.every_later)) return false;
    if (!f.failed) f.failed_call = call;  // the first failure names the call the sweep aimed at
    f.failed = true;
    return true;
}

}  // namespace oledb_faults
