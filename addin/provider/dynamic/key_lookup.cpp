#include "addin/provider/dynamic/key_lookup.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace OleDb {
namespace GridProvider {

namespace {

// The key's value when text is exactly how the layer writes that whole number: digits with an
// optional minus, no plus, no leading zero, no "-0".
std::optional<long> PlainWholeNumber(std::string_view text) {
    long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    char back[24];
    const auto written = std::to_chars(back, back + sizeof back, value);
    if (std::string_view(back, static_cast<std::size_t>(written.ptr - back)) != text) return std::nullopt;
    return value;
}

}  // namespace

CKeyLookup::CKeyLookup(const CAnswerKeys& keys) : keys_(keys) {
    for (std::uint32_t place = 0; place < keys.Count(); ++place)
        if (const auto value = PlainWholeNumber(keys.KeyText(place))) numbers_.emplace_back(*value, place);
    std::sort(numbers_.begin(), numbers_.end());
}

std::optional<std::uint32_t> CKeyLookup::Find(const CValue& value) {
    if (value.GetKind() == CValue::Kind::Number) {
        const CNumeric& number = value.GetNumeric();
        const long whole = number;
        // A whole number's text would be written as a plain whole-number key is, so only those can match.
        if (CNumeric(whole) == number) {
            const auto found = std::lower_bound(numbers_.begin(), numbers_.end(), std::make_pair(whole, std::uint32_t{0}));
            if (found == numbers_.end() || found->first != whole) return std::nullopt;
            return found->second;
        }
    }
    bool unused_flag = false;
    OleDb::CMetaNameParserProxy::CValueToDBValue(value, 0, db_text_, unused_flag, unused_extra_);
    return keys_.Find(db_text_.view());
}

}  // namespace GridProvider
}  // namespace OleDb
