#include "tests/pg_providers/pg_providers_fixture.h"

#include <unistd.h>

#include <cstdlib>

#include "database/database_error.h"
#include "database/postgres/server_goods.h"
#include "platform/win/crt.h"
#include "tests/support/server_text.h"

namespace pg_providers {

namespace {

struct ClearResult {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ClearResult>;

std::string ServerMessage(PGconn* conn, const PGresult* result) {
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    return primary ? primary : PQerrorMessage(conn);
}

}  // namespace

PgProvidersTest::LoadedModule::LoadedModule() : handle(win::LoadLibraryA(ROWLARK_MODULE_PATH)) {}
PgProvidersTest::LoadedModule::~LoadedModule() {
    if (handle) win::FreeLibrary(handle);
}

void PgProvidersTest::SetUp() {
    HostTest::SetUp();
#ifndef ROWLARK_POSTGRES
    GTEST_SKIP() << "this build of the OLE DB layer has no PostgreSQL backend";
#endif
    const char* server = std::getenv("ROWLARK_PG");
    if (!server || !*server)
        GTEST_SKIP() << "ROWLARK_PG is not set: no PostgreSQL server to test against "
                        "(scripts/pg_cluster start DIR prints a connection string for it)";
    server_ = server;
    crt::SetLocale(crt::Locale::Russian1251);  // the host runs under the Russian locale
    module_ = std::make_unique<LoadedModule>();
    ASSERT_NE(nullptr, module_->handle) << win::LastLoadError();

    admin_.reset(PQconnectdb(server_.c_str()));
    ASSERT_EQ(CONNECTION_OK, PQstatus(admin_.get())) << PQerrorMessage(admin_.get());
    static int made = 0;
    schema_ = "rowlark_pgprov_" + std::to_string(::getpid()) + "_" + std::to_string(++made);
    Admin("SET client_min_messages = warning");
    ASSERT_EQ(1u, Admin("SELECT 1 FROM pg_proc WHERE proname = 'rowlark_add_index_tag'").size())
        << "the server lacks database/postgres/rowlark.sql (scripts/pg_cluster installs it)";
    Admin("DROP SCHEMA IF EXISTS " + schema_ + " CASCADE");
    Admin("CREATE SCHEMA " + schema_);
    Admin("SET search_path TO " + schema_ + ", public");
    WriteGoods();
    if (HasFatalFailure()) return;

    connection_ = ScriptObject::Create("OLEDBData");
    ASSERT_TRUE(connection_.Valid());
    ASSERT_EQ(1, connection_.Invoke(Cp("Открыть"), {ScriptObject::Text(ConnectionText())}).code);
    ASSERT_TRUE(Errors().empty()) << Errors().front();
}

void PgProvidersTest::TearDown() {
    connection_ = ScriptObject();
    if (admin_ && PQstatus(admin_.get()) == CONNECTION_OK && !schema_.empty()) {
        Result(PQexecParams(admin_.get(), "DELETE FROM public.rowlark_index_tags WHERE table_schema = $1", 1, nullptr,
                            std::vector<const char*>{schema_.c_str()}.data(), nullptr, nullptr, 0));
        Result(PQexec(admin_.get(), ("DROP SCHEMA IF EXISTS " + schema_ + " CASCADE").c_str()));
    }
    admin_.reset();
    HostTest::TearDown();
    module_.reset();  // every object of the module is gone by now
}

std::string PgProvidersTest::ConnectionText() const {
    return test_support::WithServerParameters(
        server_, {{"application_name", schema_}, {"options", "-c search_path=" + schema_ + ",public"}});
}

std::vector<std::vector<std::string>> PgProvidersTest::Admin(const std::string& sql,
                                                             const std::vector<std::string>& params) {
    std::vector<const char*> values;
    for (const auto& param : params) values.push_back(param.c_str());
    const Result result(PQexecParams(admin_.get(), sql.c_str(), static_cast<int>(values.size()), nullptr,
                                     values.data(), nullptr, nullptr, 0));
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    std::vector<std::vector<std::string>> rows;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        ADD_FAILURE() << sql << ": " << ServerMessage(admin_.get(), result.get());
        return rows;
    }
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        std::vector<std::string> fields;
        for (int column = 0; column < PQnfields(result.get()); ++column)
            fields.emplace_back(PQgetvalue(result.get(), row, column));
        rows.push_back(std::move(fields));
    }
    return rows;
}

std::vector<std::string> PgProvidersTest::AdminColumn(const std::string& sql) {
    std::vector<std::string> column;
    for (const auto& row : Admin(sql)) column.push_back(row.at(0));
    return column;
}

int PgProvidersTest::TerminateProviderSession() {
    const auto rows = Admin(
        "SELECT count(*) FROM (SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
        "WHERE application_name = $1 AND pid <> pg_backend_pid()) ended",
        {schema_});
    return rows.empty() ? -1 : std::stoi(rows[0][0]);
}

void PgProvidersTest::WriteGoods() {
    rowlark::database::GoodsOptions options;
    options.rows = kGoods;
    options.seed = 14;
    try {
        rowlark::database::WriteGoodsToServer(ConnectionText(), options);  // tags name, code and price
    } catch (const rowlark::database::DatabaseError& error) {
        FAIL() << "sample goods: " << error.what();
    }
    // Trailing white space the name tag must not see: these rows sort as their trimmed names.
    Admin("UPDATE goods SET name = name || E'  \\t' WHERE id % 97 = 0");
    Admin("ANALYZE goods");
}

ScriptObject PgProvidersTest::StaticProvider(const std::string& query, const std::string& key_field) {
    ScriptObject provider = ScriptObject::Create(Cp("Рядовид.Провайдер.OleDb.VFP.Статический").c_str());
    EXPECT_TRUE(provider.Valid());
    EXPECT_EQ(1, provider.Write(Cp("ТекстЗапроса"), Text(query)).code);
    EXPECT_EQ(1, provider.Write(Cp("КлючевоеПоле"), Text(key_field)).code);
    EXPECT_EQ(1, provider.Invoke(Cp("УстановитьПодключение"), {connection_.value()}).code);
    provider.Invoke(Cp("ПолучитьДанные"));
    return provider;
}

ScriptObject PgProvidersTest::DynamicProvider(const std::string& tag, bool load) {
    ScriptObject provider = ScriptObject::Create(Cp("Рядовид.Провайдер.OleDb.VFP.Динамический").c_str());
    EXPECT_TRUE(provider.Valid());
    EXPECT_EQ(1, provider.Write(Cp("ТекстЗапроса"),
                                Text("SELECT id, code, name, price FROM goods WHERE id IN (%СписокИД%)"))
                     .code);
    EXPECT_EQ(1, provider.Write(Cp("КлючевоеПолеЗапроса"), Text("id")).code);
    EXPECT_EQ(1, provider.Write(Cp("КлючевоеПолеОпорнойТаблицы"), Text("id")).code);
    EXPECT_EQ(1, provider.Write(Cp("ОпорнаяТаблица"), Text("goods")).code);
    EXPECT_EQ(1, provider.Write(Cp("ТегИндекса"), Text(tag)).code);
    EXPECT_EQ(1, provider.Invoke(Cp("УстановитьПодключение"), {connection_.value()}).code);
    if (load) provider.Invoke(Cp("ПолучитьДанные"));
    return provider;
}

}  // namespace pg_providers
