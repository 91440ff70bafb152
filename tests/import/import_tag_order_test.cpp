// The order of the text tags an import makes: a Russian dictionary's, whatever the tag's expression
// (the field itself, UPPER, LOWER, ALLTRIM, two fields joined), on both databases; a number tag by
// number. The table is written here in the form dBase III gives it, names in mixed case, Cyrillic and
// Latin, code page 1251.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/text/cp1251.h"
#include "tests/import/import_fixture.h"

namespace import_test {
namespace {

namespace fs = std::filesystem;

struct Field {
    const char* name;
    char type;
    std::uint8_t length;
};

void Put16(std::string& out, std::size_t at, std::uint16_t value) {
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>(value >> 8);
}

// A dBase III table of the fields and records (each value already padded to its field's length).
void WriteDbf(const fs::path& path, const std::vector<Field>& fields, const std::vector<std::vector<std::string>>& records) {
    std::string header(32, '\0');
    header[0] = 0x03;
    header[1] = 126;  // 2026-12-08
    header[2] = 12;
    header[3] = 8;
    header[4] = static_cast<char>(records.size());
    std::uint16_t record_length = 1;
    for (const Field& field : fields) record_length = static_cast<std::uint16_t>(record_length + field.length);
    Put16(header, 8, static_cast<std::uint16_t>(32 + 32 * fields.size() + 1));
    Put16(header, 10, record_length);
    header[29] = static_cast<char>(0xC9);  // code page 1251
    for (const Field& field : fields) {
        std::string descriptor(32, '\0');
        descriptor.replace(0, std::string(field.name).size(), field.name);
        descriptor[11] = field.type;
        descriptor[16] = static_cast<char>(field.length);
        header += descriptor;
    }
    header += '\x0D';
    for (const auto& record : records) {
        header += ' ';
        for (const std::string& value : record) header += value;
    }
    header += '\x1A';
    std::ofstream(path, std::ios::binary) << header;
}

std::string Padded(const std::string& utf8, std::size_t length) {
    std::string text = cp1251::FromUtf8(utf8);
    text.resize(length, ' ');
    return text;
}

std::string RightAligned(const std::string& digits, std::size_t length) {
    return std::string(length - digits.size(), ' ') + digits;
}

class ImportTagOrderTest : public ImportTest {
protected:
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    // Imports the table with these tags; answers the report of its one table.
    import_tool::TableReport ImportNames(const std::vector<import_tool::RequestedTag>& tags) {
        fs::create_directories(folder_);
        const std::vector<std::string> names = {"Вишня", "арбуз", "Банан", "ёлка", "Груша", "apple", "Zebra", "ЁЖ"};
        std::vector<std::vector<std::string>> records;
        for (std::size_t i = 0; i < names.size(); ++i)
            records.push_back(
                {RightAligned(std::to_string(10 - i), 4), Padded(names[i], 20), Padded("к" + std::to_string(i), 3)});
        WriteDbf(folder_ / "names.dbf", {{"N", 'N', 4}, {"NAME", 'C', 20}, {"CODE", 'C', 3}}, records);
        import_tool::ImportRequest request;
        request.inputs = {(folder_ / "names.dbf").string()};
        request.target = db_.connection_text();
        request.tags = tags;
        import_tool::ProgressSink quiet;
        const auto report = import_tool::RunImport(request, quiet);
        EXPECT_EQ(report.tables.size(), 1u);
        return report.tables.empty() ? import_tool::TableReport{} : report.tables.front();
    }

    fs::path folder_ = fs::temp_directory_path() / ("rowlark_tag_order_" + std::to_string(::getpid()));
};

TEST_F(ImportTagOrderTest, TextTagsWalkAsARussianDictionaryWhateverTheirExpression) {
    const auto table = ImportNames({{"", "by_name", "name"},
                                    {"", "by_upper", "UPPER(name)"},
                                    {"", "by_lower", "LOWER(name)"},
                                    {"", "by_trim", "ALLTRIM(name)"},
                                    {"", "by_two", "name+code"},
                                    {"", "by_n", "n"}});
    ASSERT_EQ(table.tags.size(), 6u);
    // Records by number: арбуз, Банан, Вишня, Груша, ЁЖ, ёлка, then the Latin names: case aside, Ё as Е.
    const std::vector<std::string> russian = {"2", "3", "1", "5", "8", "4", "6", "7"};
    for (const char* tag : {"by_name", "by_upper", "by_lower", "by_trim", "by_two"})
        EXPECT_EQ(db_.KeysInTagOrder(table.name, tag), russian) << tag;
    // A number tag orders by number: n falls from 10 to 3.
    EXPECT_EQ(db_.KeysInTagOrder(table.name, "by_n"), (std::vector<std::string>{"8", "7", "6", "5", "4", "3", "2", "1"}));
}

}  // namespace
}  // namespace import_test
