#pragma once
// A host script's view of an object: properties and methods reached by name, as the host's script
// engine reaches them (lookup, then the numbered operation). Names and texts are CP1251.
// Failures a script would see as run-time errors are collected by CBLModule (host_errors).

#include <initializer_list>
#include <string>

#include "platform/runtime/context.h"

class ScriptObject {
public:
    // Creates an object by a registered class name; Valid() is false when the name is unknown.
    static ScriptObject Create(const char* class_name);
    ScriptObject() = default;  // holds no object
    explicit ScriptObject(CValue value) : value_(std::move(value)) {}

    bool Valid() const { return value_.GetContext() != nullptr; }
    const CValue& value() const { return value_; }
    CBLContext* context() const { return value_.GetContext(); }

    // False when the object has no such member or the host operation reports failure.
    bool Set(const char* property, const CValue& value);
    bool Get(const char* property, CValue& value) const;
    bool Call(const char* method, std::initializer_list<CValue> args = {});
    bool CallFunction(const char* method, CValue& result, std::initializer_list<CValue> args = {});

    static CValue Text(const std::string& cp1251_text);
    static CValue Number(long number);

private:
    bool Invoke(const char* method, CValue* result, std::initializer_list<CValue> args);
    CValue value_;
};
