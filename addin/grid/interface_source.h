#pragma once
// How the grid reaches a provider's interfaces from the script object a script hands it: every
// script object of the module is a CContextBase, and GetInterface gives a pointer that shares the
// provider (so it lives while the grid holds it). Inline, like the other grid interfaces,
// so the grid needs nothing of the module's code.

#include <boost/shared_ptr.hpp>

#include "addin/grid/data_provider.h"

// The kinds GetInterface knows; no other kind is answered.
enum GridInterfaceKind : int {
    kDataProviderInterface = 1,    // out holds a boost::shared_ptr<CDataProvider>
    kV7DataProviderInterface = 2,  // out holds a boost::shared_ptr<CV7DataProvider>
};

namespace Utils1s::Context {

class MemberRegistry;

// The non-template side of every script object CContext<T> (bases: CBLContext, then this). It is
// published beside the grid interfaces because it is the grid's entry to a provider; its virtual
// operations keep this order, which outside code relies on.
class CContextBase {
public:
    // The class's members; valid while the module is loaded.
    virtual const MemberRegistry& GetMembers() const = 0;
    virtual ~CContextBase() = default;
    // Kinds 1 and 2 for the providers: fills out with a pointer sharing the native object, seen as
    // that interface, and answers true (out is empty when there is no object). Every other kind, and
    // every kind on the other classes, gives false and leaves out untouched.
    virtual bool GetInterface(int kind, boost::shared_ptr<void>& out) = 0;
};

}  // namespace Utils1s::Context

// The interface kind that holds each interface type.
template <class Interface>
struct GridInterfaceKindOf;
template <>
struct GridInterfaceKindOf<CDataProvider> {
    static constexpr GridInterfaceKind value = kDataProviderInterface;
};
template <>
struct GridInterfaceKindOf<CV7DataProvider> {
    static constexpr GridInterfaceKind value = kV7DataProviderInterface;
};

// The provider behind a script object seen as Interface, sharing its ownership; empty when the
// object is none, is not the module's, or offers no such interface.
template <class Interface>
boost::shared_ptr<Interface> GetGridInterface(CBLContext* script_object) {
    auto* source = dynamic_cast<Utils1s::Context::CContextBase*>(script_object);
    boost::shared_ptr<void> out;
    if (source == nullptr || !source->GetInterface(GridInterfaceKindOf<Interface>::value, out))
        return boost::shared_ptr<Interface>();
    return boost::static_pointer_cast<Interface>(out);
}
