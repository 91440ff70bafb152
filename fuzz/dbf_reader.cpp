// The FoxPro reader over any bytes: a table, its memo file and a compound index cut from one
// input (two 16-bit lengths, then the three files). Every fault must be a FoxProError; what does
// read must keep the reader's promises: one value per column, texts as valid UTF-8, decimals,
// dates and datetimes in their fixed forms, and tags whose key is either translated into SQL or
// left out with a reason (a FOR filter leaves out a key that translates).

#include <cstdint>
#include <string>
#include <string_view>

#include "foxpro/cdx_reader.h"
#include "foxpro/database_container.h"
#include "foxpro/error.h"
#include "foxpro/key_expression.h"
#include "foxpro/table_reader.h"
#include "fuzz/support/check.h"

namespace {

using namespace rowlark::foxpro;
using rowlark_fuzz::Escaped;

bool ValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

bool DigitsAt(const std::string& text, std::initializer_list<std::size_t> places) {
    for (const std::size_t at : places)
        if (at >= text.size() || text[at] < '0' || text[at] > '9') return false;
    return true;
}

void CheckValue(const Value& value) {
    switch (value.kind) {
        case ValueKind::Text: FUZZ_CHECK(ValidUtf8(value.text), Escaped(value.text)); break;
        case ValueKind::Decimal:
            FUZZ_CHECK(!value.text.empty() && value.text.find_first_not_of("-0123456789.e+") == std::string::npos,
                       Escaped(value.text));
            break;
        case ValueKind::Date:
            FUZZ_CHECK(value.text.size() == 10 && DigitsAt(value.text, {0, 1, 2, 3, 5, 6, 8, 9}), Escaped(value.text));
            break;
        case ValueKind::DateTime:
            FUZZ_CHECK(value.text.size() == 19 && value.text[10] == 'T' && DigitsAt(value.text, {0, 3, 5, 8, 11, 14, 17}),
                       Escaped(value.text));
            break;
        default: break;
    }
}

void ReadTable(std::string_view dbf, std::string_view memo, bool include_deleted, std::vector<KeyColumn>& columns) {
    ReaderOptions options;
    options.include_deleted = include_deleted;
    options.code_page = include_deleted ? std::optional<int>(866) : std::nullopt;
    options.keep_unknown_types = include_deleted;  // the second pass also takes fields of unknown types
    TableReader reader(MemorySource("t.dbf", dbf), memo.empty() ? nullptr : MemorySource("t.fpt", memo), options);
    for (const FieldInfo& field : reader.Columns())
        columns.push_back({field.name, field.name, field.type, field.length, field.decimals});
    Record record;
    std::uint32_t last = 0;
    while (reader.Next(record)) {
        FUZZ_CHECK(record.values.size() == reader.Columns().size(), std::to_string(record.number));
        FUZZ_CHECK(record.number > last && record.number <= reader.Header().record_count, std::to_string(record.number));
        FUZZ_CHECK(include_deleted || !record.deleted, std::to_string(record.number));
        last = record.number;
        for (std::size_t i = 0; i < record.values.size(); ++i) {
            const Value& value = record.values[i];
            CheckValue(value);
            // A field of an unknown type gives its bytes as stored (or null), never a decoded value.
            FUZZ_CHECK(!reader.Columns()[i].unknown_type || value.kind == ValueKind::Bytes || value.kind == ValueKind::Null,
                       reader.Columns()[i].name);
        }
    }
}

void ReadIndex(std::string_view cdx, const std::vector<KeyColumn>& columns) {
    for (const CdxTag& tag : ReadCdxTags(*MemorySource("t.cdx", cdx))) {
        const KeyTranslation key = TranslateKeyExpression(tag.key_expression, columns);
        FUZZ_CHECK(key.translated != key.sql.empty() && key.translated == key.reason.empty(), Escaped(tag.key_expression));
        const TagDescription description = DescribeTag(tag, columns);
        FUZZ_CHECK(description.key.translated ? key.translated && description.key.sql == key.sql
                                              : !description.key.reason.empty(),
                   Escaped(tag.key_expression) + " FOR " + Escaped(tag.for_expression));
        FUZZ_CHECK(description.key.translated || !key.translated || !tag.for_expression.empty(),
                   Escaped(tag.key_expression));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.size() < 4) return 0;
    const std::size_t dbf_size = static_cast<unsigned char>(input[0]) | static_cast<unsigned char>(input[1]) << 8;
    const std::size_t memo_size = static_cast<unsigned char>(input[2]) | static_cast<unsigned char>(input[3]) << 8;
    std::string_view rest = input.substr(4);
    const std::string_view dbf = rest.substr(0, dbf_size);
    rest.remove_prefix(dbf.size());
    const std::string_view memo = rest.substr(0, memo_size);
    rest.remove_prefix(memo.size());
    std::vector<KeyColumn> columns;
    for (const bool deleted : {false, true}) {
        try {
            columns.clear();
            ReadTable(dbf, memo, deleted, columns);
        } catch (const FoxProError&) {
        }
    }
    try {
        TableReader reader(MemorySource("t.dbc", dbf), memo.empty() ? nullptr : MemorySource("t.dct", memo), {});
        ReadDatabaseContainer(reader);
    } catch (const FoxProError&) {
    }
    try {
        ReadIndex(rest, columns);
    } catch (const FoxProError&) {
    }
    return 0;
}
