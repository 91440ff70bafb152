#include "platform/runtime/script_object.h"

#include <vector>

ScriptObject ScriptObject::Create(const char* class_name) {
    CValue value;
    CBLContext::CreateByName(class_name, value);
    return ScriptObject(value);
}

bool ScriptObject::Set(const char* property, const CValue& value) {
    CBLContext* object = context();
    if (!object) return false;
    const int index = object->LookupProperty(property);
    return index >= 0 && object->WriteProperty(index, value) != 0;
}

bool ScriptObject::Get(const char* property, CValue& value) const {
    CBLContext* object = context();
    if (!object) return false;
    const int index = object->LookupProperty(property);
    return index >= 0 && object->ReadProperty(index, value) != 0;
}

bool ScriptObject::CallFunction(const char* method, CValue& result, std::initializer_list<CValue> args) {
    return Invoke(method, &result, args);
}

bool ScriptObject::Call(const char* method, std::initializer_list<CValue> args) {
    return Invoke(method, nullptr, args);
}

// As the host calls a method: looked up by name, the arguments as an array of value pointers; a
// procedure call when there is no result to receive.
bool ScriptObject::Invoke(const char* method, CValue* result, std::initializer_list<CValue> args) {
    CBLContext* object = context();
    if (!object) return false;
    const int index = object->LookupMethod(method);
    if (index < 0 || object->MethodArity(index) != static_cast<int>(args.size())) return false;
    std::vector<CValue> values(args);
    std::vector<CValue*> pointers;
    for (CValue& v : values) pointers.push_back(&v);
    pointers.push_back(nullptr);
    const int done = result ? object->InvokeAsFunction(index, *result, pointers.data())
                            : object->InvokeAsProcedure(index, pointers.data());
    return done != 0;
}

CValue ScriptObject::Text(const std::string& cp1251_text) {
    CValue v;
    v = cp1251_text.c_str();
    return v;
}

CValue ScriptObject::Number(long number) {
    CValue v;
    v = number;
    return v;
}
