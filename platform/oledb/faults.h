#pragma once
// Failures made on purpose, so that tests reach every error road of the code that uses the
// layer. Process-wide; each stays set until ResetAll (tests call it in their fixtures).
// Row numbers count from 0: for a direct result the row positioned on, for a sequential
// result the row's place in the pass.
//
// Besides the switches for one operation, every operation of the layer that can fail is a
// counted call: FailNthCall(n) makes the n-th of them from that moment fail the way it fails
// for real, so a test can sweep n = 1, 2, ... until an operation runs clean.

namespace oledb_faults {

// COLEDBData::CreateCommand answers null.
void FailCreateCommand(bool fail = true);
// GetRow(row) answers false for exactly this row number.
void FailGetRowAt(long row);
// GetRow(row) answers false for this row number and every later one.
void FailGetRowFrom(long row);
// GetFieldValue of this column on this row answers false.
void FailFieldValue(int column, long row);
// A direct execution reports this count (0 or -1: unknown) instead of the number of rows.
void ReportRowCount(long long count);

// The operations that can fail, each taking its own road when it does.
enum class Call {
    kCreateCommand,  // COLEDBData::CreateCommand: null
    kOpen,           // COLEDBData::Open: false and a run-time error; the previous connection stays
    kExecute,        // COLEDBData::Execute: false and a run-time error
    kStatement,      // an execution of a statement: a run-time error and a result that is not valid
    kProcedure,      // an execution of a procedure call: the same as a statement
    kNextRow,        // a step of a sequential pass: a run-time error, false, and the pass is over
    kGetRow,         // positioning a direct result: false and no current row
    kFieldValue,     // reading a value: false, the value untouched
    kRowCount,       // the row count of a direct execution: reported as unknown (-1)
    kMetaName,       // translating a meta-name: Parse false, GetLastError gives the reason
    kDatabaseValue,  // CValueToDBValue: false and an empty text
};
// A short English name of the operation, for test messages.
const char* CallName(Call call);

// From now on counts the failable calls anew; the n-th of them fails (n from 1), and only that
// one unless every_later is set. n = 0 only counts.
void FailNthCall(long n, bool every_later = false);
// Failable calls made since the last FailNthCall or ResetAll.
long CallsMade();
// Whether a call has failed by FailNthCall since it was last set, and which operation it was.
bool NthCallFailed();
Call FailedCall();

// Clears every failure and the count.
void ResetAll();

// Asked by the layer.
// The reason a counted call gives when it fails (UTF-8, as the database's own messages).
inline constexpr const char* kFaultText = "failure made on purpose";
bool CreateCommandFails();
bool GetRowFails(long row);
bool FieldValueFails(int column, long row);
// True, with the count to report, when a row count is forced.
bool ForcedRowCount(long long& count);
// Counts one call of the operation; true when it is to fail.
bool CallFails(Call call);

}  // namespace oledb_faults
