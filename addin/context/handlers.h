#pragma once
// The handler templates: a method of arity 0, 1 or 2, and a property (getter and/or setter).
// A handler calls a member function of T or of a base of T (const or not) on the object it is
// given; converted arguments live in locals for the one call, so nothing is kept afterwards and a
// handler may be reentered. Conversions: addin/context/converters.h.

#include <functional>
#include <type_traits>

#include "addin/context/converters.h"
#include "addin/context/handler_base.h"

namespace Utils1s::Context {

// Default value of a parameter under policy H; false leaves value untouched.
template <class H>
struct DefaultArgument;
template <>
struct DefaultArgument<DefArgHandling::MustBeDefined_> {
    static bool Get(CValue&) { return false; }
};

// Calls member and converts its result into result, unless R is void.
template <class R, class Member, class... Args>
void CallAndConvert(const Member& member, CValue& result, Args&&... args) {
    if constexpr (std::is_void_v<R>) {
        member(std::forward<Args>(args)...);
    } else {
        ConverterFor<R>::ToHost(member(std::forward<Args>(args)...), result);
    }
}

template <class T, class R>
class MethodHandler0 : public MethodHandlerBase<T> {
public:
    explicit MethodHandler0(std::function<R(T&)> member) : member_(std::move(member)) {}
    bool Call(T& object, CValue& result, CValue**) override {
        CallAndConvert<R>(member_, result, object);
        return true;
    }
    int GetParamCount() const override { return 0; }
    bool GetDefArg(int, CValue&) const override { return false; }
    bool HasResult() const override { return !std::is_void_v<R>; }

private:
    std::function<R(T&)> member_;
};

template <class T, class R, class A1, class H1>
class MethodHandler1 : public MethodHandlerBase<T> {
public:
    explicit MethodHandler1(std::function<R(T&, A1)> member) : member_(std::move(member)) {}
    bool Call(T& object, CValue& result, CValue** args) override {
        auto&& arg1 = ConverterFor<A1>::FromHost(*args[0]);
        CallAndConvert<R>(member_, result, object, arg1);
        return true;
    }
    int GetParamCount() const override { return 1; }
    bool GetDefArg(int index, CValue& value) const override {
        return index == 0 && DefaultArgument<H1>::Get(value);
    }
    bool HasResult() const override { return !std::is_void_v<R>; }

private:
    std::function<R(T&, A1)> member_;
};

template <class T, class R, class A1, class A2, class H1, class H2>
class MethodHandler2 : public MethodHandlerBase<T> {
public:
    explicit MethodHandler2(std::function<R(T&, A1, A2)> member) : member_(std::move(member)) {}
    bool Call(T& object, CValue& result, CValue** args) override {
        // In parameter order: a failing first conversion ends the call before the second.
        auto&& arg1 = ConverterFor<A1>::FromHost(*args[0]);
        auto&& arg2 = ConverterFor<A2>::FromHost(*args[1]);
        CallAndConvert<R>(member_, result, object, arg1, arg2);
        return true;
    }
    int GetParamCount() const override { return 2; }
    bool GetDefArg(int index, CValue& value) const override {
        if (index == 0) return DefaultArgument<H1>::Get(value);
        if (index == 1) return DefaultArgument<H2>::Get(value);
        return false;
    }
    bool HasResult() const override { return !std::is_void_v<R>; }

private:
    std::function<R(T&, A1, A2)> member_;
};

// S: the setter's parameter type; G: the getter's result type. Either member may be absent (empty).
template <class T, class S, class G>
class PropHandler : public PropHandlerBase<T> {
public:
    PropHandler(std::function<G(T&)> getter, std::function<void(T&, S)> setter)
        : getter_(std::move(getter)), setter_(std::move(setter)) {}
    bool GetValue(T& object, CValue& value) override {
        if (!getter_) return false;
        ConverterFor<G>::ToHost(getter_(object), value);
        return true;
    }
    bool SetValue(T& object, const CValue& value) override {
        if (!setter_) return false;
        auto&& converted = ConverterFor<S>::FromHost(value);
        setter_(object, converted);
        return true;
    }
    bool IsReadable() const override { return static_cast<bool>(getter_); }
    bool IsWritable() const override { return static_cast<bool>(setter_); }

private:
    std::function<G(T&)> getter_;
    std::function<void(T&, S)> setter_;
};

}  // namespace Utils1s::Context
