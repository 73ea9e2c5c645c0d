#include "shell/tray.h"

#include "platform/constants.h"

namespace kelvorin {

std::string CutToAnsiBytes(const std::string& text, size_t maxBytes,
                           const std::function<size_t(const std::string&)>& ansiLength) {
    if (ansiLength(text) <= maxBytes) return text;
    // Walk whole UTF-8 characters; a character is one or two ANSI bytes, so the
    // cut never splits a double-byte character.
    std::string kept;
    size_t i = 0;
    while (i < text.size()) {
        size_t length = 1;
        auto lead = static_cast<unsigned char>(text[i]);
        if (lead >= 0xF0)
            length = 4;
        else if (lead >= 0xE0)
            length = 3;
        else if (lead >= 0xC0)
            length = 2;
        std::string next = kept + text.substr(i, length);
        if (ansiLength(next) > maxBytes) break;
        kept = std::move(next);
        i += length;
    }
    return kept;
}

void SetTrayData(NotifyIconData& data, WindowHandle hWnd, uint32_t id, uint32_t callbackMessage,
                 IconHandle icon, const std::string& tip,
                 const std::function<size_t(const std::string&)>& ansiLength) {
    data.cbSize = kNotifyIconDataV1Size;
    data.hWnd = hWnd;
    data.uID = id;
    data.uFlags = win::kNifMessage | win::kNifIcon | win::kNifTip;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = icon;
    data.szTip = CutToAnsiBytes(tip, kTipBytes - 1, ansiLength);
}

int32_t TrayAdd(IShell& shell, WindowHandle hWnd, uint32_t id, uint32_t callbackMessage,
                IconHandle icon, const std::string& tip,
                const std::function<size_t(const std::string&)>& ansiLength) {
    NotifyIconData data;
    SetTrayData(data, hWnd, id, callbackMessage, icon, tip, ansiLength);
    return shell.Shell_NotifyIconA(win::kNimAdd, data) ? 1 : 0;
}

int32_t TrayDelete(IShell& shell, WindowHandle hWnd, uint32_t id) {
    NotifyIconData data;
    SetTrayData(data, hWnd, id, 0, IconHandle(), "",
                [](const std::string& s) { return s.size(); });
    return shell.Shell_NotifyIconA(win::kNimDelete, data) ? 1 : 0;
}

}  // namespace kelvorin
