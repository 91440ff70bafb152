#pragma once
// The handler templates: one method handler over its parameter list, named by arity for the member
// tables (MethodHandler0, MethodHandler1, MethodHandler2), and a property (getter and/or setter).
// A handler calls a member function of T or of a base of T (const or not) on the object it is
// given; converted arguments live in locals for the one call, so nothing is kept afterwards and a
// handler may be reentered. Conversions: addin/context/converters.h.

#include <array>
#include <cstddef>
#include <functional>
#include <tuple>
#include <type_traits>
#include <utility>

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

// What holds one converted argument of parameter type A for the length of a call.
template <class A>
using ArgumentHolder = decltype(ConverterFor<A>::FromHost(std::declval<const CValue&>()));

// Calls member and converts its result into result, unless R is void.
template <class R, class Member, class... Args>
void CallAndConvert(const Member& member, CValue& result, Args&&... args) {
    if constexpr (std::is_void_v<R>) {
        member(std::forward<Args>(args)...);
    } else {
        ConverterFor<R>::ToHost(member(std::forward<Args>(args)...), result);
    }
}

// A method with parameters A... and a default-argument policy H... for each of them.
template <class T, class R, class Params, class Policies>
class MethodHandler;

template <class T, class R, class... A, class... H>
class MethodHandler<T, R, std::tuple<A...>, std::tuple<H...>> : public MethodHandlerBase<T> {
    static_assert(sizeof...(A) == sizeof...(H), "one default-argument policy per parameter");
    static constexpr int kArity = static_cast<int>(sizeof...(A));

public:
    explicit MethodHandler(std::function<R(T&, A...)> member) : member_(std::move(member)) {}
    bool Call(T& object, CValue& result, CValue** args) override {
        CallWith(object, result, args, std::index_sequence_for<A...>());
        return true;
    }
    int GetParamCount() const override { return kArity; }
    bool GetDefArg(int index, CValue& value) const override {
        static constexpr std::array<bool (*)(CValue&), sizeof...(H)> kDefaults{&DefaultArgument<H>::Get...};
        return index >= 0 && index < kArity && kDefaults[static_cast<std::size_t>(index)](value);
    }
    bool HasResult() const override { return !std::is_void_v<R>; }

private:
    // Argument I goes through the converter of parameter I. A braced list is evaluated left to right,
    // so a failing conversion ends the call before the next one and before the member runs.
    template <std::size_t... I>
    void CallWith(T& object, CValue& result, [[maybe_unused]] CValue** args, std::index_sequence<I...>) {
        [[maybe_unused]] std::tuple<ArgumentHolder<A>...> converted{ConverterFor<A>::FromHost(*args[I])...};
        CallAndConvert<R>(member_, result, object, std::get<I>(converted)...);
    }

    std::function<R(T&, A...)> member_;
};

// The arity-named handlers of the member tables.
template <class T, class R>
using MethodHandler0 = MethodHandler<T, R, std::tuple<>, std::tuple<>>;
template <class T, class R, class A1, class H1>
using MethodHandler1 = MethodHandler<T, R, std::tuple<A1>, std::tuple<H1>>;
template <class T, class R, class A1, class A2, class H1, class H2>
using MethodHandler2 = MethodHandler<T, R, std::tuple<A1, A2>, std::tuple<H1, H2>>;

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
