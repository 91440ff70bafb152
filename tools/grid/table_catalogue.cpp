#include "tools/grid/table_catalogue.h"

#include "platform/oledb/connection.h"
#include "platform/oledb/pg_connection_text.h"
#include "tools/i18n/tool_text.h"

namespace grid_tool {

using tool_text::_;
using tool_text::Fill;

std::unique_ptr<oledb_backend::Catalogue> OpenCatalogue(const std::string& path, std::string& error) {
    const bool server = oledb_backend::IsPostgresConnectionText(path);
#ifndef ROWLARK_POSTGRES
    if (server) {
        error = _("this build has no PostgreSQL client: a server connection string cannot be opened");
        return nullptr;
    }
#endif
    try {
        // A file is named exactly, whatever its characters; a server text is the seam's to read.
        const auto connection = oledb_backend::Connection::Open(server ? path : oledb_backend::FileUri(path));
        auto catalogue = connection->OpenCatalogue();
        if (!catalogue->KeepsTags()) {
            error = _("the server has no index tags: install database/postgres/rowlark.sql first");
            return nullptr;
        }
        return catalogue;
    } catch (const oledb_backend::OpenFailure& failure) {
        error = server ? Fill(_("cannot connect: %s"), {failure.reason()})
                       : Fill(_("cannot open %s: %s"), {path, failure.reason()});
    } catch (const oledb_backend::CursorError& failure) {
        error = Fill(_("cannot open %s: %s"), {server ? std::string(_("the server")) : path, failure.what()});
    }
    return nullptr;
}

}  // namespace grid_tool
