#include "platform/runtime/script_object.h"

#include <vector>

ScriptObject ScriptObject::Create(const char* class_name) {
    CValue value;
    CBLContext::CreateByName(class_name, value);
    return ScriptObject(value);
}

bool ScriptObject::Set(const std::string& property, const CValue& value) { return Write(property, value).code != 0; }

bool ScriptObject::Get(const std::string& property, CValue& value) const {
    Reply reply = Read(property);
    if (reply.code == 0) return false;
    value = reply.value;
    return true;
}

bool ScriptObject::CallFunction(const std::string& method, CValue& result, std::initializer_list<CValue> args) {
    Reply reply = Dispatch(method, args, As::Function);
    if (reply.code == 0) return false;
    result = reply.value;
    return true;
}

bool ScriptObject::Call(const std::string& method, std::initializer_list<CValue> args) {
    return Dispatch(method, args, As::Procedure).code != 0;
}

ScriptObject::Reply ScriptObject::Write(const std::string& property, const CValue& value) {
    Reply reply;
    CBLContext* object = context();
    if (!object) return reply;
    reply.index = object->LookupProperty(property.c_str());
    if (reply.index >= 0) reply.code = object->WriteProperty(reply.index, value);
    return reply;
}

ScriptObject::Reply ScriptObject::Read(const std::string& property) const {
    Reply reply;
    CBLContext* object = context();
    if (!object) return reply;
    reply.index = object->LookupProperty(property.c_str());
    if (reply.index >= 0) reply.code = object->ReadProperty(reply.index, reply.value);
    return reply;
}

ScriptObject::Reply ScriptObject::Invoke(const std::string& method, std::initializer_list<CValue> args) {
    return Dispatch(method, args, As::Declared);
}

// As the host calls a method: looked up by name, the arguments as an array of value pointers, ended
// by a null.
ScriptObject::Reply ScriptObject::Dispatch(const std::string& method, std::initializer_list<CValue> args, As as) {
    Reply reply;
    CBLContext* object = context();
    if (!object) return reply;
    reply.index = object->LookupMethod(method.c_str());
    if (reply.index < 0 || object->MethodArity(reply.index) != static_cast<int>(args.size())) return reply;
    std::vector<CValue> values(args);
    std::vector<CValue*> pointers;
    for (CValue& v : values) pointers.push_back(&v);
    pointers.push_back(nullptr);
    if (as == As::Declared) as = object->MethodHasResult(reply.index) ? As::Function : As::Procedure;
    reply.code = as == As::Function ? object->InvokeAsFunction(reply.index, reply.value, pointers.data())
                                    : object->InvokeAsProcedure(reply.index, pointers.data());
    return reply;
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
