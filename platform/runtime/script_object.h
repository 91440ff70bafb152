#pragma once
// A host script's view of an object: properties and methods reached by name, as the host's script
// engine reaches them (lookup, then the numbered operation). Names and texts are CP1251.
// Failures a script would see as run-time errors are collected by CBLModule (host_errors).

#include <initializer_list>
#include <string>

#include "platform/runtime/context.h"

class ScriptObject {
public:
    // What the object answered to one operation, as the host's engine sees it: index is the member's
    // number (-1: no such name, nothing was called); code is what the operation returned (1 done,
    // 0 refused or not called); value is what a read or a function gave (empty otherwise).
    struct Reply {
        int index = -1;
        int code = 0;
        CValue value;
    };

    // Creates an object by a registered class name; Valid() is false when the name is unknown.
    static ScriptObject Create(const char* class_name);
    ScriptObject() = default;  // holds no object
    explicit ScriptObject(CValue value) : value_(std::move(value)) {}

    bool Valid() const { return value_.GetContext() != nullptr; }
    const CValue& value() const { return value_; }
    CBLContext* context() const { return value_.GetContext(); }

    // False when the object has no such member or the host operation reports failure.
    bool Set(const std::string& property, const CValue& value);
    bool Get(const std::string& property, CValue& value) const;
    bool Call(const std::string& method, std::initializer_list<CValue> args = {});
    bool CallFunction(const std::string& method, CValue& result, std::initializer_list<CValue> args = {});

    // The same operations with the object's own answers, for callers that check them. Invoke calls a
    // method as the script engine does: as a function when it has a result, else as a procedure.
    Reply Write(const std::string& property, const CValue& value);
    Reply Read(const std::string& property) const;
    Reply Invoke(const std::string& method, std::initializer_list<CValue> args = {});

    static CValue Text(const std::string& cp1251_text);
    static CValue Number(long number);

private:
    enum class As { Function, Procedure, Declared };
    // Calls method with args when its argument count is theirs; code 0 otherwise.
    Reply Dispatch(const std::string& method, std::initializer_list<CValue> args, As as);
    CValue value_;
};
