#pragma once
// The dynamic provider: serves a large base table without ever reading it whole. For every request
// of the grid it asks the database's procedure QueryRows for the keys of the next rows in the order
// of an index tag, puts them into the script's query at "%СписокИД%", runs it and hands the rows out
// in key order. It keeps only the last window of rows; rows handed out are the grid's and stay valid.
// Script class "Rowlark.Provider.OleDb.VFP.Dynamic" / "Рядовид.Провайдер.OleDb.VFP.Динамический".

#include <string>

#include "addin/grid/data_provider.h"
#include "addin/provider/data_row.h"
#include "addin/provider/dynamic/dynamic_settings.h"
#include "addin/provider/dynamic/row_window.h"
#include "addin/provider/provider_base.h"

namespace OleDb {
namespace GridProvider {

class CVfpProviderDynamic : public CV7DataProvider, public CDataProvider, public CProvider {
public:
    CVfpProviderDynamic();
    ~CVfpProviderDynamic() override;

    // Script members. Every property may be read and written at any time; texts read back are
    // valid until the property is set again.
    const std::string& GetQueryText() const { return settings_.query_text; }  // "QueryText": the row query
    void SetQueryText(const std::string& text) { settings_.query_text = text; }
    const std::string& GetKeyFieldQuery() const { return settings_.query_key_field; }  // "KeyFieldQuery", lower-cased
    void SetKeyFieldQuery(const std::string& name);
    const std::string& GetKeyFieldBaseTable() const { return settings_.base_key_field; }  // "KeyFieldBaseTable"
    void SetKeyFieldBaseTable(const std::string& name) { settings_.base_key_field = name; }
    const std::string& GetBaseTable() const { return settings_.base_table; }  // "BaseTable", as set
    // Translates the meta-name at once; a text that cannot be translated leaves no real table name.
    void SetBaseTable(const std::string& text);
    bool GetDebugMode() const { return settings_.debug; }  // "DebugMode"
    // Also switches the current command; a command made later keeps the layer's default.
    void SetDebugMode(bool on);
    const std::string& GetIndexTag() const { return settings_.index_tag; }  // "IndexTag"
    void SetIndexTag(const std::string& tag) { settings_.index_tag = tag; }
    const std::string& GetFilterFrom() const { return settings_.filter_from; }  // "FilterFrom"
    void SetFilterFrom(const std::string& text) { settings_.filter_from = text; }
    const std::string& GetFilterTo() const { return settings_.filter_to; }  // "FilterTo"
    void SetFilterTo(const std::string& text) { settings_.filter_to = text; }
    void SetConnection(COLEDBData* connection);  // "SetConnection"
    // "GetData": checks the six settings (the first failing one is raised and nothing changes),
    // then starts afresh and loads the first row.
    void GetData();
    // "SetParameter": stores a copy; bound to the command before every row query.
    void SetParameter(const std::string& name, const CValue& value);

    // CDataProvider. Requires for all but RefreshRow: a successful GetData, else they do nothing.
    // Loads the |count| rows after from (count > 0) or before it; the previous window is dropped.
    void PrepareRows(const ::CDataRow* from, int count, int reserved) override;
    // The next row of the window, owned by the caller; null when the window is used up, or
    // (raised) when the row cannot be read: it then stays first in the window.
    ::CDataRow* NextRow() override;
    // Reads the row again from its own position and rebuilds it in place (its address stays);
    // FALSE, with the row untouched, when no row is found there any more or it cannot be read.
    BOOL RefreshRow(::CDataRow* row) override;
    // TRUE when both rows carry the same key text.
    BOOL IsSameRow(const ::CDataRow* a, const ::CDataRow* b) override;
    int ReservedQuery2(LONG) override { return 1; }

    // CV7DataProvider.
    CV7DataRow* GetV7Row(::CDataRow* row) override;

private:
    // One load into the window from start (none, or a row this provider did not make: from an end
    // of the range); the first load that places rows after GetData builds the FieldSet.
    void Load(const ::CDataRow* start, int count, bool inclusive);

    DynamicSettings settings_;       // what the script set; read afresh by every load
    OleDb::CCommandProxy command_;   // made by SetConnection; not valid before
    bool loaded_ = false;            // GetData succeeded: the grid operations work
    CRowWindow window_;              // rows of the last load not yet taken, over the current result
};

}  // namespace GridProvider
}  // namespace OleDb
