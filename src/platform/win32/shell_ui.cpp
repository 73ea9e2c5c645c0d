#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace kelvorin::win32 {
namespace {

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

// ExtractIcon answers 1 for a file that is no executable, DLL or icon file.
HICON Real(HICON icon) { return reinterpret_cast<UINT_PTR>(icon) <= 1 ? nullptr : icon; }

}  // namespace

IconPair Shell::ExtractIconExA(const std::string& path, int index) {
    HICON large = nullptr;
    HICON small = nullptr;
    std::string ansi = ToAnsi(path);
    // Wine fills the handles with junk for a file without icons, so only a
    // call that reports icons extracted hands its handles on.
    if (::ExtractIconExA(ansi.c_str(), index, &large, &small, 1) == 0) return {};
    return {IconHandle(FromNative(large)), IconHandle(FromNative(small))};
}

int Shell::ExtractIconCount(const std::string& path) {
    std::string ansi = ToAnsi(path);
    auto count = reinterpret_cast<UINT_PTR>(::ExtractIconA(Instance(), ansi.c_str(), UINT(-1)));
    return static_cast<int>(count);
}

IconHandle Shell::ExtractIconA(const std::string& path, int index) {
    std::string ansi = ToAnsi(path);
    return IconHandle(FromNative(Real(::ExtractIconA(Instance(), ansi.c_str(), UINT(index)))));
}

bool Shell::DestroyIcon(IconHandle icon) {
    if (!icon) return false;
    return ::DestroyIcon(ToNative<HICON>(icon.value)) != FALSE;
}

bool Shell::Shell_NotifyIconA(uint32_t message, const NotifyIconData& data) {
    NOTIFYICONDATAA record{};
    record.cbSize = data.cbSize;
    record.hWnd = ToHwnd(data.hWnd);
    record.uID = data.uID;
    record.uFlags = data.uFlags;
    record.uCallbackMessage = data.uCallbackMessage;
    record.hIcon = ToNative<HICON>(data.hIcon.value);
    std::string tip = ToAnsi(data.szTip);
    strncpy(record.szTip, tip.c_str(), sizeof(record.szTip) - 1);
    return ::Shell_NotifyIconA(message, &record) != FALSE;
}

bool Clipboard::Open() {
    // Another program may hold the clipboard for a moment: try a few times
    // over at most 100 ms before the step counts as failed.
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (::OpenClipboard(owner_)) return true;
        ::Sleep(10);
    }
    return false;
}

bool Clipboard::Empty() {
    if (!Open()) return false;
    bool ok = ::EmptyClipboard() != FALSE;
    ::CloseClipboard();
    return ok;
}

bool Clipboard::SetText(const std::string& text) {
    std::wstring wide = Widen(text);
    size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) return false;
    void* target = ::GlobalLock(memory);
    if (target == nullptr) {
        ::GlobalFree(memory);
        return false;
    }
    std::memcpy(target, wide.c_str(), bytes);
    ::GlobalUnlock(memory);
    if (!Open()) {
        ::GlobalFree(memory);
        return false;
    }
    ::EmptyClipboard();
    bool ok = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!ok) ::GlobalFree(memory);  // the clipboard took ownership only on success
    ::CloseClipboard();
    return ok;
}

uint16_t Keyboard::GetAsyncKeyState(int virtualKey) {
    return static_cast<uint16_t>(::GetAsyncKeyState(virtualKey));
}

int UserInterface::MessageBox(const std::string& text, const std::string& title, uint32_t style) {
    return ::MessageBoxW(owner_, Widen(text).c_str(), Widen(title).c_str(), style);
}

std::optional<std::string> UserInterface::GetSaveFileName(const std::string& filter) {
    // "description|pattern" becomes the dialog's double-NUL-terminated pairs.
    std::wstring pairs = Widen(filter);
    for (auto& c : pairs) {
        if (c == L'|') c = L'\0';
    }
    pairs.push_back(L'\0');
    pairs.push_back(L'\0');
    std::vector<wchar_t> file(MAX_PATH * 4, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = ::GetActiveWindow();
    dialog.lpstrFilter = pairs.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (!::GetSaveFileNameW(&dialog)) return std::nullopt;
    return Narrow(file.data());
}

bool UserInterface::WriteFileReplacing(const std::string& path, const std::string& bytes) {
    std::wstring target = Widen(path);
    std::wstring temp = target + L".kelvorin-" + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
    HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                          nullptr) != FALSE &&
              written == bytes.size();
    ok = (::FlushFileBuffers(file) != FALSE) && ok;
    ::CloseHandle(file);
    if (ok) ok = ::MoveFileExW(temp.c_str(), target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!ok) ::DeleteFileW(temp.c_str());
    return ok;
}

int UserInterface::CompareText(const std::string& a, const std::string& b) {
    std::wstring wa = Widen(a);
    std::wstring wb = Widen(b);
    int result = ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.c_str(),
                                  static_cast<int>(wa.size()), wb.c_str(),
                                  static_cast<int>(wb.size()));
    return result == 0 ? 0 : result - CSTR_EQUAL;
}

size_t UserInterface::AnsiLength(const std::string& text) { return ToAnsi(text).size(); }

}  // namespace kelvorin::win32
