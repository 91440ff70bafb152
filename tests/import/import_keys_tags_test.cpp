// The key each imported table gets and the index tags its .cdx (or the command line) gives it, with
// the tags left out and why.

#include "tests/import/import_fixture.h"

namespace import_test {
namespace {

std::vector<std::string> TagNames(test_support::BackendDatabase& db, const std::string& table) {
    const std::string sql = db.on_server()
        ? "SELECT tag FROM public.rowlark_index_tag_list() WHERE table_name = '" + table + "' ORDER BY tag"
        : "SELECT tag FROM rowlark_index_tags WHERE table_name = '" + table + "' ORDER BY tag";
    return db.Column(sql);
}

TEST_F(ImportTest, ContainerGivesLongNamesPrimaryKeysAndTagsOverLongNames) {
    const auto report = Import({"vfp_database/FOXPRO-DB-TEST.DBC"});
    ASSERT_EQ(report.tables.size(), 2u);
    // The container lists two tables whose files are not among the shared data.
    ASSERT_EQ(report.missing.size(), 2u);
    EXPECT_EQ(report.missing[0].rfind("types (", 0), 0u) << report.missing[0];
    const auto& contacts = report.tables[0];
    EXPECT_EQ(contacts.name, "contacts");
    EXPECT_EQ(contacts.key, "contact_id");
    EXPECT_FALSE(contacts.recno);
    // type_id's key expression names the long name contact_type_id, which the header cuts to CONTACT_TY.
    EXPECT_EQ(contacts.tags, (std::vector<std::string>{"contact_id", "type_id"}));
    EXPECT_TRUE(contacts.skipped.empty());
    EXPECT_EQ(TagNames(db_, "contacts"), (std::vector<std::string>{"contact_id", "type_id"}));
    EXPECT_EQ(db_.Column("SELECT contact_type_id FROM contacts WHERE contact_id = 3"), (std::vector<std::string>{"2"}));
    EXPECT_EQ(db_.KeysInTagOrder("contacts", "type_id"), (std::vector<std::string>{"2", "4", "5", "1", "3"}));
    const auto& calls = report.tables[1];
    EXPECT_EQ(calls.key, "call_id");
    EXPECT_EQ(TagNames(db_, "calls"), (std::vector<std::string>{"call_id", "contact_id"}));
    // The tag walks the rows in its key's order, keyed by the primary key.
    const auto keys = db_.KeysInTagOrder("calls", "contact_id");
    const auto expected = db_.Column("SELECT call_id FROM calls ORDER BY contact_id, call_id");
    EXPECT_EQ(keys, expected);
}

TEST_F(ImportTest, TableOfAContainerOpenedAloneFindsItsContainerBesideIt) {
    // The header's backlink says foxpro-db-test.dbc; the file is FOXPRO-DB-TEST.DBC.
    const auto report = Import({"vfp_database/contacts.dbf"});
    ASSERT_EQ(report.tables.size(), 1u);
    EXPECT_EQ(report.tables[0].key, "contact_id");
    EXPECT_EQ(db_.Column("SELECT count(contact_type_id) FROM contacts"), (std::vector<std::string>{"5"}));
}

TEST_F(ImportTest, TableWithoutKeyGetsItsRecordNumberAsKey) {
    const auto report = Import({"dbase_03.dbf"});
    ASSERT_EQ(report.tables.size(), 1u);
    EXPECT_TRUE(report.tables[0].recno);
    EXPECT_EQ(report.tables[0].key, "recno");
    // Records 11 and 14 are deleted: the numbers are FoxPro's RECNO(), gaps kept.
    EXPECT_EQ(db_.Column("SELECT recno FROM dbase_03 ORDER BY recno"),
              (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "12", "13"}));
}

TEST_F(ImportTest, CommandLineTagsAreTranslatedAndUntranslatableOnesRefusedBeforeWriting) {
    const auto report = Import({"cp1251.dbf"}, {{"", "by_name", "UPPER(name)"}, {"", "by_rn", "rn"}});
    ASSERT_EQ(report.tables.size(), 1u);
    EXPECT_EQ(report.tables[0].tags, (std::vector<std::string>{"by_name", "by_rn"}));
    EXPECT_EQ(db_.KeysInTagOrder("cp1251", "by_rn"), (std::vector<std::string>{"1", "2", "3", "4"}));

    const auto tables_before = db_.Column(db_.on_server()
        ? "SELECT count(*) FROM pg_tables WHERE schemaname = current_schema()"
        : "SELECT count(*) FROM sqlite_master");
    import_tool::ImportRequest request;
    request.inputs = {kData + "/dbase_31.dbf"};
    request.target = db_.connection_text();
    request.tags = {{"", "bad", "SOUNDEX(productnam)"}};
    import_tool::ProgressSink quiet;
    try {
        import_tool::RunImport(request, quiet);
        ADD_FAILURE() << "an untranslatable tag was taken";
    } catch (const import_tool::UsageError& error) {
        EXPECT_NE(std::string(error.what()).find("SOUNDEX"), std::string::npos) << error.what();
    }
    EXPECT_EQ(db_.Column(db_.on_server() ? "SELECT count(*) FROM pg_tables WHERE schemaname = current_schema()"
                                         : "SELECT count(*) FROM sqlite_master"),
              tables_before);
}

TEST_F(ImportTest, TagsTheServerCannotRunAsSqliteDoesAreListedAsLeftOut) {
    const auto report = Import({"cp1251.dbf"}, {{"", "padded", "PADL(name, 12)"}, {"", "plain", "name"}});
    ASSERT_EQ(report.tables.size(), 1u);
    if (db_.on_server()) {
        EXPECT_EQ(report.tables[0].tags, (std::vector<std::string>{"plain"}));
        ASSERT_EQ(report.tables[0].skipped.size(), 1u);
        EXPECT_EQ(report.tables[0].skipped[0].tag, "padded");
        EXPECT_NE(report.tables[0].skipped[0].reason.find("PADL"), std::string::npos);
    } else {
        EXPECT_EQ(report.tables[0].tags, (std::vector<std::string>{"padded", "plain"}));
        EXPECT_TRUE(report.tables[0].skipped.empty());
    }
}

}  // namespace
}  // namespace import_test
