#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/oledb/pg_connection_text.h"

#ifdef ROWLARK_POSTGRES
#include <libpq-fe.h>
#endif

using oledb_backend::IsPostgresConnectionText;

TEST(PgConnectionText, ServerUrisAndLibpqKeywordTextsNameTheServer) {
    for (const char* text : {"postgresql://u@h/db", "  POSTGRES://h", "host=127.0.0.1 port=5432 dbname=x",
                             "dbname = rowlark", "service=main"})
        EXPECT_TRUE(IsPostgresConnectionText(text)) << text;
}

TEST(PgConnectionText, PathsAndDataSourceTextsNameASqliteFile) {
    for (const char* text : {"/tmp/goods.db", "Data Source=/tmp/x.db", "Provider=SQLite;Data Source=x.db",
                             "file:/tmp/x.db?mode=rw", "/tmp/host=1.db", "postgresql.db", "hosts=x", ""})
        EXPECT_FALSE(IsPostgresConnectionText(text)) << text;
}

#ifdef ROWLARK_POSTGRES
TEST(PgConnectionText, KnowsEveryKeywordLibpqTakes) {
    std::size_t count = 0;
    const std::string_view* keywords = oledb_backend::PostgresKeywords(count);
    const std::set<std::string_view> ours(keywords, keywords + count);
    PQconninfoOption* options = PQconndefaults();
    ASSERT_NE(options, nullptr);
    for (const PQconninfoOption* o = options; o->keyword; ++o) EXPECT_EQ(ours.count(o->keyword), 1u) << o->keyword;
    PQconninfoFree(options);
}
#endif

#ifndef ROWLARK_POSTGRES
#include <filesystem>

#include "platform/oledb/oledb.h"
#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"

TEST(PgConnectionText, BuildWithoutTheServerBackendRefusesServerTextsAndMakesNoFile) {
    host_errors::Clear();
    COLEDBData data;
    EXPECT_FALSE(data.Open("host=127.0.0.1 dbname=x"));
    ASSERT_FALSE(host_errors::Raised().empty());
    EXPECT_EQ(cp1251::ToUtf8(host_errors::Raised().back().text),
              "Не удалось открыть базу данных: this build has no PostgreSQL backend (the 32-bit build is made "
              "without libpq)");
    EXPECT_FALSE(std::filesystem::exists("host=127.0.0.1 dbname=x"));
    host_errors::Clear();
}
#endif
