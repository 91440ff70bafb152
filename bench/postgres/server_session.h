#pragma once
// The benchmark's own session on the PostgreSQL server (plain libpq, beside the OLE DB layer), the
// goods tables it reads and the places of a window in them. One session for the whole run, as a
// provider keeps its connection; it sees schema rowlark_bench first. Throws std::runtime_error for
// anything the server refuses.

#include <libpq-fe.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace rowlark::bench::pg {

inline constexpr int kWindow = 50;
inline constexpr const char* kSchema = "rowlark_bench";

enum class At { Start, Middle, End };

// The tag a window walks: "name" in byte order, or "name_ru", the same names in Russian order.
enum class Order { Bytes, Russian };

// Where a window starts: after (forward) or before the row of rank 50 ("start"), rows / 2 ("middle")
// or rows - 51 ("end") in the order of the tag of table goods_<rows>.
struct Place {
    long rows;
    At at;
    bool forward;
    Order order = Order::Bytes;
};
// The tag's name: "name" or "name_ru".
const char* TagName(Order order);
long AnchorRank(const Place& place);
// "rows:10000/at:start/forward": the suffix of every benchmark at that place.
std::string Where(const Place& place);
// "goods_10000".
std::string TableName(long rows);

struct ClearResult {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ClearResult>;

// Connects to the server named by text (a libpq key=value string or a URI); throws when it cannot.
void OpenSession(const std::string& text);
void CloseSession();
PGconn* Session();
// The text the session was opened with, plus the options that make rowlark_bench the first schema.
std::string ProviderConnectionText();

// Runs sql with its parameters as text; the answer, which has succeeded.
Result Run(const std::string& sql, const std::vector<std::string>& params = {});
// Checks the answer of a prepared statement; the answer.
Result Checked(PGresult* answer, const std::string& what);

// Makes goods_<rows> (id integer, code, name, price) and its tags "name" and "name_ru" unless a
// complete one is there from an earlier run on the same server.
void EnsureTable(long rows);
// The tag's value as SQL, as QueryRows orders by it (asked of the server once per order).
const std::string& TagValueSql(Order order = Order::Bytes);

// The anchor row of a place, as QueryRows hands it out: its key and its tag value.
struct Anchor {
    std::string key, value;
};
Anchor AnchorOf(const Place& place);

// Reads every value of every row, as a reader of the answer would; the bytes read.
std::size_t Consume(const PGresult* result);
// The integer keys of an answer, in its order, from column.
std::vector<long> Keys(const PGresult* result, int column = 0);

}  // namespace rowlark::bench::pg
