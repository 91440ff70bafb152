#pragma once
// Failures made on purpose, so that tests reach every error road of the code that uses the
// layer. Process-wide; each stays set until ResetAll (tests call it in their fixtures).
// Row numbers count from 0: for a direct result the row positioned on, for a sequential
// result the row's place in the pass.

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
void ReportRowCount(long count);
// Clears every failure.
void ResetAll();

// Asked by the layer.
bool CreateCommandFails();
bool GetRowFails(long row);
bool FieldValueFails(int column, long row);
// True, with the count to report, when a row count is forced.
bool ForcedRowCount(long& count);

}  // namespace oledb_faults
