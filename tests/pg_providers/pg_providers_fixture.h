#pragma once
// The providers over a PostgreSQL server, as a host script makes them: the module file loaded, an
// "OLEDBData" connection opened with the server's connection string, providers made by their Russian
// names. Each test gets a schema of its own holding "goods" (the sample rows, tags name, code and
// price added through the schema's rowlark_add_index_tag); the provider's connection sees that schema
// first in its search_path and is named by application_name, so another session can find its backend.
// A second libpq session (Admin*) plays the other desk and computes the expected orders without tags.

#include <libpq-fe.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/runtime/module.h"
#include "platform/runtime/script_object.h"
#include "platform/win/module_loader.h"
#include "tests/support/host_fixture.h"

namespace pg_providers {

using test_support::Cp;
using test_support::Utf;

constexpr int kGoods = 3000;

inline CValue Text(const std::string& utf8) { return ScriptObject::Text(Cp(utf8)); }
inline CValue Number(long n) { return ScriptObject::Number(n); }

// The order of the name tag, as its index holds it: right-trimmed, the Russian order, then the key.
constexpr const char* kNameOrder = "rtrim(name, E' \\t\\n\\x0B\\f\\r') COLLATE public.rowlark_ru, id";

class PgProvidersTest : public test_support::HostTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The provider connection's text: the server, this test's schema first, this test's name.
    std::string ConnectionText() const;
    const std::string& application_name() const { return schema_; }

    // The other session: runs SQL (parameters as text) and fails the test when it fails.
    std::vector<std::vector<std::string>> Admin(const std::string& sql, const std::vector<std::string>& params = {});
    // Column 0 of every row of a query of the other session.
    std::vector<std::string> AdminColumn(const std::string& sql);
    // Ends the provider connection's server session, as an administrator or a crash would; how many ended.
    int TerminateProviderSession();

    // A loaded static provider over the connection; errors stay raised for the test to read.
    ScriptObject StaticProvider(const std::string& query, const std::string& key_field = "id");
    // A dynamic provider over goods by the tag, keyed by id; loaded unless load is false.
    ScriptObject DynamicProvider(const std::string& tag = "name", bool load = true);

    static std::vector<std::string> Errors() { return test_support::RaisedErrors(); }

    // The module file, loaded as the host loads it: made before any object, gone after them all.
    struct LoadedModule {
        LoadedModule();
        ~LoadedModule();
        HINSTANCE handle;
    };
    std::unique_ptr<LoadedModule> module_;
    std::string server_;
    std::string schema_;
    struct FinishConnection {
        void operator()(PGconn* conn) const { PQfinish(conn); }
    };
    std::unique_ptr<PGconn, FinishConnection> admin_;
    ScriptObject connection_;

private:
    void WriteGoods();
};

}  // namespace pg_providers
