// The code-page conversions at the edges: cp1251::ToUtf8/FromUtf8/TryFromUtf8 and the OLE DB
// layer's own fast converter (ToCp1251, AppendCp1251). Any CP1251 text survives the trip through
// UTF-8 byte for byte; from any bytes taken as UTF-8, FromUtf8 never yields more characters than
// it read, TryFromUtf8 refuses exactly when FromUtf8 had to replace something, and the layer's
// converter writes within its buffer and agrees with FromUtf8 on every byte and on exactness.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz/support/check.h"
#include "platform/oledb/text_out.h"
#include "platform/text/cp1251.h"

namespace {

using rowlark_fuzz::Escaped;

// The layer's converter into a buffer of exactly the promised size, so a write past it is caught.
std::string LayerConvert(std::string_view utf8, bool& exact) {
    const std::unique_ptr<char[]> buffer(new char[utf8.size()]);
    exact = true;
    const std::size_t written = oledb_backend::ToCp1251(utf8, buffer.get(), exact);
    FUZZ_CHECK(written <= utf8.size(), Escaped(utf8));
    return std::string(buffer.get(), written);
}

void CheckCp1251Text(std::string_view cp) {
    const std::string utf8 = cp1251::ToUtf8(cp);
    FUZZ_CHECK(cp1251::FromUtf8(utf8) == cp, Escaped(cp));
    const auto tried = cp1251::TryFromUtf8(utf8);
    FUZZ_CHECK(tried.has_value() && *tried == cp, Escaped(cp));
    bool exact = false;
    FUZZ_CHECK(LayerConvert(utf8, exact) == cp && exact, Escaped(cp));
    FUZZ_CHECK(oledb_backend::ToDatabaseText(cp) == utf8, Escaped(cp));
}

void CheckUtf8Text(std::string_view utf8) {
    const std::string converted = cp1251::FromUtf8(utf8);
    FUZZ_CHECK(converted.size() <= utf8.size(), Escaped(utf8));
    // Nothing was replaced exactly when the converted text reads back as the input.
    const bool replaced = cp1251::ToUtf8(converted) != utf8;
    const auto tried = cp1251::TryFromUtf8(utf8);
    FUZZ_CHECK(tried.has_value() == !replaced, Escaped(utf8));
    if (tried) FUZZ_CHECK(*tried == converted, Escaped(utf8));

    bool exact = false;
    FUZZ_CHECK(LayerConvert(utf8, exact) == converted, Escaped(utf8) + " -> " + Escaped(converted));
    FUZZ_CHECK(exact == !replaced, Escaped(utf8));
    std::string appended = "x";
    FUZZ_CHECK(oledb_backend::AppendCp1251(utf8, appended) == !replaced, Escaped(utf8));
    FUZZ_CHECK(appended == "x" + converted, Escaped(utf8));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckCp1251Text(bytes);
    CheckUtf8Text(bytes);
    return 0;
}
