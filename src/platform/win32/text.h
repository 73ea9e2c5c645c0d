// Text and handle conversions at the Win32 boundary: UTF-8 inside the program,
// UTF-16 for the program's own windows, the ANSI code page for other programs.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/types.h"

namespace kelvorin::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
std::string FromAnsi(std::string_view ansi);
// Characters the ANSI code page cannot hold become its default character.
std::string ToAnsi(std::string_view utf8);

// Drops a lead byte left dangling at the end of a cut double-byte text.
size_t CompleteAnsiLength(const char* text, size_t length);

inline HWND ToHwnd(WindowHandle h) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(h.value));
}
inline WindowHandle FromHwnd(HWND h) {
    return WindowHandle(static_cast<int32_t>(reinterpret_cast<intptr_t>(h)));
}
template <typename H>
H ToNative(uint64_t value) {
    return reinterpret_cast<H>(static_cast<uintptr_t>(value));
}
template <typename H>
uint64_t FromNative(H h) {
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(h));
}

}  // namespace kelvorin::win32
