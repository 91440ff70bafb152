// Every REAL key finds its row through the layer's row query, as the dynamic provider sends it: the
// host's number as its text (the shortest decimal that reads back as the double), quoted, in an IN
// list. SQLite's own reading of such a text is not always the nearest double, so this walks 100,000
// random doubles and the awkward ones through a REAL key column.

#include <sqlite3.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <vector>

#include "oledb_fixture.h"
#include "platform/oledb/host_number.h"

namespace {

// Doubles that are hard to read or to tell apart from their neighbours.
std::vector<double> AwkwardDoubles() {
    std::vector<double> out = {0.1, 0.2, 0.30000000000000004, 1.0 / 3, -0.0, 0.0, 1.0, -1.0, 12.5,
                               DBL_MAX, -DBL_MAX, DBL_MIN, -DBL_MIN, DBL_TRUE_MIN, -DBL_TRUE_MIN,
                               std::nextafter(DBL_MIN, 0.0), std::nextafter(DBL_MAX, 0.0), 1e23, 8.98846567431158e307,
                               9007199254740991.0, 9007199254740992.0, 9007199254740994.0, -9007199254740994.0,
                               9223372036854775808.0, 18446744073709551616.0, 1e300, 1e-300, 1e-320, 2.5e-308,
                               // texts SQLite 3.40 reads one unit off, and an integer text beyond 2^53
                               0.2655636860555112, 3.402149250892514e+46, 5.549532733908557e-18,
                               9.56206834787941e-300, 999807350250180900.0};
    for (int e = -1074; e <= 1023; e += 97) out.push_back(std::ldexp(1.0, e));
    return out;
}

// Seeded random doubles over every exponent (raw bit patterns) and over everyday magnitudes.
std::vector<double> RandomDoubles(std::size_t count) {
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> everyday(-1e6, 1e6);
    std::vector<double> out;
    while (out.size() < count) {
        if (out.size() % 4 == 3) {
            out.push_back(everyday(random));
            continue;
        }
        const std::uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) out.push_back(value);
    }
    return out;
}

// The key as the dynamic provider quotes it into the row query.
std::string QuotedKey(double key) {
    CValue value;
    oledb_backend::SetReal(key, value);
    return "'" + std::string(value.GetString().c_str()) + "'";
}

class RealKeys : public OleDbTest {
protected:
    // Stores keys[n] as row n, bound as doubles, so each row holds exactly its double.
    void Store(const std::vector<double>& keys) {
        Exec("CREATE TABLE k (id REAL, n INTEGER)");
        Exec("CREATE INDEX k_id ON k (id)");
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, "INSERT INTO k VALUES (?, ?)", -1, &insert, nullptr), SQLITE_OK);
        for (std::size_t n = 0; n < keys.size(); ++n) {
            sqlite3_bind_double(insert, 1, keys[n]);
            sqlite3_bind_int64(insert, 2, static_cast<sqlite3_int64>(n));
            ASSERT_EQ(sqlite3_step(insert), SQLITE_DONE);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        ASSERT_EQ(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    // Queries the keys window by window; returns how many rows were missing from their window.
    // A row outside its window's keys fails the test.
    std::size_t MissingRows(const std::vector<double>& keys, std::size_t window) {
        std::size_t missing = 0;
        for (std::size_t first = 0; first < keys.size(); first += window) {
            const std::size_t last = std::min(keys.size(), first + window);
            std::string list;
            for (std::size_t n = first; n < last; ++n) list += (n > first ? "," : "") + QuotedKey(keys[n]);
            LONG count = 0;
            auto result = Direct("SELECT n FROM k WHERE id IN (" + list + ")", count);
            EXPECT_TRUE(result.IsValid()) << LastError();
            std::set<std::size_t> found;
            CValue value;
            for (long row = 0; result.GetRow(row); ++row) {
                EXPECT_TRUE(result.GetFieldValue(0, value));
                const std::size_t n = std::stoul(Utf8(value));
                bool listed = false;  // -0.0 and 0.0 are one key
                for (std::size_t m = first; m < last && !listed; ++m) listed = keys[m] == keys[n];
                EXPECT_TRUE(listed) << "row " << n << " (" << QuotedKey(keys[n]) << ") outside its window";
                found.insert(n);
            }
            for (std::size_t n = first; n < last; ++n) {
                if (found.count(n)) continue;
                ++missing;
                ADD_FAILURE() << "key " << QuotedKey(keys[n]) << " finds no row";
            }
        }
        return missing;
    }
};

TEST_F(RealKeys, EveryRandomAndAwkwardDoubleFindsItsRowInItsWindow) {
    std::vector<double> keys = AwkwardDoubles();
    const std::vector<double> random = RandomDoubles(100000);
    keys.insert(keys.end(), random.begin(), random.end());
    Store(keys);
    EXPECT_EQ(MissingRows(keys, 100), 0u);
    EXPECT_TRUE(host_errors::Raised().empty()) << LastError();
}

}  // namespace
