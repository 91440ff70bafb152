#pragma once
// The host's OLE DB layer as the module uses it, over an embedded SQLite database or a PostgreSQL
// server (connection.h: the backend is chosen once, when the connection opens).
// COLEDBData is a connection and a host script object ("OLEDBData"); commands made from it run
// statements and hand out results. Every handle (command, result) is cheap to copy and shares the
// object behind it; the last handle releases it. Texts cross in CP1251; the database speaks UTF-8.

#include <memory>

#include "platform/mfc/cstring.h"
#include "platform/runtime/context.h"
#include "platform/runtime/value.h"
#include "platform/win/windows.h"

class COLEDBCommand;  // a command on one connection; owned by the CCommandProxy made from it
namespace oledb_backend {
class Connection;
class Result;
}  // namespace oledb_backend

// A connection to a database. Scripts create it by the name "OLEDBData" and use its methods
// "Открыть"/"Open"(path, "Data Source=path", or a PostgreSQL connection string), "Закрыть"/"Close"()
// and "Выполнить"/"Execute"(sql).
class COLEDBData : public CBLContext {
public:
    COLEDBData();
    ~COLEDBData() override;
    CRuntimeClass* GetRuntimeClass() const override;

    // Opens a SQLite database file, given as a path or as a "Data Source=..." text, or a PostgreSQL
    // server given as "postgresql://..." or "host=... dbname=..."; false and a host run-time error
    // carrying the reason when it cannot be opened.
    bool Open(const char* connection);
    void Close();
    bool IsOpen() const;
    // Runs a statement that returns no rows (for setting up data); false and a run-time error on failure.
    bool Execute(const char* sql);
    // A new command on this connection, owned by the handle made from it; null when the
    // connection is not open. Commands keep the connection alive after Close or destruction.
    COLEDBCommand* CreateCommand();
    // The open database behind this object (connection.h), for tools and tests that work on it
    // beside the layer (its catalogue, its procedures); null when not open.
    std::shared_ptr<oledb_backend::Connection> connection() const { return connection_; }

    const char* DisplayTypeName() const override;
    int MethodCount() override;
    int LookupMethod(const char* name) override;
    const char* MethodNameAt(int index, int language) override;
    int MethodArity(int index) override;
    int MethodHasResult(int index) override;
    int MethodDefaultArg(int method, int parameter, CValue* out) override;
    int InvokeAsProcedure(int index, CValue** args) override;
    int InvokeAsFunction(int index, CValue& result, CValue** args) override;

    static CRuntimeClass classCOLEDBData;

private:
    std::shared_ptr<oledb_backend::Connection> connection_;
};

namespace OleDb {

// A handle on a result. A default handle, or one whose execution failed, is not valid.
class CResultProxy {
public:
    bool IsValid() const;
    // True when the result has no rows (or is not valid).
    bool IsEmpty() const;
    // Lets go of the result; the handle is then not valid. The result closes with its last handle.
    void Reset();
    int GetNumFields() const;
    // The column's name in small letters (A-Z, А-Я; Ё and the rest kept), whatever case the query gave it.
    CString GetFieldName(int column) const;
    // The current row's value of a column: numbers for INTEGER and REAL (and the server's integer,
    // float, numeric and bool types), CP1251 text for TEXT and every other type, empty for NULL. False, with value untouched, when there is no current row or no such column.
    bool GetFieldValue(int column, CValue& value) const;

protected:
    CResultProxy() = default;
    explicit CResultProxy(std::shared_ptr<oledb_backend::Result> result) : result_(std::move(result)) {}
    std::shared_ptr<oledb_backend::Result> result_;
};

// A result held whole in memory, positioned on any row by number.
class CResultDirectAccessProxy : public CResultProxy {
public:
    CResultDirectAccessProxy(std::nullptr_t = nullptr) {}  // NOLINT: made from a null result
    explicit CResultDirectAccessProxy(std::shared_ptr<oledb_backend::Result> result);
    // Positions on row (from 0); false when there is no such row.
    bool GetRow(LONG row);
};

// A result streamed from the database in one forward pass; nothing is held beyond the current row.
class CResultSequentialAccessProxy : public CResultProxy {
public:
    CResultSequentialAccessProxy(std::nullptr_t = nullptr) {}  // NOLINT
    explicit CResultSequentialAccessProxy(std::shared_ptr<oledb_backend::Result> result);
    // Moves to the next row; false at the end.
    bool GetNextRow();
};

// A handle on a command. Copies share the command; the last one releases it.
class CCommandProxy {
public:
    explicit CCommandProxy(COLEDBCommand* command = nullptr);
    bool IsValid() const;
    // Binds value for the next execution to the parameter name (":name", "@name" or "$name" in the text,
    // in any letter case where no value has its very name) or number ("1" for "?" or "?1"). That
    // execution raises a host run-time error and runs nothing when a parameter of its text has no value
    // or a value has no parameter.
    void SetTextParam(const CString& name, const CValue& value);
    // While on, every statement run is written to the host's message window.
    void SetDebugMode(bool on);
    // Runs text and keeps all its rows; count is the number of rows, -1 (unknown) when that does not
    // fit the host's 32-bit LONG. A failing statement raises a host run-time error with the
    // database's message and gives a result that is not valid.
    // A call of a procedure the database offers ("QueryRows ('a', 1)") runs that procedure.
    CResultDirectAccessProxy ExecuteStatementExternalDirect(CString& text, LONG& count);
    // Runs text and streams its rows; count is not set. Errors as above.
    CResultSequentialAccessProxy ExecuteStatementExternalSequential(CString& text, LONG& count);

private:
    std::shared_ptr<COLEDBCommand> command_;
};

// Translates a table's meta-name into its real name. A database may carry meta-names in its
// catalogue table rowlark_meta_names(meta_name, real_name); opening it makes them known to the
// process. "$Name" is looked up; a text without "$" is already a real name.
class CMetaNameParserProxy {
public:
    CMetaNameParserProxy();
    void SetQueryText(const CString& text);
    // True when the text was translated; GetQueryText is then the real name, else GetLastError says why.
    bool Parse();
    CString GetQueryText() const;
    CString GetLastError() const;

    // The value as the database writes it (mode 0): a number as plain decimal text, a text as
    // itself, empty as "NULL". flag tells whether the text needs quotes; extra is not used.
    static bool CValueToDBValue(const CValue& value, int mode, CString& text, bool& flag, CString& extra);

private:
    CString text_;
    CString result_;
    CString error_;
};

}  // namespace OleDb
