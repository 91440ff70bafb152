#pragma once
// The static provider: runs its query once and keeps the OLE DB layer's direct-access result;
// every row the grid asks for is copied out of that result by row number when asked for.
// Offers lookup by key and a type-ahead prefix search in a grid column.
// Script class "Rowlark.Provider.OleDb.VFP.Static" / "Рядовид.Провайдер.OleDb.VFP.Статический".

#include <cstdint>
#include <optional>
#include <string>

#include "addin/grid/data_provider.h"
#include "addin/provider/data_row.h"
#include "addin/provider/provider_base.h"

namespace OleDb {
namespace GridProvider {

class CVfpProviderStatic : public CV7DataProvider, public CDataProvider, public CProvider {
public:
    CVfpProviderStatic() = default;
    ~CVfpProviderStatic() override;

    // Script members.
    // Texts read back are valid until the property is set again.
    const std::string& GetQueryText() const { return query_text_; }      // "QueryText"
    void SetQueryText(const std::string& text) { query_text_ = text; }
    const std::string& GetKeyField() const { return key_field_; }        // "KeyField", lower-cased
    void SetKeyField(const std::string& name);
    void SetConnection(COLEDBData* connection);                          // "SetConnection"
    void GetData();                                                      // "GetData": loads
    void SetParameter(const std::string& name, const CValue& value);     // "SetParameter"

    // CDataProvider.
    void PrepareRows(const ::CDataRow* from, int count, int reserved) override;
    ::CDataRow* NextRow() override;
    // Loads again as "GetData" does; always TRUE; the row is not touched.
    BOOL RefreshRow(::CDataRow* row) override;
    BOOL IsSameRow(const ::CDataRow* a, const ::CDataRow* b) override;
    BOOL GetRowCount(int& count) override;
    int ReservedQuery2(LONG) override { return 1; }
    // Finds the first row whose cell in the named column begins with the typed text (letter case
    // ignored) and names it to the grid window with code 2.
    void QuickSearch(const SearchRequest& request) override;
    void NotifyGridCode0() override;

    // CV7DataProvider.
    CV7DataRow* GetV7Row(::CDataRow* row) override;
    void GetRowKey(::CDataRow* row, CValue& key) override;
    // A new row for the first result row whose key equals key; null when none (or nothing loaded).
    ::CDataRow* FindRowByKey(const CValue& key) override;

private:
    // The key column as of the last load that found it; false when it is unknown.
    bool KeyColumnKnown() const { return loaded_ && key_column_.has_value(); }
    std::uint32_t CountRowsByPositioning();

    std::string query_text_;            // the statement to run, as the script set it
    OleDb::CCommandProxy command_;      // made from the connection; not valid before SetConnection
    bool loaded_ = false;               // a load has run past execution
    std::uint32_t row_count_ = 0;       // rows of the current result
    std::optional<std::uint32_t> key_column_;  // result column holding the key; none when not found
    std::string key_field_;             // name of the key column, lower-cased when set
    std::int32_t run_position_ = 0;     // next row NextRow hands out
    std::int32_t run_end_ = 0;          // row at which the run stops (0 and +1: empty before PrepareRows)
    std::int32_t run_step_ = 1;         // +1 forward, -1 backward
    ParameterMap parameters_;           // applied before every execution
};

}  // namespace GridProvider
}  // namespace OleDb
