// UTF-8 inside the driver, UTF-16 at the Win32 boundary.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace e2e {

inline std::string Utf8(std::wstring_view w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

inline std::wstring Wide(std::string_view s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring w(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), w.data(), n);
    return w;
}

// A window handle as the program writes it: the signed 32-bit value in decimal.
inline std::string HandleText(HWND h) {
    return std::to_string(static_cast<int32_t>(reinterpret_cast<intptr_t>(h)));
}

// The reverse, by sign extension as on x64 Windows.
inline HWND HandleFromValue(int64_t value) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(value)));
}

}  // namespace e2e
