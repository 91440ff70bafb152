#pragma once
// The few Windows types and calls the module uses: window handles with window procedures,
// SendMessageA delivered synchronously, as on the host's one user-interface thread.

#include <cstdint>

using BOOL = int;
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;  // Windows' long: 32 bits on the host's platform, whatever long is here
using LPVOID = void*;
using LPCSTR = const char*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

constexpr UINT WM_USER = 0x0400;

struct HWND__;
using HWND = HWND__*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;

// A window procedure: receives every message sent to its window.
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM, void* user);

namespace win {
// Makes a window whose messages go to proc (with user passed back); the caller destroys it.
HWND CreateMessageWindow(WNDPROC proc, void* user);
void DestroyMessageWindow(HWND window);
bool IsWindow(HWND window);
}  // namespace win

// Calls the window's procedure at once and returns its answer; 0 for a window that does not exist.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Reasons the system calls a module's entry point with.
constexpr DWORD DLL_PROCESS_DETACH = 0;
constexpr DWORD DLL_PROCESS_ATTACH = 1;
constexpr DWORD DLL_THREAD_ATTACH = 2;
constexpr DWORD DLL_THREAD_DETACH = 3;
