#include "database/collation/russian_order.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace rowlark::collation {

namespace {

struct CollatorClose {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};

// ICU takes int32_t lengths: longer texts are compared by their first 2 GiB, then by bytes.
int32_t IcuLength(std::string_view text) {
    return static_cast<int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
}

int CompareBytes(std::string_view a, std::string_view b) {
    const int order = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (order != 0) return order;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::u16string ToUtf16(std::string_view text, UErrorCode& status) {
    int32_t length = 0;
    u_strFromUTF8(nullptr, 0, &length, text.data(), IcuLength(text), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) status = U_ZERO_ERROR;
    std::u16string out(static_cast<std::size_t>(length), u'\0');
    u_strFromUTF8(out.data(), length, nullptr, text.data(), IcuLength(text), &status);
    return out;
}

std::string ToUtf8(const std::u16string& text, UErrorCode& status) {
    int32_t length = 0;
    u_strToUTF8(nullptr, 0, &length, text.data(), static_cast<int32_t>(text.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) status = U_ZERO_ERROR;
    std::string out(static_cast<std::size_t>(length), '\0');
    u_strToUTF8(out.data(), length, nullptr, text.data(), static_cast<int32_t>(text.size()), &status);
    return out;
}

std::u16string ToLower(const std::u16string& text, UErrorCode& status) {
    const int32_t length = u_strToLower(nullptr, 0, text.data(), static_cast<int32_t>(text.size()), "ru", &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) status = U_ZERO_ERROR;
    std::u16string out(static_cast<std::size_t>(length), u'\0');
    u_strToLower(out.data(), length, text.data(), static_cast<int32_t>(text.size()), "ru", &status);
    return out;
}

}  // namespace

UCollator* OpenRussianCollator() {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("ru", &status);
    // A fallback to the root rules (U_USING_DEFAULT_WARNING) would be another order: refused.
    if (U_FAILURE(status) || status == U_USING_DEFAULT_WARNING) {
        if (collator) ucol_close(collator);
        return nullptr;
    }
    return collator;
}

int CompareRussian(const UCollator* collator, std::string_view a, std::string_view b) {
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult order = ucol_strcollUTF8(collator, a.data(), IcuLength(a), b.data(), IcuLength(b), &status);
    if (U_SUCCESS(status) && order != UCOL_EQUAL) return order == UCOL_LESS ? -1 : 1;
    return CompareBytes(a, b);
}

int CompareRussian(std::string_view a, std::string_view b) {
    thread_local const std::unique_ptr<UCollator, CollatorClose> collator(OpenRussianCollator());
    if (!collator) throw std::runtime_error("the Russian order is not available: ICU has no \"ru\" collation");
    return CompareRussian(collator.get(), a, b);
}

std::string RussianLowerBound(std::string_view text) {
    UErrorCode status = U_ZERO_ERROR;
    std::u16string lower = ToLower(ToUtf16(text, status), status);
    std::replace(lower.begin(), lower.end(), u'\u0451', u'\u0435');  // ё sorts after е at the second level only
    std::string bound = ToUtf8(lower, status);
    // Ill-formed UTF-8, or a case mapping that would sort after the text, leaves the text as typed.
    if (U_FAILURE(status) || CompareRussian(bound, text) > 0) return std::string(text);
    return bound;
}

std::string RussianPrefixAbove(std::string_view prefix) { return std::string(prefix) + "\xEF\xBF\xBF"; }

}  // namespace rowlark::collation
