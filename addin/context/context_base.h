#pragma once
// The non-template side of every script object CContext<T>. Outside code that holds a script
// object (the grid) reaches the native object's interfaces through it:
//   auto* base = dynamic_cast<Utils1s::Context::CContextBase*>(value.GetContext());
//   boost::shared_ptr<void> out;
//   if (base && base->GetInterface(kDataProviderInterface, out))
//       provider = boost::static_pointer_cast<CDataProvider>(out);

#include <boost/shared_ptr.hpp>

#include "addin/context/member_registry.h"

namespace Utils1s::Context {

// Interface kinds of GetInterface.
constexpr int kDataProviderInterface = 1;    // out holds a boost::shared_ptr<CDataProvider>
constexpr int kV7DataProviderInterface = 2;  // out holds a boost::shared_ptr<CV7DataProvider>

class CContextBase {
public:
    // The class's members; valid while the module is loaded.
    virtual const MemberRegistry& GetMembers() const = 0;
    virtual ~CContextBase() = default;
    // Fills out with a pointer sharing the native object, seen as the interface of kind, and answers
    // true; false, out untouched, when the object does not offer that kind.
    virtual bool GetInterface(int kind, boost::shared_ptr<void>& out) = 0;
};

// Runs inside a catch-all around a handler call, with the handler's exception current: turns an
// ArgumentTypeMismatchException into the script error "Неверный тип аргумента (...)" and returns;
// any other exception leaves unchanged. So does the host's error if it leaves RaiseError by throwing.
void ReportHandlerException();

}  // namespace Utils1s::Context
