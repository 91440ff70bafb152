#pragma once
// A sample goods table to feed the grid: realistic Russian names, codes, prices, quantities
// and notes, the same rows for the same seed (and the same dictionary), fast enough for a
// million rows in a few seconds.
//
// Columns: id INTEGER PRIMARY KEY (1..rows), code TEXT ("Т-000123": a letter, a dash and the
// id in at least 6 digits, unique), name TEXT (1-3 Russian words, the first capitalised),
// price REAL (two decimals, 1.00-99999.99), qty INTEGER (0-999), note TEXT (NULL in about a
// third of rows). Index tags "name" (text, in the Russian order unless options say otherwise),
// "code" (text) and "price" (number), keyed by id; their
// indexes are the table's only ones (each costs a sort of every row), as the grid orders through tags.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "database/index_tags.h"
#include "database/russian_words.h"
#include "platform/oledb/bulk_writer.h"

struct sqlite3;

namespace oledb_backend {
class Connection;
}

namespace rowlark::database {

struct GoodsOptions {
    std::string table = "goods";
    std::int64_t rows = 1000;
    std::uint64_t seed = 1;
    std::string dictionary = kDefaultDictionary;
    // Journal and syncing off while building: only for a fresh file that the caller throws
    // away on failure, since a failed build then cannot be rolled back.
    bool journal_off = false;
    // The order of the tag "name": a Russian dictionary's, as a user of the grid reads names.
    TextOrder name_order = TextOrder::Russian;
};

struct GoodsReport {
    bool words_from_dictionary = false;  // false: the built-in word list was used
    std::size_t word_count = 0;
};

// One row of the goods table.
struct GoodsRow {
    std::int64_t id = 0;
    std::string code;
    std::string name;
    double price = 0;
    std::int64_t qty = 0;
    std::optional<std::string> note;  // none: NULL
};

// Hands each(row) the rows 1..options.rows in order: the rows CreateGoodsTable writes for the same
// seed and word list, so that another database can be given the same table.
void ForEachGoodsRow(const GoodsOptions& options, const WordList& words, const std::function<void(const GoodsRow&)>& each);

// Creates and fills the table and its tags in one transaction; on failure nothing of it
// remains (unless journal_off). Throws DatabaseError, e.g. when the table exists already.
// Requires: no transaction open on db.
GoodsReport CreateGoodsTable(sqlite3* db, const GoodsOptions& options);

// The same through the backend seam's bulk writer, on a SQLite connection (else
// oledb_backend::CursorError); failures throw oledb_backend::CursorError with SQLite's message.
// Stops, leaving nothing, when the connection's stop function asks (Connection::StopWhen).
GoodsReport CreateGoodsTable(oledb_backend::Connection& connection, const GoodsOptions& options);

// The goods table as the bulk writer makes it (id the primary key), on either engine.
oledb_backend::TableDefinition GoodsTableDefinition(const GoodsOptions& options);
// Writes the rows 1..options.rows to writer, made from GoodsTableDefinition.
void WriteGoodsRows(oledb_backend::BulkWriter& writer, const GoodsOptions& options, const WordList& words);

}  // namespace rowlark::database
