#include "database/query_rows.h"

#include "database/cursor_error.h"
#include "database/index_token.h"
#include "database/key_window.h"
#include "database/key_window_cursor.h"
#include "database/key_window_memory.h"
#include "database/statement.h"

namespace rowlark::database {

using oledb_backend::CursorError;
using oledb_backend::ProcArg;

namespace {

constexpr const char* kArgumentNames[] = {"table",     "index tag", "start index text", "start key",   "count",
                                          "key field", "direction", "filter from",      "filter to",   "inclusive"};

std::string ArgumentName(size_t i) {
    return "QueryRows argument " + std::to_string(i + 1) + " (" + kArgumentNames[i] + ")";
}

const std::string& TextArg(const std::vector<ProcArg>& args, size_t i) {
    if (!args[i].is_text) throw CursorError(ArgumentName(i) + " must be a quoted text, got the number " +
                                            std::to_string(args[i].number));
    return args[i].text;
}

std::int64_t NumberArg(const std::vector<ProcArg>& args, size_t i) {
    if (args[i].is_text) throw CursorError(ArgumentName(i) + " must be a whole number, got the text " +
                                           Quoted(args[i].text));
    return args[i].number;
}

bool FlagArg(const std::vector<ProcArg>& args, size_t i) {
    const std::int64_t value = NumberArg(args, i);
    if (value != 0 && value != 1) throw CursorError(ArgumentName(i) + " must be 1 or 0, got " + std::to_string(value));
    return value == 1;
}

}  // namespace

QueryRowsRequest ReadQueryRowsRequest(const std::vector<ProcArg>& args) {
    if (args.size() != 10)
        throw CursorError("QueryRows expects 10 arguments ('table', 'tag', 'start index', 'start key', count, "
                          "'key field', direction, 'filter from', 'filter to', inclusive), got " +
                          std::to_string(args.size()));
    QueryRowsRequest request;
    request.table = TextArg(args, 0);
    request.tag = TextArg(args, 1);
    // The start index text is a token of an earlier answer; filter bounds are typed texts and stay as they are.
    const std::string& start_token = TextArg(args, 2);
    auto start_index = DecodeIndexToken(start_token);
    if (!start_index)
        throw CursorError(ArgumentName(2) + " " + Quoted(start_token) +
                          " is not an index text that QueryRows gave: a ¤ there starts none of ¤¤, "
                          "¤code;, ¤xHH;");
    request.start_index = std::move(*start_index);
    request.start_key = TextArg(args, 3);
    request.count = NumberArg(args, 4);
    if (request.count < 0) throw CursorError(ArgumentName(4) + " must be 0 or more, got " + std::to_string(request.count));
    request.key_field = TextArg(args, 5);
    request.forward = FlagArg(args, 6);
    request.filter_from = TextArg(args, 7);
    request.filter_to = TextArg(args, 8);
    request.inclusive = FlagArg(args, 9);
    return request;
}

std::unique_ptr<oledb_backend::RowCursor> QueryRows(sqlite3* db, const std::vector<ProcArg>& args) {
    return ReportingCursorErrors([&]() -> std::unique_ptr<oledb_backend::RowCursor> {
        const QueryRowsRequest request = ReadQueryRowsRequest(args);
        return std::make_unique<KeyWindowCursor>(db, PlanKeyWindow(db, request));
    });
}

std::unique_ptr<oledb_backend::RowCursor> QueryRows(const oledb_backend::ProcedureSite& site,
                                                    const std::vector<ProcArg>& args) {
    if (!site.memory() || !site.handle()) return QueryRows(site.handle(), args);
    return ReportingCursorErrors([&] {
        const QueryRowsRequest request = ReadQueryRowsRequest(args);
        return KeyWindowMemory::Of(*site.memory(), site.handle()).Open(request);
    });
}

std::vector<std::string> ExplainQueryRows(sqlite3* db, const std::vector<ProcArg>& args) {
    return ReportingCursorErrors([&] {
        const KeyWindowPlan plan = PlanKeyWindow(db, ReadQueryRowsRequest(args));
        std::vector<std::string> lines;
        for (PlannedStatement planned : plan.statements) {
            planned.sql = "EXPLAIN QUERY PLAN " + planned.sql;
            Statement explain = PrepareAndBind(db, planned);
            while (explain.Step()) lines.push_back(explain.ColumnText(3));
        }
        return lines;
    });
}

void RegisterDatabaseProcedures(std::function<void(const std::string&, oledb_backend::Procedure)> add) {
    using SiteProcedure = std::unique_ptr<oledb_backend::RowCursor> (*)(const oledb_backend::ProcedureSite&,
                                                                          const std::vector<ProcArg>&);
    add("QueryRows", static_cast<SiteProcedure>(&QueryRows));
}

}  // namespace rowlark::database
