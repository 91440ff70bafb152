#include "foxpro/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace rowlark::foxpro {
namespace {

struct MarkEntry {
    std::uint8_t mark;
    int code_page;
};

// The marks FoxPro writes (CPCURRENT / CPCONVERT's table) and the dBase ones met in the wild.
constexpr MarkEntry kMarks[] = {
    {0x01, 437},   {0x02, 850},   {0x03, 1252},  {0x04, 10000}, {0x08, 865},   {0x09, 437},
    {0x0A, 850},   {0x0B, 437},   {0x0D, 437},   {0x0E, 850},   {0x0F, 437},   {0x10, 850},
    {0x11, 437},   {0x12, 850},   {0x13, 932},   {0x14, 850},   {0x15, 437},   {0x16, 850},
    {0x17, 865},   {0x18, 437},   {0x19, 437},   {0x1A, 850},   {0x1B, 437},   {0x1C, 863},
    {0x1D, 850},   {0x1F, 852},   {0x22, 852},   {0x23, 852},   {0x24, 860},   {0x25, 850},
    {0x26, 866},   {0x37, 850},   {0x40, 852},   {0x4D, 936},   {0x4E, 949},   {0x4F, 950},
    {0x50, 874},   {0x57, 1252},  {0x58, 1252},  {0x59, 1252},  {0x64, 852},   {0x65, 866},
    {0x66, 865},   {0x67, 861},   {0x6A, 737},   {0x6B, 857},   {0x6C, 863},   {0x78, 950},
    {0x79, 949},   {0x7A, 936},   {0x7B, 932},   {0x7C, 874},   {0x7D, 1255},  {0x7E, 1256},
    {0x86, 737},   {0x87, 852},   {0x88, 857},   {0x96, 10007}, {0x97, 10029}, {0x98, 10006},
    {0xC8, 1250},  {0xC9, 1251},  {0xCA, 1254},  {0xCB, 1253},  {0xCC, 1257},
};

struct IconvName {
    int code_page;
    const char* name;
};

constexpr IconvName kIconvNames[] = {
    {437, "CP437"},     {737, "CP737"},     {850, "CP850"},     {852, "CP852"},   {857, "CP857"},
    {860, "CP860"},     {861, "CP861"},     {863, "CP863"},     {865, "CP865"},   {866, "CP866"},
    {874, "CP874"},     {932, "CP932"},     {936, "CP936"},     {949, "CP949"},   {950, "CP950"},
    {1250, "CP1250"},   {1251, "CP1251"},   {1252, "CP1252"},   {1253, "CP1253"}, {1254, "CP1254"},
    {1255, "CP1255"},   {1256, "CP1256"},   {1257, "CP1257"},   {10000, "MACINTOSH"},
    {10006, "MAC-GREEK"}, {10007, "MACCYRILLIC"}, {10029, "MAC-CENTRALEUROPE"},
};

const char* IconvNameOf(int code_page) {
    for (const IconvName& entry : kIconvNames)
        if (entry.code_page == code_page) return entry.name;
    return nullptr;
}

iconv_t OpenConverter(int code_page) {
    const char* name = IconvNameOf(code_page);
    if (name == nullptr) return reinterpret_cast<iconv_t>(-1);
    return iconv_open("UTF-8", name);
}

}  // namespace

std::optional<int> CodePageOfMark(std::uint8_t mark) {
    for (const MarkEntry& entry : kMarks)
        if (entry.mark == mark) return entry.code_page;
    return std::nullopt;
}

bool IsSupportedCodePage(int code_page) {
    const iconv_t converter = OpenConverter(code_page);
    if (converter == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(converter);
    return true;
}

TextDecoder::TextDecoder(int code_page) : code_page_(code_page) {
    const iconv_t converter = OpenConverter(code_page);
    if (converter == reinterpret_cast<iconv_t>(-1))
        throw std::invalid_argument("code page " + std::to_string(code_page) + " cannot be converted");
    converter_ = converter;
}

TextDecoder::~TextDecoder() { iconv_close(static_cast<iconv_t>(converter_)); }

std::string TextDecoder::ToUtf8(std::string_view bytes) {
    // Plain ASCII is the same in every code page offered here: no conversion needed.
    bool ascii = true;
    for (const char c : bytes) ascii &= static_cast<unsigned char>(c) < 0x80;
    if (ascii) return std::string(bytes);
    const iconv_t converter = static_cast<iconv_t>(converter_);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    out.reserve(bytes.size() * 2);
    char* in = const_cast<char*>(bytes.data());  // iconv's signature; it only reads
    std::size_t in_left = bytes.size();
    char buffer[256];
    while (in_left > 0) {
        char* put = buffer;
        std::size_t put_left = sizeof buffer;
        const std::size_t done = iconv(converter, &in, &in_left, &put, &put_left);
        out.append(buffer, static_cast<std::size_t>(put - buffer));
        if (done != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // A byte the code page leaves undefined (or a broken multibyte sequence): one stand-in.
        out += "\xEF\xBF\xBD";
        ++in;
        --in_left;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace rowlark::foxpro
