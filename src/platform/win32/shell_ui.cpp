#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace kelvorin::win32 {
namespace {

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

// The save dialog's file-name field: the edit of its combo box, or a plain edit.
HWND FileNameField(HWND dialog) {
    if (HWND combo = ::GetDlgItem(dialog, cmb13)) {
        HWND edit = ::FindWindowExW(combo, nullptr, L"Edit", nullptr);
        return edit != nullptr ? edit : combo;
    }
    return ::GetDlgItem(dialog, edt1);
}

// The path the dialog would make of the typed name: a name is taken in the
// folder shown, "\\..." and "X:\\..." stand for themselves.
size_t PathLengthOf(HWND dialog, const std::wstring& typed) {
    if (typed.rfind(L"\\\\", 0) == 0 || (typed.size() >= 2 && typed[1] == L':')) return typed.size();
    wchar_t folder[MAX_PATH * 2] = {};
    ::SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH * 2, reinterpret_cast<LPARAM>(folder));
    size_t length = wcslen(folder);
    if (!typed.empty() && typed[0] == L'\\') return std::min<size_t>(length, 2) + typed.size();
    return length + 1 + typed.size();
}

// The dialog's own code is not safe with paths past MAX_PATH (it has been seen
// to corrupt its memory and crash the program afterwards), so such a name
// never reaches it: OK is refused with a word to the user.
LRESULT CALLBACK GuardLongNames(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR id, DWORD_PTR) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        std::wstring typed;
        if (HWND field = FileNameField(dialog)) {
            typed.resize(static_cast<size_t>(::GetWindowTextLengthW(field)) + 1);
            typed.resize(static_cast<size_t>(
                ::GetWindowTextW(field, typed.data(), static_cast<int>(typed.size()))));
        }
        if (PathLengthOf(dialog, typed) >= MAX_PATH) {
            wchar_t title[128] = {};
            ::GetWindowTextW(dialog, title, 128);
            ::MessageBoxW(dialog, L"ファイル名が長すぎます。フォルダを含めて259文字以内にしてください。",
                          title, MB_OK | MB_ICONEXCLAMATION);
            return 0;
        }
    }
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(dialog, GuardLongNames, id);
    return ::DefSubclassProc(dialog, message, wParam, lParam);
}

UINT_PTR CALLBACK SaveDialogHook(HWND child, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_NOTIFY && reinterpret_cast<OFNOTIFYW*>(lParam)->hdr.code == CDN_INITDONE) {
        HWND dialog = ::GetParent(child);
        ::SetWindowSubclass(dialog, GuardLongNames, 1, 0);
        if (HWND field = FileNameField(dialog))
            ::SendMessageW(field, EM_LIMITTEXT, MAX_PATH - 1, 0);
    }
    return 0;
}

// The system's own sentence for an error code, in the user's language.
std::string SystemErrorText(DWORD error) {
    wchar_t* text = nullptr;
    DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    UniqueLocalText owned(text);
    std::wstring message(text != nullptr ? text : L"", text != nullptr ? length : 0);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
        message.pop_back();
    if (message.empty()) message = L"Error " + std::to_wstring(error);
    return Narrow(message);
}

// Why an existing file at path may not be replaced, asked before anything is
// written: a read-only file must stay (a rename would go over it on some
// systems), and a file another program holds open without sharing stays too.
DWORD WhyNotReplaceable(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return ERROR_SUCCESS;  // nothing there yet
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ERROR_ACCESS_DENIED;
    if (attributes & FILE_ATTRIBUTE_READONLY) return ERROR_ACCESS_DENIED;
    UniqueFile file(::CreateFileW(path.c_str(), DELETE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file ? ERROR_SUCCESS : ::GetLastError();
}

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
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return false;
    void* target = ::GlobalLock(memory.get());
    if (target == nullptr) return false;
    std::memcpy(target, wide.c_str(), bytes);
    ::GlobalUnlock(memory.get());
    if (!Open()) return false;
    ::EmptyClipboard();
    bool ok = ::SetClipboardData(CF_UNICODETEXT, memory.get()) != nullptr;
    if (ok) memory.release();  // the clipboard took ownership
    ::CloseClipboard();
    return ok;
}

uint16_t Keyboard::GetAsyncKeyState(int virtualKey) {
    return static_cast<uint16_t>(::GetAsyncKeyState(virtualKey));
}

int UserInterface::MessageBox(const std::string& text, const std::string& title, uint32_t style) {
    // Owned by whichever of our windows is active (the icon extractor, say):
    // a box owned by a window that a modal one disabled would enable it again
    // when it closes.
    HWND owner = ::GetActiveWindow();
    return ::MessageBoxW(owner != nullptr ? owner : owner_, Widen(text).c_str(), Widen(title).c_str(), style);
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
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                   OFN_ENABLEHOOK;
    dialog.lpfnHook = SaveDialogHook;
    if (!::GetSaveFileNameW(&dialog)) return std::nullopt;
    return Narrow(file.data());
}

WriteResult UserInterface::WriteFileReplacing(const std::string& path, const std::string& bytes) {
    std::wstring target = Widen(path);
    if (DWORD error = WhyNotReplaceable(target); error != ERROR_SUCCESS)
        return {false, SystemErrorText(error)};
    std::wstring temp = target + L".kelvorin-" + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
    DWORD error = ERROR_SUCCESS;
    {
        UniqueFile file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return {false, SystemErrorText(::GetLastError())};
        DWORD written = 0;
        // A name the system takes for a device (a serial port, say) must never
        // receive the picture.
        if (::GetFileType(file.get()) != FILE_TYPE_DISK)
            error = ERROR_BAD_DEVICE;
        else if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr))
            error = ::GetLastError();
        else if (written != bytes.size())
            error = ERROR_DISK_FULL;
        else if (!::FlushFileBuffers(file.get()))
            error = ::GetLastError();
    }  // closed before it is renamed
    if (error == ERROR_SUCCESS &&
        !::MoveFileExW(temp.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = ::GetLastError();
    if (error == ERROR_SUCCESS) return {true, {}};
    ::DeleteFileW(temp.c_str());
    return {false, SystemErrorText(error)};
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
