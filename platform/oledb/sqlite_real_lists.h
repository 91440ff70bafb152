#pragma once
// Exact REAL keys for shaped IN lists. A key list arrives as quoted texts ("id IN ('0.1', ...)"),
// and SQLite compares each with the list's left operand after applying that operand's affinity.
// Against a REAL column a numeric text becomes SQLite's reading of it, which is not always the
// nearest double (and an integer text beyond 2^53 stays an integer no double equals), so a row
// could miss its own key. There the key is bound as its exact double (exact_real.h) instead.
//
// Against any other affinity the text is what compares: TEXT and none compare its very bytes (a
// bound double would become SQLite's own text of it), INTEGER and NUMERIC compare SQLite's reading
// as ever. So a list is given doubles only where the operand is proven a REAL column: a bare
// column name ("c", "t.c") standing alone in a WHERE clause (after WHERE, AND, OR, NOT or "("), of
// a statement without WITH, BETWEEN or compound SELECTs; its declared type is asked of SQLite by
// preparing "SELECT <operand> FROM <that select's FROM clause>", which names the same column.
// Anything else, or a probe SQLite refuses, keeps every text as it is. The probe is prepared (never
// run) only for a list holding a numeric text, and its answer is remembered per shape (RealListMemo)
// for the shape's kept statement; the connection asks again when it prepares the shape anew, and
// when SQLite had to prepare the kept statement again at its first step (the schema changed: the
// backend then compares the answers, asked inside the statement's own read, before trusting it).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/oledb/in_list_literals.h"

struct sqlite3;

namespace oledb_backend {

// The probe naming the left operand of the list whose IN word begins at in_at in shape; empty when
// the operand is not a bare column name of a WHERE clause as above.
std::string OperandProbe(std::string_view shape, std::size_t in_at);

// What the probes of one connection answered, per shape and list.
class RealListMemo {
public:
    enum class Answer : signed char { kUnknown, kReal, kOther };

    // Whether the list at index list of shaped stands against a REAL column of db: remembered,
    // else probed now.
    bool AgainstReal(sqlite3* db, const ShapedText& shaped, std::size_t list);
    // What is remembered of shape (empty when nothing), and forgetting it.
    std::vector<Answer> Known(const std::string& shape) const;
    void Forget(const std::string& shape) { answers_.erase(shape); }
    // Probes prepared so far (for tests and benchmarks).
    std::size_t probes() const { return probes_; }

    static constexpr std::size_t kShapesKept = 64;

private:
    std::unordered_map<std::string, std::vector<Answer>> answers_;  // by shape, one per list
    std::size_t probes_ = 0;
};

// The literals to bind for shaped on db: its values with each numeric text of a list against a
// REAL column replaced by its exact double; none when no literal changes.
std::optional<std::vector<SqlValue>> ExactRealKeys(sqlite3* db, const ShapedText& shaped, RealListMemo& memo);

}  // namespace oledb_backend
