// Values that each engine would keep its own way, imported the same on both: a NUL ends a text (a
// C field's, as programs written in C read it, and a memo's, with a warning), a NaN double is NULL;
// a value the database refuses is named by file, record and field.

#include "database/database_error.h"
#include "tests/import/import_fixture.h"
#include "tests/import/table_patch.h"

namespace import_test {
namespace {

class FaithfulImport : public ImportTest {
protected:
    // The refusal's text of importing dbf; empty when it was taken.
    std::string Refusal(const std::string& dbf) {
        try {
            ImportFiles({dbf});
        } catch (const rowlark::database::DatabaseError& error) {
            return error.what();
        }
        return {};
    }
    std::string Count(const std::string& sql) { return db_.Column(sql).at(0); }

    PatchedTables tables_;
};

TEST_F(FaithfulImport, NulEndsTheTextOfACharacterField) {
    const std::string dbf = tables_.Copy({"cp1251.dbf"});
    PatchedTables::WriteField(dbf, 2, "NAME", std::string(1, '\0'));  // what follows is an older value's
    PatchedTables::WriteField(dbf, 3, "NAME", std::string("Ab\0", 3));
    ImportFiles({dbf});
    EXPECT_EQ(Count("SELECT count(*) FROM cp1251 WHERE recno = 2 AND name = ''"), "1");
    EXPECT_EQ(Count("SELECT count(*) FROM cp1251 WHERE recno = 3 AND name = 'Ab'"), "1");
    EXPECT_EQ(Count("SELECT count(*) FROM cp1251 WHERE name LIKE '%ольничное%'"), "0");
}

TEST_F(FaithfulImport, NulEndsAMemoTextAndIsReportedOnce) {
    const std::string dbf = tables_.Copy({"vfp_database/calls.dbf", "vfp_database/calls.FPT"});
    const std::uint64_t text = PatchedTables::MemoText(dbf, 1, "NOTES");
    PatchedTables::Write(*rowlark::foxpro::FindSibling(dbf, "fpt"), text + 3, std::string(1, '\0'));
    const auto report = ImportFiles({dbf});
    ASSERT_EQ(report.tables.size(), 1u);
    EXPECT_EQ(report.tables[0].warnings,
              (std::vector<std::string>{"memo field NOTES: 1 record held a NUL byte; its text is kept up to it"}));
    const auto notes = db_.Column("SELECT notes FROM calls WHERE call_id = 1");
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].size(), 3u) << notes[0];
}

TEST_F(FaithfulImport, NotANumberInADoubleIsNull) {
    const std::string dbf = tables_.Copy({"dbase_30.dbf", "dbase_30.fpt"});
    PatchedTables::WriteField(dbf, 1, "ACQVALUE", std::string("\0\0\0\0\0\0\xF8\x7F", 8));  // a quiet NaN
    ImportFiles({dbf});
    EXPECT_EQ(Count("SELECT count(*) FROM dbase_30 WHERE recno = 1 AND acqvalue IS NULL"), "1");
}

TEST_F(FaithfulImport, RepeatedKeyIsRefusedNamingTheFileAndField) {
    const std::string dbf = tables_.Copy({"vfp_database/contacts.dbf", "vfp_database/contacts.FPT",
                                          "vfp_database/contacts.CDX", "vfp_database/FOXPRO-DB-TEST.DBC",
                                          "vfp_database/FOXPRO-DB-TEST.DCT", "vfp_database/FOXPRO-DB-TEST.DCX"});
    PatchedTables::WriteField(dbf, 3, "CONTACT_ID", std::string("\x02\0\0\0", 4));  // record 2's key
    const std::string refusal = Refusal(dbf);
    EXPECT_EQ(refusal.rfind(dbf + ": ", 0), 0u) << refusal;
    EXPECT_NE(refusal.find("field CONTACT_ID: "), std::string::npos) << refusal;
    // SQLite refuses the row itself; the server the key it builds over all rows, naming the value.
    if (db_.on_server()) EXPECT_NE(refusal.find("(contact_id)=(2)"), std::string::npos) << refusal;
    else EXPECT_NE(refusal.find("record 3, "), std::string::npos) << refusal;
}

TEST_F(FaithfulImport, NumberTooLargeForTheServerNamesTheRecordAndField) {
    if (!db_.on_server()) GTEST_SKIP() << "SQLite keeps a number of any size";
    const std::string dbf = tables_.Copy({"cp1251.dbf"});
    PatchedTables::WriteField(dbf, 3, "RN", "1e10");
    const std::string refusal = Refusal(dbf);
    EXPECT_EQ(refusal.rfind(dbf + ": record 3, field RN: ", 0), 0u) << refusal;
}

}  // namespace
}  // namespace import_test
