#include "addin/provider/dynamic/key_lookup.h"

#include <algorithm>
#include <charconv>

namespace OleDb {
namespace GridProvider {

namespace {

// The key's value when text is exactly how the layer writes that whole number: digits with an
// optional minus, no plus, no leading zero, no "-0".
std::optional<long> PlainWholeNumber(const std::string& text) {
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

CKeyLookup::CKeyLookup(const KeyMap& keys) : keys_(keys) {
    for (const auto& [text, entry] : keys)
        if (const auto value = PlainWholeNumber(text)) numbers_.emplace_back(*value, entry.number);
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
    const auto found = keys_.find(db_text_.view());
    if (found == keys_.end()) return std::nullopt;
    return found->second.number;
}

}  // namespace GridProvider
}  // namespace OleDb
