#include "foxpro/field_decoder.h"

#include <cstdio>
#include <cstring>

#include "foxpro/message_text.h"

namespace rowlark::foxpro {
namespace {

std::uint32_t Le32(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::uint64_t Le64(std::string_view b) {
    return static_cast<std::uint64_t>(Le32(b, 4)) << 32 | Le32(b, 0);
}

bool Bit(std::string_view flags, int bit) {
    if (bit < 0) return false;
    const auto byte = static_cast<std::size_t>(bit / 8);
    return byte < flags.size() && (static_cast<unsigned char>(flags[byte]) >> (bit % 8) & 1) != 0;
}

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\0'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string Quoted(std::string_view bytes) {
    std::string text = "\"";
    for (const char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            text += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
            text += hex;
        }
    }
    return text + "\"";
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Checks a number's text (sign, digits, point, digits, exponent) and writes it in a form every
// SQL reads: "-.5" as "-0.5", "7." as "7".
Value DecodeNumber(std::string_view bytes, const ErrorPlace& place) {
    const std::string_view text = Trim(bytes);
    if (text.empty()) return {};
    std::size_t at = 0;
    std::string out;
    if (text[at] == '-' || text[at] == '+') {
        if (text[at] == '-') out += '-';
        ++at;
    }
    std::size_t digits = 0;
    std::string whole;
    while (at < text.size() && IsDigit(text[at])) whole += text[at++], ++digits;
    out += whole.empty() ? "0" : whole;
    if (at < text.size() && text[at] == '.') {
        ++at;
        std::string fraction;
        while (at < text.size() && IsDigit(text[at])) fraction += text[at++], ++digits;
        if (!fraction.empty()) out += "." + fraction;
    }
    if (digits > 0 && at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::string exponent = "e";
        ++at;
        if (at < text.size() && (text[at] == '-' || text[at] == '+')) exponent += text[at++];
        const std::size_t first = at;
        while (at < text.size() && IsDigit(text[at])) exponent += text[at++];
        if (at == first) digits = 0;
        out += exponent;
    }
    if (digits == 0 || at != text.size())
        throw FoxProError(place, Fill(_("%s is not a number"), {Quoted(bytes)}));
    Value value;
    value.kind = ValueKind::Decimal;
    value.text = out;
    return value;
}

// Currency: a 64-bit count of ten-thousandths, written exactly with its four decimals.
Value DecodeCurrency(std::string_view bytes) {
    const auto raw = static_cast<std::int64_t>(Le64(bytes));
    const std::uint64_t magnitude = raw < 0 ? 0 - static_cast<std::uint64_t>(raw) : static_cast<std::uint64_t>(raw);
    char text[40];
    std::snprintf(text, sizeof text, "%s%llu.%04llu", raw < 0 ? "-" : "",
                  static_cast<unsigned long long>(magnitude / 10000), static_cast<unsigned long long>(magnitude % 10000));
    Value value;
    value.kind = ValueKind::Decimal;
    value.text = text;
    return value;
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

Value DecodeDate(std::string_view bytes, const ErrorPlace& place) {
    const std::string_view text = Trim(bytes);
    if (text.empty() || text == "00000000") return {};
    bool digits = text.size() == 8;
    for (const char c : text) digits = digits && IsDigit(c);
    const int year = digits ? std::atoi(std::string(text.substr(0, 4)).c_str()) : 0;
    const int month = digits ? std::atoi(std::string(text.substr(4, 2)).c_str()) : 0;
    const int day = digits ? std::atoi(std::string(text.substr(6, 2)).c_str()) : 0;
    if (!digits || year == 0 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        throw FoxProError(place, Fill(_("%s is not a date (YYYYMMDD)"), {Quoted(bytes)}));
    Value value;
    value.kind = ValueKind::Date;
    value.text = std::string(text.substr(0, 4)) + "-" + std::string(text.substr(4, 2)) + "-" +
                 std::string(text.substr(6, 2));
    return value;
}

Value DecodeDateTime(std::string_view bytes, const ErrorPlace& place) {
    const auto day = static_cast<std::int32_t>(Le32(bytes, 0));
    const std::uint32_t ms = Le32(bytes, 4);
    if (day == 0 && ms == 0) return {};
    constexpr std::int32_t kFirstDay = 1721426;  // 0001-01-01
    constexpr std::int32_t kLastDay = 5373484;   // 9999-12-31
    if (day < kFirstDay || day > kLastDay || ms >= 86400000u)
        throw FoxProError(place, Fill(_("day %s, millisecond %s is not a datetime between years 1 and 9999"),
                                      {std::to_string(day), std::to_string(ms)}));
    // FoxPro keeps whole seconds; the milliseconds it stores are its float's rounding error
    // (17:13:04.999 for 17:13:05), so the nearest second is the value it shows and means.
    std::int32_t civil_day = day;
    std::uint32_t seconds = (ms + 500) / 1000;
    if (seconds == 86400 && day == kLastDay) {
        seconds = 86399;  // the calendar's last second; a day after it has no date
    } else if (seconds == 86400) {
        seconds = 0;
        ++civil_day;
    }
    char time[32];
    std::snprintf(time, sizeof time, "T%02u:%02u:%02u", seconds / 3600, seconds / 60 % 60, seconds % 60);
    Value value;
    value.kind = ValueKind::DateTime;
    value.text = JulianDayToIso(civil_day) + time;
    return value;
}

Value DecodeLogical(char c, const ErrorPlace& place) {
    Value value;
    if (std::strchr("TtYy", c) != nullptr && c != '\0') {
        value.kind = ValueKind::Logical;
        value.logical = true;
    } else if (std::strchr("FfNn", c) != nullptr && c != '\0') {
        value.kind = ValueKind::Logical;
    } else if (c != '?' && c != ' ' && c != '\0') {
        throw FoxProError(place, Fill(_("%s is not a logical (T, F, Y, N or ?)"), {Quoted(std::string_view(&c, 1))}));
    }
    return value;
}

std::uint32_t MemoPointer(std::string_view bytes, const ErrorPlace& place) {
    if (bytes.size() == 4) return Le32(bytes, 0);
    const std::string_view text = Trim(bytes);
    std::uint64_t block = 0;
    bool number = true;
    for (const char c : text) {
        number = number && IsDigit(c) && block <= 0xFFFFFFFFull / 10;
        if (number) block = block * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (!number || block > 0xFFFFFFFFull)
        throw FoxProError(place, Fill(_("%s is not a memo block number"), {Quoted(bytes)}));
    return static_cast<std::uint32_t>(block);
}

Value TextOrBytes(std::string bytes, bool binary, TextDecoder& decoder) {
    Value value;
    value.kind = binary ? ValueKind::Bytes : ValueKind::Text;
    value.text = binary ? std::move(bytes) : decoder.ToUtf8(bytes);
    return value;
}

Value DecodeMemo(const FieldInfo& field, std::string_view bytes, DecodeContext& context, const ErrorPlace& place) {
    const std::uint32_t block = MemoPointer(bytes, place);
    if (block != 0 && context.memo == nullptr) throw FoxProError(place, _("a memo but no memo file"));
    std::string memo = block == 0 ? std::string() : context.memo->Read(block, place);
    return TextOrBytes(std::move(memo), field.type != 'M' || field.binary, context.decoder);
}

Value DecodeVarying(const FieldInfo& field, std::string_view bytes, DecodeContext& context, const ErrorPlace& place) {
    std::size_t length = bytes.size();
    if (Bit(context.null_flags, field.varlength_bit)) {
        length = static_cast<unsigned char>(bytes.back());
        if (length >= bytes.size())
            throw FoxProError(place, Fill(_("varying length %s does not fit the field's %s bytes"),
                                          {std::to_string(length), std::to_string(bytes.size())}));
    }
    return TextOrBytes(std::string(bytes.substr(0, length)), field.type == 'Q' || field.binary, context.decoder);
}

}  // namespace

std::string JulianDayToIso(std::int64_t julian_day) {
    // Fliegel and Van Flandern's conversion of a Julian day number to the Gregorian calendar.
    std::int64_t l = julian_day + 68569;
    const std::int64_t n = 4 * l / 146097;
    l -= (146097 * n + 3) / 4;
    const std::int64_t i = 4000 * (l + 1) / 1461001;
    l = l - 1461 * i / 4 + 31;
    const std::int64_t j = 80 * l / 2447;
    const std::int64_t day = l - 2447 * j / 80;
    l = j / 11;
    const std::int64_t month = j + 2 - 12 * l;
    const std::int64_t year = 100 * (n - 49) + i + l;
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld", static_cast<long long>(year),
                  static_cast<long long>(month), static_cast<long long>(day));
    return text;
}

Value DecodeField(const FieldInfo& field, std::string_view bytes, DecodeContext& context, const ErrorPlace& place) {
    if (Bit(context.null_flags, field.null_bit)) return {};
    if (field.unknown_type) return TextOrBytes(std::string(bytes), true, context.decoder);
    switch (field.type) {
        case 'C': {
            if (field.binary) return TextOrBytes(std::string(bytes), true, context.decoder);
            std::string_view text = bytes;
            while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
            return TextOrBytes(std::string(text), false, context.decoder);
        }
        case 'V': case 'Q': return DecodeVarying(field, bytes, context, place);
        case 'N': case 'F': return DecodeNumber(bytes, place);
        case 'I': {
            Value value;
            value.kind = ValueKind::Integer;
            value.integer = static_cast<std::int32_t>(Le32(bytes, 0));
            return value;
        }
        case 'B': {
            const std::uint64_t raw = Le64(bytes);
            Value value;
            value.kind = ValueKind::Real;
            std::memcpy(&value.real, &raw, sizeof value.real);
            return value;
        }
        case 'Y': return DecodeCurrency(bytes);
        case 'D': return DecodeDate(bytes, place);
        case 'T': return DecodeDateTime(bytes, place);
        case 'L': return DecodeLogical(bytes[0], place);
        default: return DecodeMemo(field, bytes, context, place);
    }
}

const char* ValueKindName(ValueKind kind) {
    switch (kind) {
        case ValueKind::Null: return "null";
        case ValueKind::Text: return "text";
        case ValueKind::Bytes: return "bytes";
        case ValueKind::Integer: return "integer";
        case ValueKind::Decimal: return "decimal";
        case ValueKind::Real: return "real";
        case ValueKind::Logical: return "logical";
        case ValueKind::Date: return "date";
        case ValueKind::DateTime: return "datetime";
    }
    return "?";
}

}  // namespace rowlark::foxpro
