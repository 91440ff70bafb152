// Where a 32-bit host long or pointer crosses the module: "GetAt" indexes through the host's
// 32-bit view of a number, the reserved hooks and the search request as the grid passes them, and
// numbers at the limits of long on their way between host values and the database.

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "addin/grid/interface_source.h"
#include "addin/module/module_classes.h"
#include "addin/provider/static/vfp_provider_static.h"
#include "platform/oledb/oledb.h"
#include "platform/runtime/module.h"
#include "platform/runtime/script_object.h"
#include "platform/win/windows.h"
#include "tests/support/host_fixture.h"

namespace {

using test_support::Cp;
using test_support::Utf;
constexpr LONG kMinLong = std::numeric_limits<LONG>::min();
constexpr LONG kMaxLong = std::numeric_limits<LONG>::max();

CValue Number(const CNumeric& n) {
    CValue v;
    v = n;
    return v;
}

class HostLongRoads : public test_support::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        db_ = std::make_unique<test_support::TestDatabase>();
        db_->Exec("CREATE TABLE t(id INTEGER, name TEXT)");
        db_->Exec("INSERT INTO t VALUES (-2147483648, 'наименьший'), (2147483647, 'наибольший'), "
                  "(2147483648, 'за пределом'), (-1, 'минус один')");
    }
    void TearDown() override {
        db_.reset();
        HostTest::TearDown();
    }
    // A static provider made by its script name and loaded over t.
    ScriptObject LoadedProvider() {
        ScriptObject provider = ScriptObject::Create("Rowlark.Provider.OleDb.VFP.Static");
        EXPECT_TRUE(provider.Set("QueryText", ScriptObject::Text("SELECT id, name FROM t")));
        EXPECT_TRUE(provider.Set("KeyField", ScriptObject::Text("id")));
        EXPECT_TRUE(provider.Call("SetConnection", {db_->value()}));
        EXPECT_TRUE(provider.Call("GetData"));
        return provider;
    }
    // Runs sql (UTF-8) with value bound to ":n"; the first row's first value.
    CValue SelectWith(const std::string& sql, const CValue& value) {
        OleDb::CCommandProxy command(db_->connection()->CreateCommand());
        command.SetTextParam(CString("n"), value);
        CString text(Cp(sql).c_str());
        LONG count = 0;
        auto result = command.ExecuteStatementExternalDirect(text, count);
        CValue out;
        EXPECT_TRUE(result.GetRow(0)) << sql;
        EXPECT_TRUE(result.GetFieldValue(0, out)) << sql;
        return out;
    }

    std::unique_ptr<test_support::TestDatabase> db_;
};

TEST_F(HostLongRoads, GetAtTakesItsIndexThroughTheHosts32BitView) {
    Rowlark::ModuleClasses classes;
    ScriptObject provider = LoadedProvider();
    CValue collection_value;
    ASSERT_TRUE(provider.CallFunction("Fields", collection_value));
    ScriptObject collection(collection_value);
    // -1 arrives as 4294967295, and the lowest long as 2147483648: no such field either way.
    const std::vector<long long> refused = {-1LL, static_cast<long long>(kMinLong), 4294967295LL};
    for (long long index : refused) {
        CValue field;
        collection.CallFunction("GetAt", field, {Number(CNumeric(index))});
    }
    EXPECT_EQ(std::vector<std::string>(refused.size(), "Неверный индекс поля"), test_support::RaisedErrors());
    host_errors::Clear();
    // Beyond 32 bits the index is taken modulo 2^32, as the host's long takes it: 2^32 + 2 is field 2.
    CValue field_value;
    ASSERT_TRUE(collection.CallFunction("GetAt", field_value, {Number(CNumeric(4294967298LL))}));
    CValue name;
    ASSERT_TRUE(ScriptObject(field_value).Get("Name", name));
    EXPECT_STREQ("name", name.Format());
    EXPECT_TRUE(test_support::RaisedErrors().empty());
}

TEST_F(HostLongRoads, ReservedHooksReachTheProviderThroughItsScriptObjectAndChangeNothing) {
    Rowlark::ModuleClasses classes;
    ScriptObject provider = LoadedProvider();
    const auto grid_side = GetGridInterface<CDataProvider>(provider.context());
    ASSERT_TRUE(grid_side);
    for (LONG argument : {kMinLong, -1, 0, kMaxLong}) {
        grid_side->ReservedHook1(argument);
        grid_side->ReservedHook2(argument);
        EXPECT_EQ(1, grid_side->ReservedQuery2(argument));
    }
    grid_side->ReservedHook3();
    EXPECT_EQ(0, grid_side->ReservedQuery1());
    int count = 0;
    ASSERT_TRUE(grid_side->GetRowCount(count));
    EXPECT_EQ(4, count);
    grid_side->PrepareRows(nullptr, 2, kMinLong);  // the reserved argument is not read
    std::unique_ptr<::CDataRow> row(grid_side->NextRow());
    ASSERT_TRUE(row);
    EXPECT_EQ(0, row->GetRowId());
    EXPECT_TRUE(test_support::RaisedErrors().empty());
}

TEST_F(HostLongRoads, SearchRequestWrittenAsTheGridsWordsFindsTheRow) {
    OleDb::GridProvider::CVfpProviderStatic provider;
    provider.SetConnection(db_->connection());
    provider.SetQueryText("SELECT id, name FROM t");
    provider.SetKeyField("id");
    provider.GetData();
    std::vector<int> matched;
    const auto procedure = [](HWND, UINT message, WPARAM code, LPARAM row, void* user) -> LRESULT {
        if (message == kGridNotifyMessage && code == kGridNotifySearchMatch)
            static_cast<std::vector<int>*>(user)->push_back(reinterpret_cast<::CDataRow*>(row)->GetRowId());
        return 0;
    };
    provider.m_hWnd = win::CreateMessageWindow(procedure, &matched);
    // The grid's record: pointer, 32-bit word (every bit set: it is never read), pointer.
    const std::string column = "NAME";
    const CString typed(Cp("за").c_str());
    struct {
        const void* column_name;
        std::uint32_t word;
        const void* typed_text;
    } words{column.c_str(), 0xFFFFFFFFu, &typed};
    static_assert(sizeof words == sizeof(SearchRequest));
    SearchRequest request;
    std::memcpy(&request, &words, sizeof request);
    provider.QuickSearch(request);
    win::DestroyMessageWindow(provider.m_hWnd);
    provider.m_hWnd = nullptr;
    EXPECT_EQ(std::vector<int>{2}, matched);
    EXPECT_TRUE(test_support::RaisedErrors().empty());
}

TEST_F(HostLongRoads, LongsAtTheirLimitsCrossTheDatabaseUnchanged) {
    for (LONG n : {kMinLong, kMinLong + 1, -1, 0, kMaxLong - 1, kMaxLong}) {
        CValue value;
        value = static_cast<long>(n);
        const CValue back = SelectWith("SELECT :n", value);
        EXPECT_TRUE(back == value) << n;
        EXPECT_EQ(n, static_cast<long>(back.GetNumeric()));
        EXPECT_EQ(std::to_string(n), back.Format());
    }
    // One step past either limit the database computes in 64 bits and the host value keeps it whole;
    // only the host's 32-bit view wraps.
    CValue highest;
    highest = static_cast<long>(kMaxLong);
    const CValue above = SelectWith("SELECT :n + 1", highest);
    EXPECT_STREQ("2147483648", above.Format());
    EXPECT_EQ(kMinLong, static_cast<long>(above.GetNumeric()));
    CValue lowest;
    lowest = static_cast<long>(kMinLong);
    const CValue below = SelectWith("SELECT :n - 1", lowest);
    EXPECT_STREQ("-2147483649", below.Format());
    EXPECT_EQ(kMaxLong, static_cast<long>(below.GetNumeric()));
    // The 64-bit integers at their own limits arrive exact.
    const CValue top = SelectWith("SELECT 9223372036854775807 + 0 * :n", highest);
    EXPECT_STREQ("9223372036854775807", top.Format());
    const CValue bottom = SelectWith("SELECT -9223372036854775807 - 1 + 0 * :n", highest);
    EXPECT_STREQ("-9223372036854775808", bottom.Format());
}

TEST_F(HostLongRoads, KeysAtTheLimitsOfLongFindTheirOwnRows) {
    OleDb::GridProvider::CVfpProviderStatic provider;
    provider.SetConnection(db_->connection());
    provider.SetQueryText("SELECT id, name FROM t");
    provider.SetKeyField("id");
    provider.GetData();
    // 2^31 and -2^31 share their 32-bit view: a key compared through it would find the wrong row.
    const std::vector<std::pair<long long, int>> keys = {
        {kMinLong, 0}, {kMaxLong, 1}, {2147483648LL, 2}, {-1, 3}};
    for (const auto& [key, row_number] : keys) {
        std::unique_ptr<::CDataRow> row(provider.FindRowByKey(Number(CNumeric(key))));
        ASSERT_TRUE(row) << key;
        EXPECT_EQ(row_number, row->GetRowId()) << key;
        CValue found_key;
        provider.GetRowKey(row.get(), found_key);
        EXPECT_EQ(std::to_string(key), found_key.Format());
    }
    EXPECT_EQ(nullptr, provider.FindRowByKey(Number(CNumeric(4294967295LL))));
    EXPECT_TRUE(test_support::RaisedErrors().empty());
}

}  // namespace
