// A table with a field of a type not known here is imported whole: that field's bytes as they are,
// in a binary column, with one warning line; every other field as usual.

#include <fstream>

#include "foxpro/table_reader.h"
#include "tests/import/import_fixture.h"
#include "tests/import/table_patch.h"

namespace import_test {
namespace {

class UnknownFieldType : public ImportTest {
protected:
    PatchedTables tables_;
};

TEST_F(UnknownFieldType, FieldKeepsItsBytesAndTheRestIsImported) {
    // dbase_03's Time field (10 characters) given a type letter no FoxPro or dBase writes.
    const std::string dbf = tables_.Copy({"dbase_03.dbf"});
    PatchedTables::Write(dbf, PatchedTables::Descriptor(dbf, "Time") + 11, "X");
    const auto report = ImportFiles({dbf});
    ASSERT_EQ(report.tables.size(), 1u);
    EXPECT_EQ(report.tables[0].rows, 12u);
    EXPECT_EQ(report.tables[0].warnings,
              (std::vector<std::string>{
                  "field Time has type 'X', which is not known here: its bytes are kept as they are, in a binary column"}));

    // Record 1's ten bytes, as the file holds them.
    const auto reader = rowlark::foxpro::TableReader::Open(kData + "/dbase_03.dbf");
    std::uint32_t offset = 0;
    for (const auto& field : reader->Header().fields)
        if (field.name == "Time") offset = field.offset;
    std::ifstream file(dbf, std::ios::binary);
    file.seekg(reader->Header().header_length + offset);
    std::string bytes(10, '\0');
    file.read(bytes.data(), 10);
    std::string hex;
    for (const char c : bytes) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(c));
        hex += digits;
    }
    EXPECT_EQ(db_.Column(db_.on_server() ? "SELECT upper(encode(\"time\", 'hex')) FROM dbase_03 WHERE recno = 1"
                                         : "SELECT hex(\"time\") FROM dbase_03 WHERE recno = 1"),
              (std::vector<std::string>{hex}));
    // The fields around it as the unchanged table gives them.
    EXPECT_EQ(db_.Column("SELECT point_id FROM dbase_03 WHERE recno = 1"), (std::vector<std::string>{"0507121"}));
    EXPECT_EQ(db_.Column("SELECT count(gps_date) FROM dbase_03"), (std::vector<std::string>{"12"}));
}

}  // namespace
}  // namespace import_test
