#pragma once
// A command on one connection: parameter values, a debug switch, and the execution of a
// statement or of a procedure call into a result. Made by COLEDBData::CreateCommand and owned
// by the CCommandProxy made from it; it shares the connection, so the connection outlives it.
// Raises nothing itself: an execution answers its failure as a value, and the handle raises it.
// Values are bound for the next execution only, which must use each and leave no parameter of
// its text without one (statement_params.h); a procedure call takes none.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/oledb/connection.h"
#include "platform/oledb/result.h"
#include "platform/oledb/row_cursor.h"
#include "platform/oledb/statement_params.h"
#include "platform/runtime/value.h"

class COLEDBCommand {
public:
    explicit COLEDBCommand(std::shared_ptr<oledb_backend::Connection> connection);
    COLEDBCommand(const COLEDBCommand&) = delete;
    COLEDBCommand& operator=(const COLEDBCommand&) = delete;

    // Binds value for the next execution under name (CP1251, with or without its ':', '@', '$'
    // or '#'; a number for a numbered parameter). A whole number binds as an integer, another
    // number as an exact decimal (a real where the database keeps no decimals), a text as text,
    // the empty value as NULL, an object as its type name.
    void SetParam(std::string_view name, const CValue& value);
    void SetDebugMode(bool on) { debug_ = on; }

    struct Outcome {
        std::shared_ptr<oledb_backend::Result> result;  // null when the execution failed
        long long count = 0;                             // rows of a direct result
        std::string error;                               // the database's failure, UTF-8
        std::string layer_error;  // the layer's own refusal (parameters), the host's message in CP1251
    };
    // Runs text (CP1251): a call of a procedure the database offers, or one SQL statement.
    Outcome ExecuteDirect(std::string_view text);
    Outcome ExecuteSequential(std::string_view text);

private:
    std::unique_ptr<oledb_backend::RowCursor> Open(std::string_view text, oledb_backend::Reading reading);

    std::shared_ptr<oledb_backend::Connection> connection_;
    std::vector<oledb_backend::BoundValue> bound_;  // for the next execution, in binding order
    bool debug_ = false;
};
