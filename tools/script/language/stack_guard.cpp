#include "tools/script/language/stack_guard.h"

#include <pthread.h>

#include <algorithm>

namespace script {

namespace {

// At least this much stays free below the last check; an eighth of the stack when that is more.
constexpr std::size_t kMinimumReserve = 256 * 1024;
// Assumed left when the thread's stack cannot be asked for.
constexpr std::size_t kAssumedStack = 1024 * 1024;

// The lowest address of the running thread's stack and its size; false when unknown.
bool ThreadStack(std::uintptr_t& low, std::size_t& size) {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0) return false;
    void* address = nullptr;
    const bool known = pthread_attr_getstack(&attr, &address, &size) == 0;
    pthread_attr_destroy(&attr);
    low = reinterpret_cast<std::uintptr_t>(address);
    return known && size != 0;
}

}  // namespace

StackGuard::StackGuard() {
    const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    std::uintptr_t low = 0;
    std::size_t size = 0;
    if (!ThreadStack(low, size) || here <= low || here - low > size) {
        limit_ = here - kAssumedStack / 2;
        return;
    }
    const std::size_t left = here - low;
    const std::size_t reserve = std::min(std::max(kMinimumReserve, size / 8), left / 2);
    limit_ = low + reserve;
}

}  // namespace script
