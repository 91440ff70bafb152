// A whole scroll of the dynamic provider over generated tables. Names mix Russian and Latin text,
// blanks at the end, empty and NULL names, and characters code page 1251 cannot hold (which reach
// the host as '?'); an optional filter range narrows the rows. Paging forward page by page from the
// first row, and backward from the last, serves every row of the range exactly once, in tag order
// (backward: reversed), and raises nothing.

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "addin/provider/dynamic/vfp_provider_dynamic.h"
#include "database/index_tags.h"
#include "database/query_rows.h"
#include "database/statement.h"
#include "fuzz/support/check.h"
#include "fuzz/support/fuzz_input.h"
#include "fuzz/support/host.h"
#include "fuzz/support/model_text.h"
#include "platform/oledb/procedures.h"
#include "platform/text/cp1251.h"

namespace {

using OleDb::GridProvider::CDynamicDataRow;
using OleDb::GridProvider::CVfpProviderDynamic;
using rowlark_fuzz::Escaped;
using rowlark_fuzz::FuzzInput;
using rowlark_fuzz::SqlText;
using rowlark_fuzz::TrimTrailing;
using RowPtr = std::unique_ptr<::CDataRow>;
namespace db = rowlark::database;

// Name pieces (UTF-8): Russian, Latin, blanks, and characters outside code page 1251.
const char* const kPieces[] = {"а", "Ар", "б", "я", "ё", "Ё", "a", "A", " ", "'", "中", "😀", "ÿ", "Ā", "€"};
constexpr std::uint32_t kPieceCount = sizeof kPieces / sizeof *kPieces;
constexpr std::uint32_t kHostPieces = 10;  // the first ones, which code page 1251 holds: for the filter

std::string Piecewise(FuzzInput& in, std::uint32_t most, std::uint32_t pieces) {
    std::string text;
    for (std::uint32_t n = in.Below(most); n > 0; --n) text += kPieces[in.Below(pieces - 1)];
    return text;
}


struct ModelRow {
    std::int64_t id;
    std::string value;  // trimmed name, UTF-8
};

std::string DatabasePath() {
    return (std::filesystem::temp_directory_path() / ("rowlark_fuzz_scroll_" + std::to_string(getpid()) + ".db"))
        .string();
}

std::string Keys(const std::vector<std::string>& keys) {
    std::string text;
    for (const auto& key : keys) text += " " + key;
    return text;
}

std::string Rows(const std::vector<ModelRow>& rows) {
    std::string text;
    for (const ModelRow& row : rows) text += " " + std::to_string(row.id) + ":'" + Escaped(row.value) + "'";
    return text;
}

// Takes every row a prepared run serves; the last one stays in last (when any was served).
std::vector<std::string> Take(CVfpProviderDynamic& provider, RowPtr& last, std::size_t most) {
    std::vector<std::string> keys;
    while (keys.size() <= most) {
        RowPtr row(provider.NextRow());
        if (!row) break;
        keys.push_back(dynamic_cast<const CDynamicDataRow&>(*row).GetKeyText());
        last = std::move(row);
    }
    return keys;
}

// Pages through the whole range in one direction; the keys in the order served.
std::vector<std::string> Scroll(CVfpProviderDynamic& provider, int page, std::size_t rows) {
    std::vector<std::string> served;
    RowPtr last;
    for (std::size_t pages = 0; pages <= rows + 1; ++pages) {
        const RowPtr from = std::move(last);
        provider.PrepareRows(from.get(), page, 0);
        const std::vector<std::string> keys = Take(provider, last, static_cast<std::size_t>(page < 0 ? -page : page));
        if (keys.empty()) break;
        served.insert(served.end(), keys.begin(), keys.end());
        if (!last) break;
    }
    return served;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool registered = [] {
        db::RegisterDatabaseProcedures(oledb_backend::RegisterProcedure);
        return true;
    }();
    (void)registered;
    FuzzInput in(data, size);
    rowlark_fuzz::ResetHost();

    const std::string path = DatabasePath();
    std::filesystem::remove(path);
    std::vector<ModelRow> rows;
    {
        sqlite3* raw = nullptr;
        FUZZ_CHECK(sqlite3_open(path.c_str(), &raw) == SQLITE_OK, "cannot make " + path);
        db::Execute(raw, "CREATE TABLE items (id INTEGER PRIMARY KEY, name TEXT)");
        for (std::uint32_t n = in.Below(16); n > 0; --n) {
            const std::int64_t id = static_cast<std::int64_t>(in.Below(60)) - 5;
            if (std::any_of(rows.begin(), rows.end(), [&](const ModelRow& row) { return row.id == id; })) continue;
            const bool null_name = in.Below(9) == 0;
            const std::string name = null_name ? std::string() : Piecewise(in, 4, kPieceCount);
            db::Execute(raw, "INSERT INTO items VALUES (" + std::to_string(id) + ", " +
                                 (null_name ? "NULL" : SqlText(name)) + ")");
            rows.push_back({id, TrimTrailing(name)});
        }
        db::AddIndexTag(raw, "items", "name", "name", "id", db::TagKind::Text);
        sqlite3_close(raw);
    }
    const std::string from = in.Flag() ? Piecewise(in, 2, kHostPieces) : std::string();
    const std::string to = in.Flag() ? Piecewise(in, 2, kHostPieces) : std::string();
    const int page = 1 + static_cast<int>(in.Below(5));

    std::sort(rows.begin(), rows.end(),
              [](const ModelRow& a, const ModelRow& b) { return std::tie(a.value, a.id) < std::tie(b.value, b.id); });
    std::vector<std::string> expected;
    for (const ModelRow& row : rows) {
        // Index values carry no trailing white space, and the lower bound is read without it too.
        const bool above_from = row.value >= from.substr(0, from.find_last_not_of(" \t\n\v\f\r") + 1);
        const bool below_to = to.empty() || row.value <= to || row.value.compare(0, to.size(), to) == 0;
        if (above_from && below_to) expected.push_back(std::to_string(row.id));
    }

    {
        rowlark_fuzz::Connection connection(path);
        CVfpProviderDynamic provider;
        static constexpr cp1251::Literal kQuery{"SELECT id, name FROM items WHERE id IN (%СписокИД%)"};
        provider.SetQueryText(kQuery.str());
        provider.SetKeyFieldQuery("id");
        provider.SetKeyFieldBaseTable("id");
        provider.SetBaseTable("items");
        provider.SetIndexTag("name");
        provider.SetFilterFrom(cp1251::FromUtf8(from));
        provider.SetFilterTo(cp1251::FromUtf8(to));
        provider.SetConnection(connection.get());
        provider.GetData();

        const std::string setting = "page " + std::to_string(page) + ", range '" + Escaped(from) + "'..'" +
                                    Escaped(to) + "'\n  rows" + Rows(rows) + "\n  expected" + Keys(expected);
        const std::vector<std::string> forward = Scroll(provider, page, rows.size());
        FUZZ_CHECK(forward == expected, "forward " + setting + "\n  served  " + Keys(forward));
        std::vector<std::string> backward = Scroll(provider, -page, rows.size());
        std::reverse(backward.begin(), backward.end());
        FUZZ_CHECK(backward == expected, "backward " + setting + "\n  served (reversed)" + Keys(backward));
        const auto errors = rowlark_fuzz::RaisedErrors();
        FUZZ_CHECK(errors.empty(), "raised: " + Escaped(errors.empty() ? "" : errors.front()));
    }
    std::filesystem::remove(path);
    return 0;
}
