#pragma once
// The non-template side of every script object CContext<T>: CContextBase itself is published with the
// grid interfaces (addin/grid/interface_source.h), since outside code that holds a script object (the
// grid) reaches the native object's interfaces through it:
//   auto provider = GetGridInterface<CDataProvider>(value.GetContext());

#include <boost/shared_ptr.hpp>

#include "addin/context/member_registry.h"
#include "addin/grid/interface_source.h"

namespace Utils1s::Context {

// Runs inside a catch-all around a handler call, with the handler's exception current: turns an
// ArgumentTypeMismatchException into the script error "Неверный тип аргумента (...)" and returns;
// any other exception leaves unchanged. So does the host's error if it leaves RaiseError by throwing.
void ReportHandlerException();

}  // namespace Utils1s::Context
