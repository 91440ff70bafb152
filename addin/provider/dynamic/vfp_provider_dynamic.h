#pragma once
// The dynamic provider: serves a large base table without ever reading it whole. For every request
// of the grid it asks the database's procedure QueryRows for the keys of the next rows in the order
// of an index tag, puts them into the script's query at "%СписокИД%", runs it and hands the rows out
// in key order. It keeps only the last window of rows; rows handed out are the grid's and stay valid.
// Script class "Rowlark.Provider.OleDb.VFP.Dynamic" / "Рядовид.Провайдер.OleDb.VFP.Динамический".

#include <cstdint>
#include <deque>
#include <sstream>
#include <string>

#include "addin/grid/data_provider.h"
#include "addin/provider/data_row.h"
#include "addin/provider/dynamic/key_entry.h"
#include "addin/provider/provider_base.h"

namespace OleDb {
namespace GridProvider {

class CVfpProviderDynamic : public CV7DataProvider, public CDataProvider, public CProvider {
public:
    CVfpProviderDynamic();
    ~CVfpProviderDynamic() override;

    // Script members. Every property may be read and written at any time.
    std::string GetQueryText() { return query_text_; }                    // "QueryText": the row query
    void SetQueryText(const std::string& text) { query_text_ = text; }
    std::string GetKeyFieldQuery() { return query_key_field_; }           // "KeyFieldQuery", lower-cased
    void SetKeyFieldQuery(const std::string& name);
    const std::string& GetKeyFieldBaseTable() { return base_key_field_; }  // "KeyFieldBaseTable"
    void SetKeyFieldBaseTable(const std::string& name) { base_key_field_ = name; }
    std::string GetBaseTable() { return base_table_; }                    // "BaseTable", as set
    // Translates the meta-name at once; a text that cannot be translated leaves no real table name.
    void SetBaseTable(const std::string& text);
    bool GetDebugMode() { return debug_; }                                // "DebugMode"
    // Also switches the current command; a command made later keeps the layer's default.
    void SetDebugMode(bool on);
    std::string GetIndexTag() { return index_tag_; }                      // "IndexTag"
    void SetIndexTag(const std::string& tag) { index_tag_ = tag; }
    const std::string& GetFilterFrom() { return filter_from_; }           // "FilterFrom"
    void SetFilterFrom(const std::string& text) { filter_from_ = text; }
    const std::string& GetFilterTo() { return filter_to_; }               // "FilterTo"
    void SetFilterTo(const std::string& text) { filter_to_ = text; }
    void SetConnection(COLEDBData* connection);                           // "SetConnection"
    // "GetData": checks the six settings (the first failing one is raised and nothing changes),
    // then starts afresh and loads the first row.
    void GetData();
    // "SetParameter": stores a copy; bound to the command before every row query.
    void SetParameter(const std::string& name, const CValue& value);

    // CDataProvider. Requires for all but RefreshRow: a successful GetData, else they do nothing.
    // Loads the |count| rows after from (count > 0) or before it; the previous window is dropped.
    void PrepareRows(const ::CDataRow* from, int count, int reserved) override;
    // The next row of the window, owned by the caller; null when the window is used up.
    ::CDataRow* NextRow() override;
    // Reads the row again from its own position and rebuilds it in place (its address stays);
    // FALSE, with the row untouched, when no row is found there any more or it cannot be read.
    BOOL RefreshRow(::CDataRow* row) override;
    // TRUE when both rows carry the same key text.
    BOOL IsSameRow(const ::CDataRow* a, const ::CDataRow* b) override;
    int ReservedQuery2(long) override { return 1; }

    // CV7DataProvider.
    CV7DataRow* GetV7Row(::CDataRow* row) override;

private:
    // Replaces the window and the current result by the rows QueryRows names from start (none, or a
    // row this provider did not make: from an end of the range). Errors are raised; the window then
    // stays empty, and a key the row query does not return is left out.
    void LoadWindow(const ::CDataRow* start, int count, bool inclusive);
    // Runs the row query for the keys gathered and lines its rows up with them.
    void LoadRows(const std::string& key_list, const KeyMap& keys);
    // Finds the key column once per GetData; false (and raised) when the result has none.
    bool FindKeyColumn();
    // The rows of the current result: as reported, or counted by positioning when not reported.
    std::int32_t CountRows(long reported);

    std::string query_text_;               // the row query, with "%СписокИД%" where the keys go
    std::string base_table_;               // "BaseTable" exactly as the script set it
    std::string real_table_;               // its translation; empty when none or when it failed
    std::string index_tag_;                // the index tag ordering the rows
    std::string filter_from_;              // lower bound of the range shown; may be empty
    std::string filter_to_;                // upper bound of the range shown; may be empty
    OleDb::CCommandProxy command_;         // made by SetConnection; not valid before
    bool loaded_ = false;                  // GetData succeeded: the grid operations work
    bool debug_ = false;                   // debug messages on
    bool key_column_found_ = false;        // key_column_ belongs to the row query since GetData
    std::int32_t row_count_ = 0;           // rows of the current result; 0 when there is none
    std::uint32_t key_column_ = 0;         // the key column of the row query result
    std::string query_key_field_;          // "KeyFieldQuery", folded to lower case
    std::string base_key_field_;           // "KeyFieldBaseTable", as set
    ParameterMap parameters_;              // "SetParameter" values by name
    std::stringstream call_text_;          // reused for every QueryRows call text
    std::deque<KeyEntry> window_;          // rows of the last load not yet taken, in QueryRows order
    bool forward_ = false;                 // direction of the last load: rows after the start
};

}  // namespace GridProvider
}  // namespace OleDb
