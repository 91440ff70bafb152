// The texts the dynamic provider sends: the QueryRows call and the key list. For any arguments
// (texts of any bytes, any count and flags) the call text, in the database's encoding as the OLE
// DB layer passes it on, is read by the layer's own procedure-call reader as exactly one call of
// QueryRows with exactly those ten arguments. A key list (keys as the provider takes them, up to a
// zero byte), put into a row query in place of its placeholder, is one list of exactly those
// literals: SQLite reads "SELECT <list>" as one row of one column per key, each the key itself.

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

#include "addin/provider/dynamic/call_text.h"
#include "fuzz/support/check.h"
#include "fuzz/support/fuzz_input.h"
#include "platform/mfc/cstring.h"
#include "platform/oledb/call_text.h"
#include "platform/oledb/text_out.h"
#include "platform/text/cp1251.h"

namespace {

using OleDb::GridProvider::AppendQuoted;
using OleDb::GridProvider::QueryRowsCall;
using OleDb::GridProvider::QueryRowsCallText;
using rowlark_fuzz::Escaped;
using rowlark_fuzz::FuzzInput;

constexpr std::size_t kMaxText = 24;

void CheckText(const oledb_backend::ProcArg& arg, const std::string& want, const std::string& call) {
    FUZZ_CHECK(arg.is_text && cp1251::FromUtf8(arg.text) == want, Escaped(want) + " in " + Escaped(call));
}

void CheckNumber(const oledb_backend::ProcArg& arg, std::int64_t want, const std::string& call) {
    FUZZ_CHECK(!arg.is_text && arg.number == want, std::to_string(want) + " in " + Escaped(call));
}

void CheckCall(FuzzInput& in) {
    std::string texts[7];
    for (std::string& text : texts) text = in.Text(kMaxText);
    QueryRowsCall call;
    call.table = texts[0];
    call.index_tag = texts[1];
    call.start_index = texts[2];
    call.start_key = texts[3];
    call.count = static_cast<std::uint32_t>(in.Int32());
    call.key_field = texts[4];
    call.forward = in.Flag();
    call.filter_from = texts[5];
    call.filter_to = texts[6];
    call.inclusive = in.Flag();

    const std::string text = QueryRowsCallText(call);
    const std::string sql = oledb_backend::ToDatabaseText(text);
    const auto name = oledb_backend::CallName(sql);
    FUZZ_CHECK(name && *name == "QueryRows", Escaped(text));
    oledb_backend::ProcedureCall parsed;
    try {
        parsed = oledb_backend::ParseCall(sql);
    } catch (const oledb_backend::CursorError& e) {
        rowlark_fuzz::Fail(__FILE__, __LINE__, "ParseCall", std::string(e.what()) + ": " + Escaped(text));
    }
    FUZZ_CHECK(parsed.name == "QueryRows" && parsed.args.size() == 10, Escaped(text));
    CheckText(parsed.args[0], texts[0], text);
    CheckText(parsed.args[1], texts[1], text);
    CheckText(parsed.args[2], texts[2], text);
    CheckText(parsed.args[3], texts[3], text);
    CheckNumber(parsed.args[4], call.count, text);
    CheckText(parsed.args[5], texts[4], text);
    CheckNumber(parsed.args[6], call.forward ? 1 : 0, text);
    CheckText(parsed.args[7], texts[5], text);
    CheckText(parsed.args[8], texts[6], text);
    CheckNumber(parsed.args[9], call.inclusive ? 1 : 0, text);
}

sqlite3* Database() {
    static sqlite3* db = [] {
        sqlite3* opened = nullptr;
        FUZZ_CHECK(sqlite3_open(":memory:", &opened) == SQLITE_OK, "cannot open a database");
        return opened;
    }();
    return db;
}

void CheckKeyList(FuzzInput& in) {
    std::vector<std::string> keys(1 + in.Below(15));
    std::string list;
    for (std::string& key : keys) {
        key = in.Text(kMaxText).c_str();  // the provider reads a key up to its first zero byte
        if (!list.empty()) list += ',';
        AppendQuoted(list, key);
    }
    static constexpr cp1251::Literal kPlaceholder{"%СписокИД%"};
    CString query(("SELECT " + kPlaceholder.str()).c_str());
    query.Replace(kPlaceholder.c_str(), list.c_str());
    const std::string sql = oledb_backend::ToDatabaseText(query.view());

    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    const int prepared = sqlite3_prepare_v2(Database(), sql.data(), static_cast<int>(sql.size()), &statement, &tail);
    FUZZ_CHECK(prepared == SQLITE_OK, std::string(sqlite3_errmsg(Database())) + ": " + Escaped(sql));
    FUZZ_CHECK(tail == sql.data() + sql.size(), "text after the list: " + Escaped(sql));
    FUZZ_CHECK(sqlite3_column_count(statement) == static_cast<int>(keys.size()), Escaped(sql));
    FUZZ_CHECK(sqlite3_step(statement) == SQLITE_ROW, Escaped(sql));
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const int column = static_cast<int>(k);
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        const std::string value(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
        FUZZ_CHECK(sqlite3_column_type(statement, column) == SQLITE_TEXT && cp1251::FromUtf8(value) == keys[k],
                   Escaped(keys[k]) + " read as " + Escaped(value) + " in " + Escaped(sql));
    }
    FUZZ_CHECK(sqlite3_step(statement) == SQLITE_DONE, Escaped(sql));
    sqlite3_finalize(statement);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    if (in.Flag()) CheckCall(in);
    else CheckKeyList(in);
    return 0;
}
