#include "tools/script/bridge/object_calls.h"

#include "platform/runtime/module.h"
#include "tools/script/bridge/russian.h"
#include "tools/script/bridge/script_error.h"

namespace script {

namespace {

[[noreturn]] void Fail(std::string_view russian, const std::string& name, const std::string& english) {
    throw RuntimeError{{std::string(russian) + " (" + name + ")", english + " (" + name + ")"}};
}

// Runs one host operation: an error the host raised by throwing (its own mechanism) and one it
// recorded both come out as the script's run-time error.
template <typename Operation>
auto Guarded(Operation operation) {
    try {
        auto result = operation();
        ThrowRaisedErrors();
        return result;
    } catch (const HostRuntimeError& error) {
        host_errors::Clear();
        throw RuntimeError{{error.what(), ""}};
    }
}

}  // namespace

void ThrowRaisedErrors() {
    if (host_errors::Raised().empty()) return;
    std::string text = host_errors::Raised().front().text;
    host_errors::Clear();
    throw RuntimeError{{std::move(text), ""}};
}

CValue ReadProperty(CBLContext& object, const std::string& name) {
    const int index = object.LookupProperty(name.c_str());
    if (index < 0) Fail(RU("Поле агрегатного объекта не обнаружено"), name, "the object has no such property");
    CValue value;
    const int done = Guarded([&] { return object.ReadProperty(index, value); });
    if (!done) Fail(RU("Значение поля агрегатного объекта не может быть прочитано"), name, "the property cannot be read");
    return value;
}

void WriteProperty(CBLContext& object, const std::string& name, const CValue& value) {
    const int index = object.LookupProperty(name.c_str());
    if (index < 0) Fail(RU("Поле агрегатного объекта не обнаружено"), name, "the object has no such property");
    if (!object.CanWriteProperty(index))
        Fail(RU("Значение поля агрегатного объекта не может быть изменено"), name, "the property cannot be written");
    const int done = Guarded([&] { return object.WriteProperty(index, value); });
    if (!done)
        Fail(RU("Значение поля агрегатного объекта не может быть изменено"), name, "the property cannot be written");
}

CValue CallMethod(CBLContext& object, const std::string& name, std::vector<Argument>& args, bool want_result) {
    const int index = object.LookupMethod(name.c_str());
    if (index < 0) Fail(RU("Метод агрегатного объекта не обнаружен"), name, "the object has no such method");
    const int arity = object.MethodArity(index);
    if (static_cast<int>(args.size()) > arity)
        Fail(RU("Слишком много фактических параметров"), name, "too many arguments");
    const bool has_result = object.MethodHasResult(index) != 0;
    if (want_result && !has_result)
        Fail(RU("Процедура не может быть вызвана как функция"), name, "a procedure cannot be called as a function");
    // Arguments the script left out, or did not write at all, take the method's default.
    std::vector<CValue> values(static_cast<std::size_t>(arity));
    for (int i = 0; i < arity; ++i) {
        const bool given = i < static_cast<int>(args.size()) && args[static_cast<std::size_t>(i)].given;
        if (given) {
            values[static_cast<std::size_t>(i)] = args[static_cast<std::size_t>(i)].value;
        } else if (!object.MethodDefaultArg(index, i, &values[static_cast<std::size_t>(i)])) {
            Fail(RU("Недостаточно фактических параметров"), name, "too few arguments");
        }
    }
    std::vector<CValue*> pointers;
    pointers.reserve(values.size() + 1);
    for (CValue& v : values) pointers.push_back(&v);
    pointers.push_back(nullptr);
    CValue result;
    const int done = Guarded([&] {
        return has_result ? object.InvokeAsFunction(index, result, pointers.data())
                          : object.InvokeAsProcedure(index, pointers.data());
    });
    if (!done) Fail(RU("Ошибка при вызове метода агрегатного объекта"), name, "the method call failed");
    // The host passes every argument by reference: what the method left in one goes back to the caller.
    for (std::size_t i = 0; i < args.size() && i < values.size(); ++i)
        if (args[i].given) args[i].value = values[i];
    return result;
}

CValue CreateObject(const std::string& class_name) {
    CValue value;
    const bool made = Guarded([&] { return CBLContext::CreateByName(class_name.c_str(), value); });
    if (!made)
        Fail(RU("Тип объекта не определен"), class_name, "no object type of that name");
    return value;
}

}  // namespace script
