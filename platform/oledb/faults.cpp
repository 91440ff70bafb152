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
    long count = 0;
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
void ReportRowCount(long count) {
    State().count_forced = true;
    State().count = count;
}
void ResetAll() { State() = Faults(); }

bool CreateCommandFails() { return State().create_command; }
bool GetRowFails(long row) {
    const Faults& f = State();
    return f.rows.count(row) != 0 || (f.rows_from >= 0 && row >= f.rows_from);
}
bool FieldValueFails(int column, long row) { return State().values.count({column, row}) != 0; }
bool ForcedRowCount(long& count) {
    if (!State().count_forced) return false;
    count = State().count;
    return true;
}

}  // namespace oledb_faults
