#include "foxpro/table_header.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "foxpro/error.h"
#include "foxpro/message_text.h"

namespace rowlark::foxpro {
namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr char kTerminator = 0x0D;

std::uint32_t Le32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::uint16_t Le16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}

bool IsVisualFoxPro(std::uint8_t version) { return version >= 0x30 && version <= 0x32; }

std::string Printable(char c) {
    char text[16];
    if (c >= 0x20 && c < 0x7F)
        std::snprintf(text, sizeof text, "'%c'", c);
    else
        std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned char>(c));
    return text;
}

// The one length a fixed-size type has, or 0 when the type's length varies.
int FixedLength(char type) {
    switch (type) {
        case 'I': return 4;
        case 'B': case 'Y': case 'D': case 'T': return 8;
        case 'L': return 1;
        default: return 0;
    }
}

void CheckFieldLength(const FieldInfo& field, const ErrorPlace& place) {
    const int fixed = FixedLength(field.type);
    std::string need;
    if (fixed != 0 && field.length != fixed) need = std::to_string(fixed);
    if (IsMemoType(field.type) && field.length != 4 && field.length != 10) need = _("4 or 10");
    if ((field.type == 'N' || field.type == 'F') && (field.length == 0 || field.length > 20)) need = _("1 to 20");
    if (field.length == 0 && need.empty()) need = _("at least 1");
    if (!need.empty())
        throw FoxProError(place, Fill(_("type %s has length %s; the type needs %s"),
                                      {std::string(1, field.type), std::to_string(field.length), need}));
}

FieldInfo ParseDescriptor(const std::string& d, std::uint32_t offset, const ErrorPlace& table, bool keep_unknown_types) {
    FieldInfo field;
    const std::size_t name_end = std::find(d.begin(), d.begin() + 11, '\0') - d.begin();
    field.name.assign(d, 0, name_end);
    field.type = d[11];
    field.offset = offset;
    field.length = static_cast<std::uint8_t>(d[16]);
    field.decimals = static_cast<std::uint8_t>(d[17]);
    const auto flags = static_cast<std::uint8_t>(d[18]);
    field.system = (flags & 0x01) != 0 || field.type == '0';
    field.nullable = (flags & 0x02) != 0;
    field.binary = (flags & 0x04) != 0;
    field.autoincrement = (flags & 0x08) != 0;
    field.autoincrement_next = static_cast<std::int32_t>(Le32(d, 19));
    field.autoincrement_step = static_cast<std::uint8_t>(d[23]);
    const ErrorPlace place{table.file, 0, field.name.empty() ? "#" + std::to_string(offset) : field.name};
    static const char kTypes[] = "CVMNFIBYDTLGWQP0";
    field.unknown_type = field.type == '\0' || std::strchr(kTypes, field.type) == nullptr;
    if (field.unknown_type && !keep_unknown_types)
        throw FoxProError(place, Fill(_("unknown field type %s"), {Printable(field.type)}));
    CheckFieldLength(field, place);
    return field;
}

// Gives each varying field its varlength bit and each nullable field its null bit, in field order.
void AssignNullBits(TableHeader& header, const ErrorPlace& place) {
    int next = 0;
    for (FieldInfo& field : header.fields) {
        if (field.system) continue;
        if (field.type == 'V' || field.type == 'Q') field.varlength_bit = next++;
        if (field.nullable) field.null_bit = next++;
    }
    if (next == 0) return;
    if (header.null_flags_field < 0)
        throw FoxProError(place, _("nullable or varying fields but no _NullFlags field"));
    const FieldInfo& flags = header.fields[static_cast<std::size_t>(header.null_flags_field)];
    if (flags.length * 8 < next)
        throw FoxProError(place, Fill(_("_NullFlags holds %s bits; the fields need %s"),
                                      {std::to_string(flags.length * 8), std::to_string(next)}));
}

MemoKind MemoKindOf(const TableHeader& header) {
    bool memo = false;
    for (const FieldInfo& field : header.fields) memo = memo || IsMemoType(field.type);
    if (!memo) return MemoKind::None;
    if (header.version == 0x83) return MemoKind::Dbt3;
    if (header.version == 0x8B || header.version == 0xCB) return MemoKind::Dbt4;
    return MemoKind::Fpt;
}

void ReadFields(ByteSource& dbf, TableHeader& header, const ErrorPlace& place, bool keep_unknown_types) {
    const std::string bytes = dbf.ReadAt(0, header.header_length);
    if (bytes.size() < header.header_length)
        throw FoxProError(place, Fill(_("truncated header: it declares %s bytes, the file holds %s"),
                                      {std::to_string(header.header_length), std::to_string(bytes.size())}));
    std::size_t at = kHeaderSize;
    std::uint32_t offset = 1;
    while (true) {
        if (at < bytes.size() && bytes[at] == kTerminator) break;
        if (at + kDescriptorSize > bytes.size())
            throw FoxProError(place, Fill(_("the field list has no terminator (0x0D) within the header's %s bytes"),
                                          {std::to_string(header.header_length)}));
        FieldInfo field = ParseDescriptor(bytes.substr(at, kDescriptorSize), offset, place, keep_unknown_types);
        if (field.type == '0') header.null_flags_field = static_cast<int>(header.fields.size());
        offset += field.length;
        header.fields.push_back(std::move(field));
        at += kDescriptorSize;
    }
    if (IsVisualFoxPro(header.version) && at + 1 < bytes.size()) {
        const std::string backlink = bytes.substr(at + 1, 263);
        header.database = backlink.substr(0, backlink.find('\0'));
    }
    if (offset != header.record_length)
        throw FoxProError(place, Fill(_("record length %s disagrees with the fields (1 + their lengths = %s)"),
                                      {std::to_string(header.record_length), std::to_string(offset)}));
}

}  // namespace

bool IsMemoType(char type) { return type == 'M' || type == 'G' || type == 'W' || type == 'P'; }

const char* VersionName(std::uint8_t version) {
    switch (version) {
        case 0x02: return "FoxBASE";
        case 0x03: return "dBase III / FoxPro without memo";
        case 0x30: return "Visual FoxPro";
        case 0x31: return "Visual FoxPro with autoincrement";
        case 0x32: return "Visual FoxPro with varchar or varbinary";
        case 0x43: return "dBase IV SQL table without memo";
        case 0x63: return "dBase IV SQL system file without memo";
        case 0x83: return "dBase III with memo";
        case 0x8B: return "dBase IV with memo";
        case 0xCB: return "dBase IV SQL table with memo";
        case 0xF5: return "FoxPro 2 with memo";
        case 0xFB: return "FoxBASE with memo";
        default: return nullptr;
    }
}

TableHeader ReadTableHeader(ByteSource& dbf, bool keep_unknown_types) {
    const ErrorPlace place{dbf.Name()};
    const std::string head = dbf.ReadAt(0, kHeaderSize);
    if (head.size() < kHeaderSize)
        throw FoxProError(place, Fill(_("truncated header: %s bytes, a table header needs 32"), {std::to_string(head.size())}));
    TableHeader header;
    header.version = static_cast<std::uint8_t>(head[0]);
    if (VersionName(header.version) == nullptr || header.version == 0x02) {
        char version[8];
        std::snprintf(version, sizeof version, "0x%02X", header.version);
        throw FoxProError(place, Fill(_("unknown table version byte %s"), {version}));
    }
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", 1900 + static_cast<unsigned char>(head[1]),
                  static_cast<unsigned char>(head[2]) % 100, static_cast<unsigned char>(head[3]) % 100);
    header.last_update = date;
    header.record_count = Le32(head, 4);
    header.header_length = Le16(head, 8);
    header.record_length = Le16(head, 10);
    header.table_flags = static_cast<std::uint8_t>(head[28]);
    header.code_page_mark = static_cast<std::uint8_t>(head[29]);
    if (header.header_length < kHeaderSize + 1)
        throw FoxProError(place, Fill(_("header length %s is too short for a field list (at least 33)"),
                                      {std::to_string(header.header_length)}));
    ReadFields(dbf, header, place, keep_unknown_types);
    AssignNullBits(header, place);
    header.memo_kind = MemoKindOf(header);
    const std::uint64_t needed = header.header_length +
                                 static_cast<std::uint64_t>(header.record_count) * header.record_length;
    if (needed > dbf.Size())
        throw FoxProError(place, Fill(_("record count %s needs %s bytes, beyond the file's end at %s"),
                                      {std::to_string(header.record_count), std::to_string(needed),
                                       std::to_string(dbf.Size())}));
    return header;
}

}  // namespace rowlark::foxpro
