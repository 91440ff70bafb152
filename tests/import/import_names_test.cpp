// Names in a table's code page reach the database as UTF-8, in small letters: field names, .cdx tag
// names, the names and text literals of key expressions. The tags then run on both databases and
// QueryRows finds them by those names, as a provider asks for them.

#include <algorithm>

#include "database/query_rows.h"
#include "foxpro/cdx_reader.h"
#include "platform/oledb/call_text.h"
#include "platform/oledb/procedures.h"
#include "platform/text/cp1251.h"
#include "tests/import/import_fixture.h"
#include "tests/import/table_patch.h"

namespace import_test {
namespace {

// A field's name as a descriptor holds it: code page 1251 bytes, NUL-padded to eleven.
std::string DescriptorName(const std::string& utf8) {
    std::string name = cp1251::FromUtf8(utf8);
    name.resize(11, '\0');
    return name;
}

class CyrillicNames : public ImportTest {
protected:
    // calls.dbf as a table of code page 1251 named "звонки" (no container beside it: the header's
    // names count) with Russian names for its fields, its two tags and their key expressions.
    std::string RussianCalls() {
        const std::string dbf = tables_.Copy({"vfp_database/calls.dbf", "vfp_database/calls.FPT", "vfp_database/calls.CDX"},
                                             "звонки");
        const std::string cdx = *rowlark::foxpro::FindSibling(dbf, "cdx");
        for (const auto& tag : rowlark::foxpro::ReadCdxTags(*rowlark::foxpro::OpenFileSource(cdx))) {
            const std::string expression = tag.name == "CALL_ID" ? "номер" : "\"Ж\" + UPPER(Тема)";
            PatchedTables::Write(cdx, tag.header_offset + 512, cp1251::FromUtf8(expression) + std::string(1, '\0'));
        }
        // The tag directory keeps "CALL_ID" whole and then "ONTACT_ID" after its first letter.
        const std::string directory = PatchedTables::Read(cdx);
        PatchedTables::Write(cdx, directory.find("CALL_ID"), cp1251::FromUtf8("ЗВОНОК "));
        PatchedTables::Write(cdx, directory.find("ONTACT_ID"), cp1251::FromUtf8("АКАЗЧИК  "));
        PatchedTables::Write(dbf, PatchedTables::Descriptor(dbf, "CALL_ID"), DescriptorName("НОМЕР"));
        PatchedTables::Write(dbf, PatchedTables::Descriptor(dbf, "CONTACT_ID"), DescriptorName("КЛИЕНТ"));
        PatchedTables::Write(dbf, PatchedTables::Descriptor(dbf, "SUBJECT"), DescriptorName("ТЕМА"));
        PatchedTables::Write(dbf, 29, "\xC9");  // the code page mark of 1251
        return dbf;
    }

    // The keys QueryRows gives for the whole tag, from its start.
    std::vector<std::string> QueryRowsKeys(const std::string& table, const std::string& tag, const std::string& key) {
        const auto connection = oledb_backend::Connection::Open(db_.connection_text());
        if (!db_.on_server())
            rowlark::database::RegisterDatabaseProcedures(
                [&](const std::string& name, oledb_backend::Procedure procedure) {
                    oledb_backend::AddProcedure(*connection, name, std::move(procedure));
                });
        const auto call = oledb_backend::ParseCall("QueryRows ('" + table + "', '" + tag + "', '', '', 100, '" + key +
                                                   "',1, '', '',0)");
        const auto cursor = connection->CallProcedure(call, oledb_backend::Reading::kWhole);
        std::vector<std::string> keys;
        while (cursor->Step()) keys.push_back(cursor->Column(0).text);
        return keys;
    }

    PatchedTables tables_;
};

TEST_F(CyrillicNames, FieldsTagsAndKeyExpressionsArriveAsUtf8InSmallLetters) {
    const auto report = ImportFiles({RussianCalls()});
    ASSERT_EQ(report.tables.size(), 1u);
    const auto& table = report.tables[0];
    EXPECT_EQ(table.name, "звонки");
    EXPECT_EQ(table.key, "номер");  // the candidate tag's field
    EXPECT_EQ(table.tags, (std::vector<std::string>{"звонок", "заказчик"}));
    EXPECT_TRUE(table.skipped.empty());

    EXPECT_EQ(db_.Column("SELECT count(*) FROM звонки WHERE номер > 0 AND клиент > 0 AND тема <> ''").at(0), "16");
    const auto expressions = db_.Column(db_.on_server()
        ? "SELECT expression FROM public.rowlark_index_tag_list() WHERE table_name = 'звонки' ORDER BY tag"
        : "SELECT expression FROM rowlark_index_tags WHERE table_name = 'звонки' ORDER BY tag");
    EXPECT_EQ(expressions, (std::vector<std::string>{"'Ж' || upper(\"тема\")", "\"номер\""}));

    // Both tags walk every row, found by their names as a provider asks for them.
    const auto by_number = QueryRowsKeys("звонки", "звонок", "номер");
    EXPECT_EQ(by_number, db_.Column("SELECT номер FROM звонки ORDER BY номер"));
    auto by_subject = QueryRowsKeys("звонки", "заказчик", "номер");
    std::sort(by_subject.begin(), by_subject.end());
    auto keys = by_number;
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(by_subject, keys);
}

}  // namespace
}  // namespace import_test
