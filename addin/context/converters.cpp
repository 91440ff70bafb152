#include "addin/context/converters.h"

#include <cstring>

#include "text/cp1251_literal.h"

namespace Utils1s::Context {

std::string Converter<std::string>::FromHost(const CValue& value) {
    const CString text = value.GetString();
    return std::string(text.c_str(), static_cast<std::size_t>(text.GetLength()));
}

void Converter<std::string>::ToHost(const std::string& text, CValue& out) {
    out = "";  // makes the value a text; its storage is then filled directly
    const int length = static_cast<int>(text.size());
    char* buffer = out.m_String.GetBuffer(length + 1);
    std::memcpy(buffer, text.data(), text.size());
    buffer[length] = '\0';
    out.m_String.ReleaseBuffer();
}

COLEDBData* Converter<COLEDBData*>::FromHost(const CValue& value) {
    static constexpr cp1251::Literal kExpectedConnection{"Ожидается объект типа OLEDBData"};
    auto* connection = dynamic_cast<COLEDBData*>(value.GetContext());
    if (connection == nullptr) throw ArgumentTypeMismatchException(kExpectedConnection.str());
    return connection;
}

}  // namespace Utils1s::Context
