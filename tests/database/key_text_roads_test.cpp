// A key's text on its two roads must be the same, or the provider cannot find its rows: QueryRows
// writes each key as text (value_text.h), and the OLE DB layer turns the row query's key into a
// host value whose database text (CValueToDBValue) is looked up among those texts. Walked here
// for awkward keys of every kind a key column holds, through a real file, the real layer and the
// real QueryRows, the way the dynamic provider goes.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "database/index_tags.h"
#include "database/query_rows.h"
#include "database/statement.h"
#include "database/value_text.h"
#include "platform/oledb/meta_names.h"
#include "platform/oledb/oledb.h"
#include "platform/oledb/procedures.h"
#include "platform/runtime/module.h"
#include "platform/runtime/numeric.h"

namespace rowlark::database {
namespace {

const double kAwkwardReals[] = {0.1 + 0.2, 1e-300, 5e-324, DBL_MAX, -DBL_MAX, -0.0, 1e15 + 0.3, 1.0 / 3,
                                9007199254740993.0, 1e20, 1e38, 1e-5, 1e-31, 123456.789, -2.5, 3.0, DBL_MIN};

TEST(KeyText, RealIsWrittenAsTheHostNumberWritesItself) {
    for (double value : kAwkwardReals)
        EXPECT_EQ(FormatReal(value), CNumeric::FromDouble(value).Format()) << value;
    std::mt19937_64 random(3);
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t bits = random();
        double any;
        std::memcpy(&any, &bits, sizeof any);
        if (std::isfinite(any)) {
            EXPECT_EQ(FormatReal(any), CNumeric::FromDouble(any).Format()) << any;
        }
        const double price = static_cast<double>(static_cast<std::int64_t>(random() % 10000000)) / 100;
        EXPECT_EQ(FormatReal(price), CNumeric::FromDouble(price).Format()) << price;
    }
}

class KeyTextRoads : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = (std::filesystem::temp_directory_path() / ("rowlark_key_text_" + std::to_string(getpid()) + ".db")).string();
        std::filesystem::remove(path_);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
        Execute(db, "CREATE TABLE reals (k REAL, ord INTEGER)");
        Execute(db, "CREATE TABLE whole (k INTEGER, ord INTEGER)");
        Execute(db, "CREATE TABLE texts (k TEXT, ord INTEGER)");
        {
            Statement real(db, "INSERT INTO reals VALUES (?1, ?2)");
            int ord = 0;
            for (double value : kAwkwardReals) {
                sqlite3_reset(real.get());
                sqlite3_bind_double(real.get(), 1, value);
                sqlite3_bind_int(real.get(), 2, ++ord);
                real.Step();
            }
        }
        Execute(db, "INSERT INTO whole VALUES (9007199254740993, 1), (-9223372036854775808, 2),"
                    " (9223372036854775807, 3), (0, 4), (-1, 5)");
        Execute(db, "INSERT INTO texts VALUES ('O''Brien', 1), ('''', 2), (''''',''', 3), ('Ёж', 4), ('', 5),"
                    " (' padded ', 6), ('NULL', 7), (NULL, 8)");
        for (const char* table : {"reals", "whole", "texts"}) AddIndexTag(db, table, "ord", "ord", "k", TagKind::Number);
        ASSERT_EQ(sqlite3_close(db), SQLITE_OK);
        RegisterDatabaseProcedures(oledb_backend::RegisterProcedure);
        host_errors::Clear();
        ASSERT_TRUE(data_->Open(path_.c_str()));
        command_ = OleDb::CCommandProxy(data_->CreateCommand());
    }
    void TearDown() override {
        command_ = OleDb::CCommandProxy();
        data_->Close();
        std::filesystem::remove(path_);
    }

    // The key texts QueryRows names for the whole table, in tag order.
    std::vector<std::string> KeyTexts(const std::string& table) {
        CString call{std::string_view("QueryRows ('" + table + "', 'ord', '', '', 100, 'k',1, '', '',0)")};
        LONG unused = 0;
        auto answer = command_.ExecuteStatementExternalSequential(call, unused);
        std::vector<std::string> keys;
        CValue value;
        while (answer.GetNextRow()) {
            EXPECT_TRUE(answer.GetFieldValue(0, value));
            keys.push_back(std::string(value.GetString().view()));
        }
        return keys;
    }

    // The row query with those keys quoted into it, as the provider writes it, and each returned
    // key's database text.
    std::vector<std::string> RowQueryTexts(const std::string& table, const std::vector<std::string>& keys) {
        std::string list;
        for (const std::string& key : keys) {
            if (!list.empty()) list += ',';
            list += '\'';
            for (const char c : key) list += c == '\'' ? std::string("''") : std::string(1, c);
            list += '\'';
        }
        CString query{std::string_view("SELECT k FROM " + table + " WHERE k IN (" + list + ") ORDER BY ord")};
        LONG count = 0;
        auto rows = command_.ExecuteStatementExternalDirect(query, count);
        std::vector<std::string> texts;
        CValue value;
        CString text, extra;
        bool flag = false;
        for (long row = 0; rows.GetRow(row); ++row) {
            EXPECT_TRUE(rows.GetFieldValue(0, value));
            EXPECT_TRUE(OleDb::CMetaNameParserProxy::CValueToDBValue(value, 0, text, flag, extra));
            texts.push_back(std::string(text.view()));
        }
        return texts;
    }

    std::string path_;
    struct DataDeleter {
        void operator()(COLEDBData* d) const { d->DecrRef(); }
    };
    std::unique_ptr<COLEDBData, DataDeleter> data_{new COLEDBData()};
    OleDb::CCommandProxy command_;
};

TEST_F(KeyTextRoads, EveryRealKeyFindsItsRowUnderTheSameText) {
    const auto keys = KeyTexts("reals");
    ASSERT_EQ(keys.size(), std::size(kAwkwardReals));
    EXPECT_EQ(keys[0], "0.30000000000000004");
    EXPECT_EQ(keys[3], "1.7976931348623157e+308");
    EXPECT_EQ(keys[5], "0") << "-0.0";
    EXPECT_EQ(RowQueryTexts("reals", keys), keys);
    EXPECT_TRUE(host_errors::Raised().empty());
}

TEST_F(KeyTextRoads, EveryIntegerKeyFindsItsRowUnderTheSameText) {
    const auto keys = KeyTexts("whole");
    EXPECT_EQ(keys, (std::vector<std::string>{"9007199254740993", "-9223372036854775808", "9223372036854775807", "0", "-1"}));
    EXPECT_EQ(RowQueryTexts("whole", keys), keys);
}

TEST_F(KeyTextRoads, TextKeysFindTheirRowsAndANullKeyNamesNoOtherRow) {
    const auto keys = KeyTexts("texts");
    ASSERT_EQ(keys.size(), 8u);
    EXPECT_EQ(keys[7], "") << "a NULL key is written as the empty text";
    // A NULL key matches nothing in a key list, so only the seven texts come back, each under its own text;
    // the NULL row is never put in another key's place.
    const std::vector<std::string> texts(keys.begin(), keys.begin() + 7);
    EXPECT_EQ(RowQueryTexts("texts", keys), texts);
    const std::set<std::string> distinct(texts.begin(), texts.end());
    EXPECT_EQ(distinct.size(), texts.size());
}

}  // namespace
}  // namespace rowlark::database
