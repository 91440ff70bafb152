#include "tools/script/objects/collection_args.h"

#include <cstdint>

#include "tools/script/objects/collection_errors.h"

namespace script {

CValue* ArgSlot(CValue** args, int i) {
    // The array ends with a null after the method's arguments: never read past it.
    for (int j = 0; args != nullptr && j <= i; ++j)
        if (args[j] == nullptr) return nullptr;
    return args ? args[i] : nullptr;
}

const CValue& ArgAt(CValue** args, int i) {
    static const CValue kEmpty;
    const CValue* slot = ArgSlot(args, i);
    return slot ? *slot : kEmpty;
}

bool IsGiven(CValue** args, int i) { return ArgAt(args, i).GetKind() != CValue::Kind::Empty; }

std::optional<std::size_t> IndexArg(const CValue& value, std::size_t count, void (*out_of_range)(const CValue&),
                                    std::string_view method) {
    if (value.GetKind() != CValue::Kind::Number) {
        collection_errors::WrongArgument(method);
        return std::nullopt;
    }
    const CNumeric number = value.GetNumeric();
    const std::int64_t whole = number.ToInt64();
    if (CNumeric(static_cast<long long>(whole)) != number || whole < 1 ||
        static_cast<std::uint64_t>(whole) > count) {
        out_of_range(value);
        return std::nullopt;
    }
    return static_cast<std::size_t>(whole - 1);
}

std::optional<bool> DescendingArg(const CValue& value) {
    if (value.GetKind() == CValue::Kind::Empty) return false;
    const std::string_view text = value.GetKind() == CValue::Kind::String ? value.m_String.view() : "?";
    if (text == "+") return false;
    if (text == "-") return true;
    collection_errors::BadSortDirection(value.GetString().view());
    return std::nullopt;
}

}  // namespace script
