// Owners for the Win32 objects the program makes. Each object is held by
// exactly one owner from the call that creates it to its release: owners move
// and never copy, so nothing is released twice, and every way out of a scope
// releases what the scope made.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace kelvorin::win32 {

// One owned object; Traits says what "none" is and how the object is released.
template <typename Traits>
class Unique {
public:
    using Pointer = typename Traits::Pointer;

    Unique() = default;
    explicit Unique(Pointer p) : p_(p) {}
    ~Unique() { reset(); }
    Unique(Unique&& other) noexcept : p_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;

    Pointer get() const { return p_; }
    explicit operator bool() const { return p_ != Traits::None(); }
    // Gives the object up without releasing it (the system released it, or
    // took it over).
    Pointer release() { return std::exchange(p_, Traits::None()); }
    // The object stays readable while it is released: a window being
    // destroyed still asks its owner for its handle in its last messages.
    void reset(Pointer p = Traits::None()) {
        if (p_ != Traits::None() && p_ != p) Traits::Release(p_);
        p_ = p;
    }

private:
    Pointer p_ = Traits::None();
};

template <typename P, auto Fn>
struct NullIsNone {
    using Pointer = P;
    static constexpr Pointer None() { return nullptr; }
    static void Release(Pointer p) { Fn(p); }
};

struct FileTraits {
    using Pointer = HANDLE;
    static Pointer None() { return INVALID_HANDLE_VALUE; }
    static void Release(Pointer p) { ::CloseHandle(p); }
};

// The release calls as plain functions: an imported function's address is no
// constant a template may take.
namespace release {
inline void Window(HWND h) { ::DestroyWindow(h); }
inline void Icon(HICON h) { ::DestroyIcon(h); }
inline void Cursor(HCURSOR h) { ::DestroyCursor(h); }
inline void Menu(HMENU h) { ::DestroyMenu(h); }
inline void Kernel(HANDLE h) { ::CloseHandle(h); }
inline void ImageList(HIMAGELIST h) { ImageList_Destroy(h); }
inline void Dc(HDC h) { ::DeleteDC(h); }
inline void Global(HGLOBAL h) { ::GlobalFree(h); }
inline void GdiObject(HGDIOBJ h) { ::DeleteObject(h); }
inline void Local(wchar_t* h) { ::LocalFree(h); }
}  // namespace release

using UniqueWindow = Unique<NullIsNone<HWND, &release::Window>>;
using UniqueIcon = Unique<NullIsNone<HICON, &release::Icon>>;
using UniqueCursor = Unique<NullIsNone<HCURSOR, &release::Cursor>>;
// A menu made with CreateMenu or CreatePopupMenu (never one the system lends).
using UniqueMenu = Unique<NullIsNone<HMENU, &release::Menu>>;
// A kernel handle whose failure value is null (OpenProcess, CreateEvent, ...).
using UniqueHandle = Unique<NullIsNone<HANDLE, &release::Kernel>>;
// A file, whose failure value is INVALID_HANDLE_VALUE.
using UniqueFile = Unique<FileTraits>;
using UniqueImageList = Unique<NullIsNone<HIMAGELIST, &release::ImageList>>;
// A DC made with CreateCompatibleDC or CreateDC.
using UniqueDc = Unique<NullIsNone<HDC, &release::Dc>>;
using UniqueGlobal = Unique<NullIsNone<HGLOBAL, &release::Global>>;
// Text the system allocated for the caller (FormatMessage's buffer).
using UniqueLocalText = Unique<NullIsNone<wchar_t*, &release::Local>>;

// A GDI object of one kind (font, bitmap, brush, ...).
template <typename T>
using UniqueGdi = Unique<NullIsNone<T, &release::GdiObject>>;
using UniqueFont = UniqueGdi<HFONT>;
using UniqueBitmap = UniqueGdi<HBITMAP>;

// The two ways to borrow a window's DC: its client area, or all of it (frame too).
namespace borrow {
inline HDC ClientDc(HWND h) { return ::GetDC(h); }
inline HDC WholeDc(HWND h) { return ::GetWindowDC(h); }
}  // namespace borrow

// A window's DC, borrowed for the scope and handed back on leaving it.
template <HDC (*Get)(HWND)>
class ScopedDc {
public:
    explicit ScopedDc(HWND window) : window_(window), dc_(Get(window)) {}
    ~ScopedDc() {
        if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
    }
    ScopedDc(const ScopedDc&) = delete;
    ScopedDc& operator=(const ScopedDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};
using ScopedGetDc = ScopedDc<&borrow::ClientDc>;
using ScopedGetWindowDc = ScopedDc<&borrow::WholeDc>;

// An object selected into a DC for the scope; the previous one goes back
// before the DC or the object is released.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(dc != nullptr && object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
    ~ScopedSelectObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace kelvorin::win32
