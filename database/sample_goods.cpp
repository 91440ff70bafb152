#include "database/sample_goods.h"

#include <sqlite3.h>

#include <cstdio>

#include "database/database_error.h"
#include "database/index_tags.h"
#include "database/statement.h"
#include "platform/oledb/connection.h"
#include "platform/oledb/sqlite_connection.h"

namespace rowlark::database {

namespace {

// splitmix64: a fixed, portable stream for a seed (std:: distributions differ between libraries).
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 .. bound-1; the bias of a modulo over 64 bits is far below anything visible here.
    std::uint64_t Below(std::uint64_t bound) { return Next() % bound; }

private:
    std::uint64_t state_;
};

const char* const kCodeLetters[] = {"Т", "М", "К", "П", "С"};
const char* const kNotes[] = {"Под заказ", "Хрупкое", "Новинка", "Распродажа", "Снято с производства",
                              "Хранить в сухом месте", "Поставка по средам", "Уценка"};

template <typename T, std::size_t N>
constexpr std::size_t Count(const T (&)[N]) { return N; }

// Restores the connection's pragmas and rolls back an unfinished build.
class BuildGuard {
public:
    BuildGuard(sqlite3* db, bool journal_off) : db_(db), journal_off_(journal_off) {
        if (!sqlite3_get_autocommit(db)) throw DatabaseError("sample goods: a transaction is already open");
        Statement cache(db_, "PRAGMA cache_size");
        if (cache.Step()) cache_size_ = cache.ColumnInt(0);
        Execute(db_, "PRAGMA cache_size = -131072; PRAGMA temp_store = MEMORY");
        if (journal_off_) Execute(db_, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF");
        Execute(db_, "BEGIN");
    }
    ~BuildGuard() {
        if (!committed_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        const std::string restore = "PRAGMA cache_size = " + std::to_string(cache_size_) + "; PRAGMA temp_store = DEFAULT";
        sqlite3_exec(db_, restore.c_str(), nullptr, nullptr, nullptr);
        if (journal_off_)
            sqlite3_exec(db_, "PRAGMA journal_mode = DELETE; PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    }
    void Commit() {
        Execute(db_, "COMMIT");
        committed_ = true;
    }
    BuildGuard(const BuildGuard&) = delete;
    BuildGuard& operator=(const BuildGuard&) = delete;

private:
    sqlite3* db_;
    bool journal_off_;
    bool committed_ = false;
    std::int64_t cache_size_ = -2000;  // the connection's own, put back after the build
};

std::string Code(Random& random, std::int64_t id) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%06lld", static_cast<long long>(id));
    return std::string(kCodeLetters[random.Below(Count(kCodeLetters))]) + "-" + digits;
}

std::string Name(Random& random, const WordList& words) {
    const std::uint64_t count = 1 + random.Below(3);
    std::string name = CapitaliseFirst(words.words[random.Below(words.words.size())]);
    for (std::uint64_t i = 1; i < count; ++i) name += " " + words.words[random.Below(words.words.size())];
    return name;
}

void FillRows(sqlite3* db, const std::string& table, const GoodsOptions& options, const WordList& words) {
    Statement insert(db, "INSERT INTO " + QuoteIdentifier(table) +
                             " (id, code, name, price, qty, note) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    ForEachGoodsRow(options, words, [&](const GoodsRow& row) {
        insert.BindInt(1, row.id);
        insert.BindText(2, row.code);
        insert.BindText(3, row.name);
        insert.BindReal(4, row.price);
        insert.BindInt(5, row.qty);
        if (!row.note) insert.BindNull(6);
        else insert.BindText(6, *row.note);
        insert.Step();
        insert.Reset();
    });
}

}  // namespace

void ForEachGoodsRow(const GoodsOptions& options, const WordList& words, const std::function<void(const GoodsRow&)>& each) {
    Random random(options.seed);
    GoodsRow row;
    for (std::int64_t id = 1; id <= options.rows; ++id) {
        // The draws in this order, once each: the stream of a seed must not change.
        row.id = id;
        row.code = Code(random, id);
        row.name = Name(random, words);
        row.price = static_cast<double>(100 + random.Below(9'999'900)) / 100.0;
        row.qty = static_cast<std::int64_t>(random.Below(1000));
        if (random.Below(3) == 0) row.note.reset();
        else row.note = kNotes[random.Below(Count(kNotes))];
        each(row);
    }
}

GoodsReport CreateGoodsTable(sqlite3* db, const GoodsOptions& options) {
    if (options.rows < 0) throw DatabaseError("sample goods: the row count must be 0 or more");
    if (options.table.empty()) throw DatabaseError("sample goods: the table name is empty");
    const WordList words = LoadRussianWords(options.dictionary);
    const std::string table = QuoteIdentifier(options.table);

    BuildGuard build(db, options.journal_off);
    Execute(db, "CREATE TABLE " + table +
                    " (id INTEGER PRIMARY KEY, code TEXT NOT NULL, name TEXT NOT NULL,"
                    " price REAL NOT NULL, qty INTEGER NOT NULL, note TEXT)");
    FillRows(db, options.table, options, words);
    // The tags' indexes are built after the rows: from a full table SQLite sorts once instead of
    // rebalancing on every insert. They are the table's only indexes: the grid orders through tags.
    AddIndexTag(db, options.table, "name", "name", "id", TagKind::Text, options.name_order);
    AddIndexTag(db, options.table, "code", "code", "id", TagKind::Text);
    AddIndexTag(db, options.table, "price", "price", "id", TagKind::Number);
    build.Commit();
    return {words.from_dictionary, words.words.size()};
}

oledb_backend::TableDefinition GoodsTableDefinition(const GoodsOptions& options) {
    using oledb_backend::FieldType;
    oledb_backend::TableDefinition table;
    table.name = options.table;
    table.fields = {{"id", FieldType::kInteger, 8, 0, false},  {"code", FieldType::kText, 0, 0, false},
                    {"name", FieldType::kText, 0, 0, false},   {"price", FieldType::kReal, 0, 0, false},
                    {"qty", FieldType::kInteger, 4, 0, false}, {"note", FieldType::kText, 0, 0, true}};
    table.primary_key = {"id"};
    table.scratch = options.journal_off;
    return table;
}

void WriteGoodsRows(oledb_backend::BulkWriter& writer, const GoodsOptions& options, const WordList& words) {
    using oledb_backend::FieldValue;
    std::vector<FieldValue> values(6);
    ForEachGoodsRow(options, words, [&](const GoodsRow& row) {
        values[0] = FieldValue::Int(row.id);
        values[1] = FieldValue::Of(FieldValue::Kind::Text, row.code);
        values[2] = FieldValue::Of(FieldValue::Kind::Text, row.name);
        values[3] = FieldValue::Real(row.price);
        values[4] = FieldValue::Int(row.qty);
        values[5] = row.note ? FieldValue::Of(FieldValue::Kind::Text, *row.note) : FieldValue::Null();
        writer.Add(values);
    });
}

GoodsReport CreateGoodsTable(oledb_backend::Connection& connection, const GoodsOptions& options) {
    if (options.rows < 0) throw DatabaseError("sample goods: the row count must be 0 or more");
    if (options.table.empty()) throw DatabaseError("sample goods: the table name is empty");
    oledb_backend::SqliteHandle(connection);  // another engine is refused before anything is written
    const WordList words = LoadRussianWords(options.dictionary);
    const auto writer = connection.StartBulkWrite(GoodsTableDefinition(options));
    WriteGoodsRows(*writer, options, words);
    writer->EndRows();
    // After the rows: from a full table SQLite sorts once instead of rebalancing on every insert.
    AddIndexTag(connection, options.table, "name", "name", "id", TagKind::Text, options.name_order);
    AddIndexTag(connection, options.table, "code", "code", "id", TagKind::Text);
    AddIndexTag(connection, options.table, "price", "price", "id", TagKind::Number);
    writer->Commit();
    return {words.from_dictionary, words.words.size()};
}

}  // namespace rowlark::database
