#include "addin/host/services.h"

#include "addin/host/services_1s.h"

Utils::CSystemInterface* GetSystemInterface() {
    static Utils1s::CSystemInterface system;  // destroyed with the module's statics at unload
    return &system;
}

Utils::CUserInterface* GetUserInterface() {
    static auto* const user = new Utils1s::CUserInterface;  // deliberately never destroyed
    return user;
}
