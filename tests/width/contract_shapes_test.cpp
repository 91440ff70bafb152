// The shapes the grid and the host are built against: type widths, the memory order of the search
// request, and the slot order of the four grid interfaces, proven by calling every slot through
// the object's table of virtual operations as the separately built grid does.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "addin/grid/data_provider.h"

// The widths the host's 32-bit Windows gives; the same on every target.
static_assert(sizeof(LONG) == 4 && std::numeric_limits<LONG>::is_signed);
static_assert(sizeof(DWORD) == 4 && !std::numeric_limits<DWORD>::is_signed);
static_assert(sizeof(BOOL) == 4 && sizeof(UINT) == 4);
static_assert(sizeof(WPARAM) == sizeof(void*) && sizeof(LPARAM) == sizeof(void*) && sizeof(LRESULT) == sizeof(void*));

// The search request: column name pointer, one 32-bit word, typed-text pointer, unpadded on 32 bits.
static_assert(offsetof(SearchRequest, column_name) == 0);
static_assert(offsetof(SearchRequest, unused) == sizeof(void*));
static_assert(offsetof(SearchRequest, typed_text) == 2 * sizeof(void*));
static_assert(sizeof(SearchRequest) == 3 * sizeof(void*));

#if UINTPTR_MAX == UINT32_MAX
// The host's own target: every pointer and every word the grid and the host share is 32 bits.
static_assert(sizeof(void*) == 4);
static_assert(sizeof(SearchRequest) == 12);
static_assert(sizeof(HWND) == 4);
static_assert(sizeof(CDataProvider) == 8, "table pointer, then the window handle");
static_assert(sizeof(CV7DataProvider) == 4 && sizeof(::CDataRow) == 4 && sizeof(CV7DataRow) == 4,
              "interfaces without data: their table pointer only");
#endif
static_assert(sizeof(CDataProvider) == 2 * sizeof(void*));

namespace {

// Every operation records its name and arguments, and answers something of its own.
class RecordingProvider : public CV7DataProvider, public CDataProvider {
public:
    std::vector<std::string> calls;
    void PrepareRows(const ::CDataRow* from, int count, int reserved) override {
        calls.push_back("PrepareRows " + std::to_string(from == nullptr) + " " + std::to_string(count) + " " +
                        std::to_string(reserved));
    }
    ::CDataRow* NextRow() override { return Note("NextRow"), nullptr; }
    BOOL RefreshRow(::CDataRow*) override { return Note("RefreshRow"), 21; }
    BOOL IsSameRow(const ::CDataRow*, const ::CDataRow*) override { return Note("IsSameRow"), 22; }
    int ReservedQuery1() override { return Note("ReservedQuery1"), 23; }
    BOOL GetRowCount(int& count) override { return count = 77, Note("GetRowCount"), 24; }
    void ReservedHook1(LONG a) override { Note("ReservedHook1 " + std::to_string(a)); }
    void ReservedHook2(LONG a) override { Note("ReservedHook2 " + std::to_string(a)); }
    LRESULT NotifyGridCode1() override { return Note("NotifyGridCode1"), 25; }
    int ReservedQuery2(LONG a) override { return Note("ReservedQuery2 " + std::to_string(a)), 26; }
    void QuickSearch(const SearchRequest& r) override { Note(std::string("QuickSearch ") + r.column_name); }
    void NotifyGridCode0() override { Note("NotifyGridCode0"); }
    void ReservedHook3() override { Note("ReservedHook3"); }
    CV7DataRow* GetV7Row(::CDataRow*) override { return Note("GetV7Row"), nullptr; }
    void GetRowKey(::CDataRow*, CValue&) override { Note("GetRowKey"); }
    ::CDataRow* FindRowByKey(const CValue&) override { return Note("FindRowByKey"), nullptr; }

private:
    void Note(std::string call) { calls.push_back(std::move(call)); }
};

class RecordingRow : public ::CDataRow, public CV7DataRow {
public:
    std::vector<std::string> calls;
    CValue value;
    int GetFieldCount() override { return Note("GetFieldCount"), 31; }
    int LookupFieldIndex(const char* name) override { return Note(std::string("LookupFieldIndex ") + name), 32; }
    const char* LookupFieldName(int n) override { return Note("LookupFieldName " + std::to_string(n)), "f"; }
    int ReservedRowQuery(int n) override { return Note("ReservedRowQuery " + std::to_string(n)), 33; }
    CString& FormatField(int n, CString& text) override { return Note("FormatField " + std::to_string(n)), text; }
    int GetRowId() const override { return 34; }
    const CValue& GetValueAt(int n) override { return Note("GetValueAt " + std::to_string(n)), value; }

private:
    void Note(std::string call) { calls.push_back(std::move(call)); }
};

// The function in slot of the object's table of virtual operations, called with the object as
// its first argument: how a grid compiled against the interfaces (by this compiler) reaches it.
// A virtual destructor fills two slots here (the complete and the deleting one), so the first
// operation after it stands in slot 2.
template <typename Result, typename Interface, typename... Args>
Result CallSlot(Interface* object, std::size_t slot, Args... args) {
    using Function = Result (*)(Interface*, Args...);
    void* const* table = *reinterpret_cast<void* const* const*>(object);
    return reinterpret_cast<Function>(table[slot])(object, args...);
}

TEST(GridSlots, DataProviderOperationsStandInTheirSlotsWithTheirArgumentWidths) {
    RecordingProvider provider;
    CDataProvider* p = &provider;
    int count = 0;
    const CString typed("ab");
    const SearchRequest request{"name", 0, &typed};
    CallSlot<void>(p, 2, static_cast<const ::CDataRow*>(nullptr), std::numeric_limits<int>::min(), -1);
    EXPECT_EQ(nullptr, (CallSlot<::CDataRow*>(p, 3)));
    EXPECT_EQ(21, (CallSlot<BOOL>(p, 4, static_cast<::CDataRow*>(nullptr))));
    EXPECT_EQ(22, (CallSlot<BOOL>(p, 5, static_cast<const ::CDataRow*>(nullptr), static_cast<const ::CDataRow*>(nullptr))));
    EXPECT_EQ(23, (CallSlot<int>(p, 6)));
    EXPECT_EQ(24, (CallSlot<BOOL, CDataProvider, int*>(p, 7, &count)));  // a reference travels as a pointer
    EXPECT_EQ(77, count);
    CallSlot<void>(p, 8, std::numeric_limits<LONG>::min());
    CallSlot<void>(p, 9, static_cast<LONG>(-1));
    EXPECT_EQ(25, (CallSlot<LRESULT>(p, 10)));
    EXPECT_EQ(26, (CallSlot<int>(p, 11, std::numeric_limits<LONG>::max())));
    CallSlot<void, CDataProvider, const SearchRequest*>(p, 12, &request);
    CallSlot<void>(p, 13);
    CallSlot<void>(p, 14);
    EXPECT_EQ((std::vector<std::string>{"PrepareRows 1 -2147483648 -1", "NextRow", "RefreshRow", "IsSameRow",
                                        "ReservedQuery1", "GetRowCount", "ReservedHook1 -2147483648",
                                        "ReservedHook2 -1", "NotifyGridCode1", "ReservedQuery2 2147483647",
                                        "QuickSearch name", "NotifyGridCode0", "ReservedHook3"}),
              provider.calls);
}

TEST(GridSlots, V7DataProviderOperationsStandInTheirSlots) {
    RecordingProvider provider;
    CV7DataProvider* p = &provider;
    CValue key;
    EXPECT_EQ(nullptr, (CallSlot<CV7DataRow*>(p, 0, static_cast<::CDataRow*>(nullptr))));
    CallSlot<void, CV7DataProvider, ::CDataRow*, CValue*>(p, 1, nullptr, &key);
    EXPECT_EQ(nullptr, (CallSlot<::CDataRow*, CV7DataProvider, const CValue*>(p, 2, &key)));
    EXPECT_EQ((std::vector<std::string>{"GetV7Row", "GetRowKey", "FindRowByKey"}), provider.calls);
}

TEST(GridSlots, RowOperationsStandInTheirSlots) {
    RecordingRow row;
    ::CDataRow* r = &row;
    CString text;
    EXPECT_EQ(31, (CallSlot<int>(r, 2)));
    EXPECT_EQ(32, (CallSlot<int>(r, 3, "id")));
    EXPECT_STREQ("f", (CallSlot<const char*>(r, 4, -1)));
    EXPECT_EQ(33, (CallSlot<int>(r, 5, std::numeric_limits<int>::min())));
    EXPECT_EQ(&text, (CallSlot<CString*, ::CDataRow, int, CString*>(r, 6, 7, &text)));
    EXPECT_EQ(34, (CallSlot<int, const ::CDataRow>(r, 7)));
    CV7DataRow* v7 = &row;
    EXPECT_EQ(&row.value, (CallSlot<const CValue*>(v7, 0, 2)));
    EXPECT_EQ((std::vector<std::string>{"GetFieldCount", "LookupFieldIndex id", "LookupFieldName -1",
                                        "ReservedRowQuery -2147483648", "FormatField 7", "GetValueAt 2"}),
              row.calls);
}

}  // namespace
