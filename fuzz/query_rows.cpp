// QueryRows against a model. A small table of generated ids, names (Cyrillic, Latin, blanks, empty,
// NULL) and quantities gets a text tag on its name and a number tag on its quantity; generated
// calls (start at an end, at a value or at a row; either direction; inclusive or not; filters;
// counts; now and then a wrong table, tag, key field, count or a bound that is not a number) go to
// QueryRows both on a bare handle and through a connection's procedure memory. Each answers the
// model's keys and index texts in the model's order, or is refused exactly where the model refuses.

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "database/index_tags.h"
#include "database/query_rows.h"
#include "database/statement.h"
#include "database/value_text.h"
#include "fuzz/support/check.h"
#include "fuzz/support/fuzz_input.h"
#include "fuzz/support/model_text.h"

namespace {

using oledb_backend::ProcArg;
using rowlark_fuzz::Escaped;
using rowlark_fuzz::FuzzInput;
using rowlark_fuzz::SqlText;
using rowlark_fuzz::StartsWith;
using rowlark_fuzz::TrimTrailing;
namespace db = rowlark::database;

struct ModelRow {
    std::int64_t id;
    std::string value;  // the tag's index text: the trimmed name, or the quantity's decimal text
    std::int64_t number;  // the quantity, for the number tag
};

using Answer = std::vector<std::pair<std::string, std::string>>;  // key text, index text

// Pieces names are made of: two-byte Cyrillic, ASCII of both cases, blanks a name may end in.
const char* const kPieces[] = {"а", "Ар", "б", "я", "ё", "Ё", "a", "A", "z", " ", "\t", "бу", "'", "\xc2\xa0"};
constexpr std::uint32_t kPieceCount = sizeof kPieces / sizeof *kPieces;

std::string Piecewise(FuzzInput& in, std::uint32_t most) {
    std::string text;
    for (std::uint32_t n = in.Below(most); n > 0; --n) text += kPieces[in.Below(kPieceCount - 1)];
    return text;
}



struct Request {
    std::string table = "t", tag = "name", index, key;
    std::int64_t count = 0;
    std::string key_field = "id";
    bool forward = true;
    std::string from, to;
    bool inclusive = false;

    std::vector<ProcArg> Args() const {
        auto text = [](const std::string& t) { return ProcArg{true, t, 0}; };
        auto number = [](std::int64_t n) { return ProcArg{false, std::string(), n}; };
        return {text(table), text(tag), text(index), text(key), number(count), text(key_field), number(forward),
                text(from), text(to), number(inclusive)};
    }
    std::string Describe() const {
        return "('" + Escaped(table) + "', '" + Escaped(tag) + "', '" + Escaped(index) + "', '" + Escaped(key) + "', " +
               std::to_string(count) + ", '" + Escaped(key_field) + "'," + (forward ? "1" : "0") + ", '" +
               Escaped(from) + "', '" + Escaped(to) + "'," + (inclusive ? "1" : "0") + ")";
    }
};

bool SameAscii(std::string a, std::string b) {
    for (char& c : a) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : b) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return a == b;
}

// The model's answer, or none for a call QueryRows must refuse.
std::optional<Answer> Model(std::vector<ModelRow> rows, const Request& r) {
    if (!SameAscii(r.table, "t") || !SameAscii(r.key_field, "id") || r.count < 0) return std::nullopt;
    const bool by_number = SameAscii(r.tag, "qty");
    if (!by_number && !SameAscii(r.tag, "name")) return std::nullopt;
    const bool has_start = !r.index.empty() || !r.key.empty();
    double start_number = 0, from_number = 0, to_number = 0;
    if (by_number) {
        auto number = [](const std::string& text, double& out) {
            const auto parsed = db::ParseNumber(text);
            if (!parsed) return false;
            out = std::holds_alternative<std::int64_t>(*parsed) ? static_cast<double>(std::get<std::int64_t>(*parsed))
                                                                : std::get<double>(*parsed);
            return true;
        };
        if (has_start && !number(r.index, start_number)) return std::nullopt;
        if (!r.from.empty() && !number(r.from, from_number)) return std::nullopt;
        if (!r.to.empty() && !number(r.to, to_number)) return std::nullopt;
    }
    const std::int64_t start_key = r.key.empty() ? 0 : std::stoll(r.key);
    // -1, 0, 1 as a row's (value, key) lies before, on or after the start (key ignored without one).
    auto versus_start = [&](const ModelRow& row) {
        int order;
        if (by_number) order = (static_cast<double>(row.number) > start_number) - (static_cast<double>(row.number) < start_number);
        else order = row.value.compare(r.index) < 0 ? -1 : row.value.compare(r.index) > 0 ? 1 : 0;
        if (order == 0 && !r.key.empty()) order = (row.id > start_key) - (row.id < start_key);
        return order;
    };
    auto in_filter = [&](const ModelRow& row) {
        if (by_number) {
            const auto v = static_cast<double>(row.number);
            return (r.from.empty() || v >= from_number) && (r.to.empty() || v <= to_number);
        }
        // Index values carry no trailing white space, and the lower bound is read without it too.
        const std::string from = r.from.substr(0, r.from.find_last_not_of(" \t\n\v\f\r") + 1);
        return (from.empty() || row.value >= from) &&
               (r.to.empty() || row.value <= r.to || StartsWith(row.value, r.to));
    };
    std::sort(rows.begin(), rows.end(), [&](const ModelRow& a, const ModelRow& b) {
        return by_number ? std::tie(a.number, a.id) < std::tie(b.number, b.id) : std::tie(a.value, a.id) < std::tie(b.value, b.id);
    });
    if (!r.forward) std::reverse(rows.begin(), rows.end());
    Answer answer;
    for (const ModelRow& row : rows) {
        if (static_cast<std::int64_t>(answer.size()) >= r.count) break;
        if (!in_filter(row)) continue;
        if (has_start) {
            const int order = r.forward ? versus_start(row) : -versus_start(row);
            if (order < 0 || (order == 0 && !r.inclusive)) continue;
        }
        answer.emplace_back(std::to_string(row.id), by_number ? std::to_string(row.number) : row.value);
    }
    return answer;
}

std::optional<Answer> Run(const std::function<std::unique_ptr<oledb_backend::RowCursor>()>& open) {
    try {
        const std::unique_ptr<oledb_backend::RowCursor> cursor = open();
        Answer answer;
        while (cursor->Step()) answer.emplace_back(cursor->Column(0).text, cursor->Column(1).text);
        return answer;
    } catch (const oledb_backend::CursorError&) {
        return std::nullopt;
    }
}

std::string Show(const std::optional<Answer>& answer) {
    if (!answer) return "refused";
    std::string text;
    for (const auto& [key, value] : *answer) text += " " + key + ":'" + Escaped(value) + "'";
    return text.empty() ? "nothing" : text;
}

struct CloseDb {
    void operator()(sqlite3* handle) const { sqlite3_close(handle); }
};

std::string NumberText(FuzzInput& in) {
    switch (in.Below(3)) {
        case 0: return std::to_string(static_cast<int>(in.Below(20)) - 10);
        case 1: return std::to_string(static_cast<int>(in.Below(20)) - 10) + ".5";
        case 2: return "x" + std::to_string(in.Below(9));  // not a number
        default: return "";
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    sqlite3* raw = nullptr;
    FUZZ_CHECK(sqlite3_open(":memory:", &raw) == SQLITE_OK, "cannot open a database");
    const std::unique_ptr<sqlite3, CloseDb> handle(raw);
    db::Execute(raw, "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT, qty INTEGER)");

    std::vector<ModelRow> rows;
    for (std::uint32_t n = in.Below(14); n > 0; --n) {
        const std::int64_t id = static_cast<std::int64_t>(in.Below(40)) - 5;
        if (std::any_of(rows.begin(), rows.end(), [&](const ModelRow& row) { return row.id == id; })) continue;
        const bool null_name = in.Below(7) == 0;
        const std::string name = null_name ? std::string() : Piecewise(in, 4);
        const bool null_qty = in.Below(7) == 0;
        const std::int64_t qty = null_qty ? 0 : static_cast<std::int64_t>(in.Below(12)) - 6;
        db::Execute(raw, "INSERT INTO t VALUES (" + std::to_string(id) + ", " + (null_name ? "NULL" : SqlText(name)) +
                             ", " + (null_qty ? "NULL" : std::to_string(qty)) + ")");
        rows.push_back({id, TrimTrailing(name), qty});
    }
    db::AddIndexTag(raw, "t", "name", "name", "id", db::TagKind::Text);
    db::AddIndexTag(raw, "t", "qty", "qty", "id", db::TagKind::Number);

    oledb_backend::ProcedureMemory memory;
    for (int call = 0; call < 6 && !in.Empty(); ++call) {
        Request r;
        const bool by_number = in.Flag();
        r.tag = by_number ? "qty" : "name";
        switch (in.Below(15)) {  // now and then something QueryRows must refuse or take in another case
            case 0: r.table = "nosuch"; break;
            case 1: r.tag = "nosuch"; break;
            case 2: r.key_field = "name"; break;
            case 3: r.count = -1 - static_cast<std::int64_t>(in.Below(3)); break;
            case 4: r.table = "T"; r.tag = by_number ? "QTY" : "Name"; r.key_field = "ID"; break;
            default: break;
        }
        if (r.count == 0) r.count = in.Below(9) == 0 ? std::numeric_limits<std::int64_t>::max() : in.Below(16);
        r.forward = in.Flag();
        r.inclusive = in.Flag();
        switch (in.Below(3)) {
            case 0: break;  // from an end
            case 1: {       // at a row of the table, or one beside it
                if (rows.empty()) break;
                const ModelRow& row = rows[in.Below(static_cast<std::uint32_t>(rows.size() - 1))];
                r.index = by_number ? std::to_string(row.number) : row.value;
                r.key = std::to_string(row.id + (in.Below(5) == 0 ? 1 : 0));
                if (by_number && r.index.empty()) r.index = "0";
                break;
            }
            default: r.index = by_number ? NumberText(in) : Piecewise(in, 3); break;  // at a value
        }
        if (in.Flag()) r.from = by_number ? NumberText(in) : Piecewise(in, 2);
        if (in.Flag()) r.to = by_number ? NumberText(in) : Piecewise(in, 2);

        const std::optional<Answer> expected = Model(rows, r);
        const std::vector<ProcArg> args = r.Args();
        const auto bare = Run([&] { return db::QueryRows(raw, args); });
        FUZZ_CHECK(bare == expected, r.Describe() + "\n  answered " + Show(bare) + "\n  model    " + Show(expected));
        const oledb_backend::ProcedureSite site(raw, &memory);
        const auto kept = Run([&] { return db::QueryRows(site, args); });
        FUZZ_CHECK(kept == expected, "with memory " + r.Describe() + "\n  answered " + Show(kept) + "\n  model    " +
                                         Show(expected));
    }
    memory.Clear();
    return 0;
}
