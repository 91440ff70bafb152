#pragma once
// The binding's conversion table: one converter per native type, both directions side by side.
//   FromHost(const CValue&): a host argument as something the native parameter binds to
//                            (throws ArgumentTypeMismatchException when it cannot be one);
//   ToHost(native, CValue&): a native result into the host's result value.
// Converter<X> is looked up by the bare type (no const, no reference). Adding a native type means
// adding one converter here.

#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>

#include <boost/shared_ptr.hpp>

#include "addin/context/context.h"
#include "addin/host/oledb.h"
#include "addin/host/platform.h"

namespace Utils1s::Context {

template <class X>
struct Converter;  // a native type without a converter does not compile

template <class X>
using ConverterFor = Converter<std::remove_cv_t<std::remove_reference_t<X>>>;

// Every value is taken through its numeric view as a 32-bit integer: -1 becomes 4294967295.
template <>
struct Converter<unsigned> {
    static unsigned FromHost(const CValue& value) {
        return static_cast<std::uint32_t>(static_cast<long>(value.GetNumeric()));
    }
    static void ToHost(unsigned number, CValue& out) { out = CNumeric(static_cast<std::int32_t>(number)); }
};

// Non-zero numeric view is true; results are the numbers 1 and 0.
template <>
struct Converter<bool> {
    static bool FromHost(const CValue& value) { return static_cast<long>(value.GetNumeric()) != 0; }
    static void ToHost(bool flag, CValue& out) { out = flag ? 1L : 0L; }
};

// In: the whole host text, NULs included. Out: a text value cut at the first NUL.
template <>
struct Converter<std::string> {
    static std::string FromHost(const CValue& value);
    static void ToHost(const std::string& text, CValue& out);
};

// In: the connection object the value holds; anything else is a type mismatch. No results.
template <>
struct Converter<COLEDBData*> {
    static COLEDBData* FromHost(const CValue& value);
};

// In: the caller's value itself, not a copy. No results.
template <>
struct Converter<CValue> {
    static std::reference_wrapper<const CValue> FromHost(const CValue& value) { return value; }
};

// Out: a new script object sharing the native object; the value holds its only reference.
// An empty pointer (the member has already raised its error) gives an empty value: a script object
// around nothing would fail on its first use.
template <class U>
struct Converter<boost::shared_ptr<U>> {
    static void ToHost(const boost::shared_ptr<U>& object, CValue& out) {
        if (!object) {
            out.Reset();
            return;
        }
        out.AssignContext(new CContext<U>(object));
        out.GetContext()->DecrRef();
    }
};

}  // namespace Utils1s::Context
