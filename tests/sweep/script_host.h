#pragma once
// Reaching a provider as the host and the grid do: its script object made by class name, members
// called by name through the host's dispatch, grid interfaces through GetInterface. A host error
// that leaves by throwing passes through these helpers untouched.

#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "addin/context/context_base.h"
#include "addin/grid/data_provider.h"
#include "tests/support/host_fixture.h"

namespace sweep {

using test_support::Cp;
using test_support::Utf;

inline CValue Text(const std::string& utf8) {
    CValue value;
    value = Cp(utf8).c_str();
    return value;
}

inline CValue Number(long n) {
    CValue value;
    value = n;
    return value;
}

// Writes a property by its (UTF-8) name.
inline void Write(CBLContext* object, const std::string& property, const CValue& value) {
    const int index = object->LookupProperty(Cp(property).c_str());
    ASSERT_GE(index, 0) << property;
    object->WriteProperty(index, value);
}

// Calls a method by its (UTF-8) name; its value, empty for a procedure.
inline CValue Call(CBLContext* object, const std::string& method, std::vector<CValue> args = {}) {
    const int index = object->LookupMethod(Cp(method).c_str());
    EXPECT_GE(index, 0) << method;
    std::vector<CValue*> pointers;
    for (auto& arg : args) pointers.push_back(&arg);
    pointers.push_back(nullptr);
    CValue result;
    if (object->MethodHasResult(index))
        object->InvokeAsFunction(index, result, pointers.data());
    else
        object->InvokeAsProcedure(index, pointers.data());
    return result;
}

// The grid interface of kind (1: CDataProvider, 2: CV7DataProvider) of a script object.
template <class Interface>
boost::shared_ptr<Interface> Grid(const CValue& object, int kind) {
    auto* base = dynamic_cast<Utils1s::Context::CContextBase*>(object.GetContext());
    boost::shared_ptr<void> out;
    if (base == nullptr || !base->GetInterface(kind, out)) return boost::shared_ptr<Interface>();
    return boost::static_pointer_cast<Interface>(out);
}

// The row as the grid shows it: number and every cell's text.
inline std::string Shown(::CDataRow& row) {
    std::string text = std::to_string(row.GetRowId());
    CString cell;
    for (int i = 0; i < row.GetFieldCount(); ++i) text += " | " + Utf(std::string(row.FormatField(i, cell).view()));
    return text;
}

// The names of the fields as the script lists them: "Fields", then "Count" and "GetAt" (from 1).
inline void ListFields(CBLContext* provider, std::vector<std::string>& served) {
    const CValue fields = Call(provider, "Fields");
    CBLContext* collection = fields.GetContext();
    if (collection == nullptr) return;
    const long count = static_cast<long>(Call(collection, "Количество").GetNumeric());
    for (long i = 1; i <= count; ++i) {
        const CValue field = Call(collection, "GetAt", {Number(i)});
        if (field.GetContext() == nullptr) continue;
        CValue name;
        field.GetContext()->ReadProperty(field.GetContext()->LookupProperty("Name"), name);
        served.push_back(std::to_string(i) + ": " + Utf(name.GetString().c_str()));
    }
}

}  // namespace sweep
