#include "platform/win/windows.h"

#include <memory>
#include <unordered_map>

struct HWND__ {
    WNDPROC proc;
    void* user;
};

namespace {
// Live windows; a handle is valid exactly while it is a key here.
std::unordered_map<HWND, std::unique_ptr<HWND__>>& Windows() {
    static std::unordered_map<HWND, std::unique_ptr<HWND__>> windows;
    return windows;
}
}  // namespace

namespace win {

HWND CreateMessageWindow(WNDPROC proc, void* user) {
    auto window = std::make_unique<HWND__>(HWND__{proc, user});
    HWND handle = window.get();
    Windows().emplace(handle, std::move(window));
    return handle;
}

void DestroyMessageWindow(HWND window) { Windows().erase(window); }

bool IsWindow(HWND window) { return window != nullptr && Windows().count(window) != 0; }

}  // namespace win

LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (!win::IsWindow(window)) return 0;
    return window->proc(window, message, wparam, lparam, window->user);
}
