#include "harness/modal.h"

#include <algorithm>

#include "harness/desktop.h"
#include "harness/wait.h"

namespace e2e {

AsyncClick::AsyncClick(HWND button) : done_(std::make_shared<std::atomic<bool>>(false)) {
    thread_ = std::thread([button, done = done_] {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 120000, &result);
        *done = true;
    });
}

AsyncClick::~AsyncClick() {
    WaitDone(5s);
    // A handler still waiting keeps its thread; the send times out on its own.
    if (Done())
        thread_.join();
    else
        thread_.detach();
}

bool AsyncClick::WaitDone(std::chrono::milliseconds timeout) {
    return WaitUntil([&] { return Done(); }, timeout);
}

HWND WaitForOwnedWindow(DWORD processId, const wchar_t* className, HWND owner,
                        std::chrono::milliseconds timeout, const std::vector<HWND>& except) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h : TopLevelWindows(processId, className, true)) {
                if (owner && GetWindow(h, GW_OWNER) != owner) continue;
                if (std::find(except.begin(), except.end(), h) != except.end()) continue;
                found = h;
                return true;
            }
            return false;
        },
        timeout);
    return found;
}

MessageBoxContent ReadMessageBox(HWND box) {
    MessageBoxContent content;
    content.title = WindowText(box);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::string cls = ClassName(child);
        if (cls == "Static") {
            // The icon is a static too, one without text.
            std::string text = WindowText(child);
            if (!text.empty()) content.text = text;
        } else if (cls == "Button" && IsWindowVisible(child)) {
            int id = GetDlgCtrlID(child);
            content.buttons.push_back(id);
            if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                content.defaultButton = id;
        }
    }
    return content;
}

bool PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    return button && PostMessageW(button, BM_CLICK, 0, 0);
}

HWND FileNameField(HWND fileDialog) {
    constexpr int kFileNameCombo = 0x47c;  // cmb13
    constexpr int kFileNameEdit = 0x480;   // edt1
    if (HWND combo = GetDlgItem(fileDialog, kFileNameCombo)) {
        if (HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr)) return edit;
        return combo;
    }
    return GetDlgItem(fileDialog, kFileNameEdit);
}

}  // namespace e2e
