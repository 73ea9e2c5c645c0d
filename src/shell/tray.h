// The notification-area helpers: one record, one add, one delete.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kelvorin {

// The first (88-byte) version of the record, which every shell accepts.
inline constexpr uint32_t kNotifyIconDataV1Size = 88;
inline constexpr size_t kTipBytes = 64;

// Fills all seven fields. The tip is cut so that it and its terminating NUL
// fit in 64 bytes of the ANSI code page, never inside a double-byte character;
// ansiLength gives a text's length in that code page.
void SetTrayData(NotifyIconData& data, WindowHandle hWnd, uint32_t id, uint32_t callbackMessage,
                 IconHandle icon, const std::string& tip,
                 const std::function<size_t(const std::string&)>& ansiLength);

// Shell_NotifyIconA(NIM_ADD / NIM_DELETE); the result is the call's.
int32_t TrayAdd(IShell& shell, WindowHandle hWnd, uint32_t id, uint32_t callbackMessage,
                IconHandle icon, const std::string& tip,
                const std::function<size_t(const std::string&)>& ansiLength);
int32_t TrayDelete(IShell& shell, WindowHandle hWnd, uint32_t id);

// The longest prefix of text, cut between whole UTF-8 characters, whose ANSI
// form fits in maxBytes.
std::string CutToAnsiBytes(const std::string& text, size_t maxBytes,
                           const std::function<size_t(const std::string&)>& ansiLength);

}  // namespace kelvorin
