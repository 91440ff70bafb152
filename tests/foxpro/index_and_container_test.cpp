// Compound indexes (.cdx) against XBase::Index (libdbd-xbase-perl), the database container's
// tables, long names and primary keys, and the translation of key expressions to SQL.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>

#include "foxpro/cdx_reader.h"
#include "foxpro/database_container.h"
#include "foxpro/key_expression.h"
#include "foxpro/table_reader.h"

namespace rowlark::foxpro {
namespace {

const std::string kDatabase = ROWLARK_FOXPRO_DATA "/vfp_database";

std::string CommandOutput(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    char buffer[4096];
    std::size_t got;
    while (pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0) out.append(buffer, got);
    return out;
}

class CompoundIndex : public ::testing::TestWithParam<const char*> {};

TEST_P(CompoundIndex, TagsAreTheOnesXBaseReads) {
    const std::string path = kDatabase + "/" + GetParam();
    std::ostringstream ours;
    for (const CdxTag& tag : ReadCdxTags(*OpenFileSource(path))) {
        // XBase gives the options byte whole: our flags rebuilt over the compact (0x20) and
        // compound (0x40) bits every tag of a .cdx carries.
        const int options = 0x60 | (tag.unique ? 0x01 : 0) | (tag.candidate ? 0x04 : 0) |
                            (tag.for_expression.empty() ? 0 : 0x08);
        ours << tag.name << "\t" << tag.key_expression << "\t" << tag.for_expression << "\t" << options << "\t"
             << (tag.descending ? 1 : 0) << "\n";
    }
    const std::string theirs = CommandOutput(std::string(ROWLARK_FOXPRO_SCRIPTS "/cdx_tags.pl '") + path + "'");
    ASSERT_FALSE(theirs.empty());
    EXPECT_EQ(ours.str(), theirs);
}

INSTANTIATE_TEST_SUITE_P(Container, CompoundIndex, ::testing::Values("calls.CDX", "contacts.CDX"));

TEST(CompoundIndex, PrimaryKeyTagIsACandidateAndTranslates) {
    auto table = TableReader::Open(kDatabase + "/calls.dbf");
    std::vector<KeyColumn> columns;
    for (const FieldInfo& field : table->Columns())
        columns.push_back({field.name, field.name == "CALL_ID" ? "call_id" : field.name, field.type, field.length,
                           field.decimals});
    const auto tags = ReadCdxTags(*OpenFileSource(kDatabase + "/calls.CDX"));
    ASSERT_EQ(tags.size(), 2u);
    const TagDescription primary = DescribeTag(tags[0], columns);
    EXPECT_EQ(primary.tag, "CALL_ID");
    EXPECT_TRUE(primary.candidate);
    ASSERT_TRUE(primary.key.translated) << primary.key.reason;
    EXPECT_EQ(primary.key.sql, "\"call_id\"");
    EXPECT_EQ(primary.key.kind, KeyKind::Number);
    EXPECT_FALSE(DescribeTag(tags[1], columns).candidate);
}

TEST(DatabaseContainer, ListsTablesWithLongFieldNamesAndPrimaryKeys) {
    const auto tables = ReadDatabaseContainer(kDatabase + "/FOXPRO-DB-TEST.DBC");
    ASSERT_EQ(tables.size(), 4u);
    EXPECT_EQ(tables[0].name, "types");
    EXPECT_EQ(tables[0].primary_tag, "type_id");  // from the table's own property
    EXPECT_EQ(tables[1].name, "setup");
    EXPECT_EQ(tables[1].primary_tag, "key_name");
    const ContainerTable& contacts = tables[2];
    EXPECT_EQ(contacts.name, "contacts");
    EXPECT_EQ(contacts.path, "contacts.dbf");
    EXPECT_EQ(contacts.primary_tag, "contact_id");  // from its index marked primary
    // Every field of the .dbf has its long name, in order; the header cut them at ten characters.
    auto dbf = TableReader::Open(kDatabase + "/" + contacts.path);
    ASSERT_EQ(contacts.field_names.size(), dbf->Columns().size());
    EXPECT_EQ(dbf->Columns()[20].name, "CONTACT_TY");
    EXPECT_EQ(contacts.field_names[20], "contact_type_id");
    EXPECT_EQ(contacts.field_names[28], "contacts_interests");
    EXPECT_EQ(tables[3].name, "calls");
    EXPECT_EQ(tables[3].primary_tag, "call_id");
    // A deleted index object of calls (contact_id, deleted and added again) is listed once.
    EXPECT_EQ(tables[3].index_tags, (std::vector<std::string>{"call_id", "contact_id"}));
}

std::vector<KeyColumn> SampleColumns() {
    return {{"LAST", "last_name", 'C', 20, 0}, {"FIRST", "first_name", 'C', 10, 0}, {"BORN", "born", 'D', 8, 0},
            {"QTY", "qty", 'N', 6, 0},         {"PRICE", "price", 'Y', 8, 4},          {"OK", "ok", 'L', 1, 0},
            {"NOTE", "note", 'M', 4, 0},       {"CODE", "code", 'V', 10, 0}};
}

struct KeyCase {
    const char* expression;
    const char* sql;  // nullptr: skipped
    KeyKind kind;
    bool upper;
};

TEST(KeyExpression, TranslatesWhatAnIndexOrderNeeds) {
    const KeyCase cases[] = {
        {"last", "\"last_name\"", KeyKind::Text, false},
        {"UPPER(last)", "upper(\"last_name\")", KeyKind::Text, true},
        {"upper(LAST)+UPPER(first)",
         "substr(coalesce(upper(\"last_name\"), '') || '                    ', 1, 20) || upper(\"first_name\")",
         KeyKind::Text, true},
        {"DTOS(born)", "replace(substr(\"born\", 1, 10), '-', '')", KeyKind::Text, false},
        {"born", "\"born\"", KeyKind::Date, false},
        {"qty", "\"qty\"", KeyKind::Number, false},
        {"qty+price", "(\"qty\" + \"price\")", KeyKind::Number, false},
        {"STR(qty, 6)+last", "printf('%6.0f', \"qty\") || \"last_name\"", KeyKind::Text, false},
        {"STR(qty)", "\"qty\"", KeyKind::Number, false},
        {"PADL(code, 12)", "substr('            ' || coalesce(\"code\", ''), -12)", KeyKind::Text, false},
        {"PADR(code,4)+first", "substr(coalesce(\"code\", '') || '    ', 1, 4) || \"first_name\"", KeyKind::Text, false},
        {"ALLTRIM(last)+first", "trim(\"last_name\") || \"first_name\"", KeyKind::Text, false},
        {"t.last", "\"last_name\"", KeyKind::Text, false},
        {"t->first", "\"first_name\"", KeyKind::Text, false},
    };
    for (const KeyCase& c : cases) {
        const KeyTranslation key = TranslateKeyExpression(c.expression, SampleColumns());
        ASSERT_TRUE(key.translated) << c.expression << ": " << key.reason;
        EXPECT_EQ(key.sql, c.sql) << c.expression;
        EXPECT_EQ(key.kind, c.kind) << c.expression;
        EXPECT_EQ(key.upper, c.upper) << c.expression;
    }
}

TEST(KeyExpression, SkipsTheRestWithTheReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"last+qty", "joins text and number"},
        {"SOUNDEX(last)", "SOUNDEX"},
        {"nosuch", "no field nosuch"},
        {"ok", "type L"},
        {"note", "type M"},
        {"UPPER(last", "not closed"},
        {"born+1", "adds to a date"},
        {"STR(qty, price)", "computed width"},
        {"", "ends early"},
        {"last $ 'x'", "unexpected"},
    };
    for (const auto& [expression, reason] : cases) {
        const KeyTranslation key = TranslateKeyExpression(expression, SampleColumns());
        EXPECT_FALSE(key.translated) << expression;
        EXPECT_NE(key.reason.find(reason), std::string::npos) << expression << ": " << key.reason;
    }
}

TEST(KeyExpression, FilteredTagIsSkippedUnlessItOnlyLeavesOutDeletedRecords) {
    CdxTag tag;
    tag.name = "LIVE";
    tag.key_expression = "last";
    tag.for_expression = "!DELETED()";
    EXPECT_TRUE(DescribeTag(tag, SampleColumns()).key.translated);
    tag.for_expression = "qty > 0";
    const TagDescription filtered = DescribeTag(tag, SampleColumns());
    EXPECT_FALSE(filtered.key.translated);
    EXPECT_NE(filtered.key.reason.find("FOR filter (qty > 0)"), std::string::npos);
}

}  // namespace
}  // namespace rowlark::foxpro
