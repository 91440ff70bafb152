#pragma once
// Helpers for the collections' unit tests: host values from UTF-8 and numbers, the Russian text of
// the first run-time error raised through the host (and forgetting it), a method call by name with
// the argument array the host passes (null-ended, by pointer, so a method can write back).

#include <string>
#include <vector>

#include "platform/runtime/context.h"
#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"
#include "tools/script/bridge/host_text.h"

namespace collection_test {

inline CValue Text(const std::string& utf8) { return script::TextValue(cp1251::FromUtf8(utf8)); }
inline CValue Number(long long n) { return script::NumberValue(CNumeric(n)); }
inline CValue Decimal(const char* text) { return script::NumberValue(CNumeric::Parse(text)); }
inline std::string Utf8(const CValue& value) { return cp1251::ToUtf8(std::string(value.GetString().view())); }

// The first error raised since the last call, UTF-8; "" when none.
inline std::string RaisedError() {
    const std::string text = host_errors::Raised().empty() ? std::string() : host_errors::Raised().front().text;
    host_errors::Clear();
    return cp1251::ToUtf8(text);
}

// Calls a method by its (UTF-8) name with args, which it may change; the result of a function.
inline CValue Call(CBLContext& object, const std::string& name, std::vector<CValue>& args) {
    const int index = object.LookupMethod(cp1251::FromUtf8(name).c_str());
    std::vector<CValue*> pointers;
    for (CValue& arg : args) pointers.push_back(&arg);
    pointers.push_back(nullptr);
    CValue result;
    if (object.MethodHasResult(index))
        object.InvokeAsFunction(index, result, pointers.data());
    else
        object.InvokeAsProcedure(index, pointers.data());
    return result;
}

}  // namespace collection_test
