#pragma once
// How deep the running thread's stack may still go. The parser's and the interpreter's recursive
// functions ask before going one level deeper, so input that would nest past the stack ends in the
// language's error instead of a crash. The budget is the stack the thread has left below the frame
// that made the guard, less a reserve for what runs below the last check without recursing (host
// objects, decimal arithmetic, raising the error); it counts real bytes, so large frames (address
// sanitizer) simply allow fewer levels. Use it on the thread that made it.

#include <cstddef>
#include <cstdint>

namespace script {

class StackGuard {
public:
    StackGuard();

    // True once the caller's frame lies deeper than the budget allows.
    bool Exhausted() const { return reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)) < limit_; }

private:
    std::uintptr_t limit_;  // the lowest frame address allowed (stacks grow down on our targets)
};

}  // namespace script
