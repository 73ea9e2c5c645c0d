// Questions about windows of any process, asked the way a user-facing check
// would: the text the window shows, where it sits, what it is.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// The window's text through WM_GETTEXT (wide), which also reads edit and
// combo boxes of other processes. Empty when the window does not answer.
std::string WindowText(HWND hwnd);
std::string ClassName(HWND hwnd);

// The window rectangle in the client coordinates of `reference`.
RECT RectInClientOf(HWND hwnd, HWND reference);
SIZE ClientSize(HWND hwnd);

// The visible top-level windows of a process with the given class.
std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className, bool visibleOnly);

// A control by id: a direct child (GetDlgItem) or, failing that, any descendant.
HWND FindControl(HWND parent, int id);

// The clipboard's Unicode text; nullopt when there is none or it cannot be opened.
std::optional<std::string> ClipboardText();

// Saves a picture of the whole X screen to the screenshot directory, if the
// run asked for screenshots; returns the file written or an empty string.
std::string SaveScreenshot(const std::string& name);

}  // namespace e2e
