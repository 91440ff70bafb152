#include "tools/session/name_order.h"

#include "database/collation/russian_order.h"
#include "platform/oledb/catalogue.h"
#include "platform/oledb/connection.h"
#include "platform/oledb/pg_connection_text.h"

namespace tools {

namespace {

// Whether the goods' name tag compares in the Russian collation: its order names the collation.
bool RussianNameTag(const std::string& path, bool server) {
    try {
        const auto connection = oledb_backend::Connection::Open(server ? path : oledb_backend::FileUri(path));
        const auto catalogue = connection->OpenCatalogue();
        if (!catalogue->KeepsTags()) return false;
        const auto table = catalogue->Table("goods");
        if (!table) return false;
        const auto tag = catalogue->Tag(*table, "name");
        return tag && tag->order_sql.find(rowlark::collation::kRussianCollation) != std::string::npos;
    } catch (const oledb_backend::CursorError&) {
        return false;
    }
}

}  // namespace

std::string GoodsNameOrder(const std::string& path) {
    const bool server = oledb_backend::IsPostgresConnectionText(path);
    if (!RussianNameTag(path, server)) return "name, id";
    return std::string("name COLLATE ") + (server ? "public." : "") + rowlark::collation::kRussianCollation + ", id";
}

}  // namespace tools
