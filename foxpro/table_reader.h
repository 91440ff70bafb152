#pragma once
// Streams the records of a .dbf table one at a time: the header is read and checked on opening,
// then each Next() reads one record's bytes and the memos it points to, and nothing else.
// The reader owns its sources; a Record it fills stays valid until the next call.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foxpro/byte_source.h"
#include "foxpro/code_page.h"
#include "foxpro/memo_file.h"
#include "foxpro/table_header.h"
#include "foxpro/value.h"

namespace rowlark::foxpro {

struct ReaderOptions {
    // The code page of the texts, over the header's mark (for a mark that is missing or wrong).
    std::optional<int> code_page;
    // The code page of a table without a mark: FoxPro reads such a table in the system's code
    // page, which is 1251 on the Russian Windows the tables come from.
    int unmarked_code_page = 1251;
    // Deleted records are skipped unless this is set; then they come with Record::deleted.
    bool include_deleted = false;
    // A field of a type not known here gives its bytes as stored (ValueKind::Bytes) instead of
    // the table being refused.
    bool keep_unknown_types = false;
};

struct Record {
    std::uint32_t number = 0;   // 1-based, as FoxPro's RECNO()
    bool deleted = false;
    std::vector<Value> values;  // one per column, in Columns() order
};

class TableReader {
public:
    // Opens path and, when the table has memo fields, its memo file beside it (.fpt, .dbt, or .dct
    // for a .dbc; the name's letter case may differ). Throws FoxProError for a bad header, a
    // missing memo file or a code page that cannot be converted.
    static std::unique_ptr<TableReader> Open(const std::string& path, const ReaderOptions& options = {});

    // Over sources already opened; memo may be null only when the table has no memo fields.
    TableReader(std::unique_ptr<ByteSource> dbf, std::unique_ptr<ByteSource> memo, const ReaderOptions& options);

    const TableHeader& Header() const { return header_; }
    // The fields that are columns (system fields such as _NullFlags left out).
    const std::vector<FieldInfo>& Columns() const { return columns_; }
    int CodePage() const { return decoder_->CodePage(); }
    const std::string& Name() const { return dbf_->Name(); }

    // Reads the next record into record; false after the last. Throws FoxProError naming the
    // record and field for a value the field cannot hold or a memo that cannot be read.
    bool Next(Record& record);

private:
    std::unique_ptr<ByteSource> dbf_;
    std::unique_ptr<MemoFile> memo_;   // null without memo fields
    TableHeader header_;
    std::vector<FieldInfo> columns_;
    std::unique_ptr<TextDecoder> decoder_;
    bool include_deleted_;
    std::uint32_t next_ = 0;           // 0-based index of the next record to read
};

// The file beside path whose name is stem + "." + extension, matching the extension's letter
// case loosely as FoxPro's Windows file system does; none when there is none.
std::optional<std::string> FindSibling(const std::string& path, const std::string& extension);

// The code page a reader with these options uses for a table with that mark; 0 for a mark
// that names no code page known here.
int ChooseCodePage(std::uint8_t mark, const ReaderOptions& options);

}  // namespace rowlark::foxpro
