#include "addin/host/services.h"

#include "addin/host/services_1s.h"

#include <type_traits>

Utils::CSystemInterface* GetSystemInterface() {
    static Utils1s::CSystemInterface system;  // destroyed with the module's statics at unload
    return &system;
}

Utils::CUserInterface* GetUserInterface() {
    // Stateless with a trivial destructor: nothing runs at unload, so the pointer stays usable by
    // code that runs then, and nothing is left on the heap when the module file is unloaded.
    static Utils1s::CUserInterface user;
    static_assert(std::is_trivially_destructible_v<Utils1s::CUserInterface>);
    return &user;
}
