#pragma once
// The two handler interfaces the script-class wrapper calls, their tags (what the member tables
// store), the default-argument policies and the one exception of the binding.
// One handler serves every object of its class; the object comes in on each call.

#include <stdexcept>
#include <string>

#include "addin/host/platform.h"

namespace Utils1s::Context {

// Thrown by a converter when a host value cannot become the native parameter; the wrapper turns
// it into the script error "Неверный тип аргумента (" + what() + ")". what(): CP1251.
class ArgumentTypeMismatchException : public std::logic_error {
public:
    explicit ArgumentTypeMismatchException(const std::string& message) : std::logic_error(message) {}
};

// Default-argument policies, passed as template arguments of the method handlers.
struct DefArgHandling {
    enum MustBeDefined_ {};  // the parameter has no default value
};

class MethodHandlerTag {
public:
    virtual ~MethodHandlerTag() = default;
};

template <class T>
class MethodHandlerBase : public MethodHandlerTag {
public:
    ~MethodHandlerBase() override = default;
    // Converts args (GetParamCount() of them, not checked), calls the member, converts its result.
    // True when it returns; throws ArgumentTypeMismatchException for a wrong argument type, and lets
    // the member's own exceptions pass.
    virtual bool Call(T& object, CValue& result, CValue** args) = 0;
    virtual int GetParamCount() const = 0;
    // Whether parameter index has a default; if so it is stored in value, else value is untouched.
    virtual bool GetDefArg(int index, CValue& value) const = 0;
    // True for a function, false for a procedure.
    virtual bool HasResult() const = 0;
};

// No virtual operations: the tables cast it back to PropHandlerBase<T> (its only derived base),
// and the shared pointers that own handlers delete them as their real type.
class PropHandlerTag {};

template <class T>
class PropHandlerBase : public PropHandlerTag {
public:
    // False, value untouched, without a getter.
    virtual bool GetValue(T& object, CValue& value) = 0;
    // False, nothing called, without a setter; may throw like MethodHandlerBase::Call.
    virtual bool SetValue(T& object, const CValue& value) = 0;
    virtual bool IsReadable() const = 0;
    virtual bool IsWritable() const = 0;
    virtual ~PropHandlerBase() = default;
};

}  // namespace Utils1s::Context
