#include "harness/input.h"

#include <gtest/gtest.h>

#include "harness/process.h"
#include "harness/wait.h"

namespace e2e {

bool Xdotool(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"/usr/bin/xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    UnixResult r = RunUnix(argv, 10s);
    if (!r.finished) {
        ADD_FAILURE() << "xdotool did not finish within 10 s";
        return false;
    }
    if (r.exitCode != 0) {
        ADD_FAILURE() << "xdotool failed with " << r.exitCode << ": " << r.output;
        return false;
    }
    return true;
}

bool XClick(POINT p, int button) {
    return Xdotool({"mousemove", "--sync", std::to_string(p.x), std::to_string(p.y), "click",
                    std::to_string(button)});
}

bool XDrag(POINT from, POINT to, int steps) {
    std::vector<std::string> args = {
        "mousemove", "--sync", std::to_string(from.x), std::to_string(from.y), "mousedown", "1"};
    for (int i = 1; i <= steps; ++i) {
        args.insert(args.end(),
                    {"mousemove", "--sync", std::to_string(from.x + (to.x - from.x) * i / steps),
                     std::to_string(from.y + (to.y - from.y) * i / steps)});
    }
    args.insert(args.end(), {"mouseup", "1"});
    return Xdotool(args);
}

bool XKey(const std::string& keys) {
    return Xdotool({"key", keys});
}

bool SendClick(POINT p) {
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    // Aim at the pixel's centre, so either scaling (65535 or 65536 wide) lands on it.
    LONG dx = LONG((2LL * p.x + 1) * 65536 / (2LL * w));
    LONG dy = LONG((2LL * p.y + 1) * 65536 / (2LL * h));
    INPUT in[2] = {};
    for (auto& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = dx;
        i.mi.dy = dy;
    }
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
    bool ok = SendInput(2, in, sizeof(INPUT)) == 2;
    EXPECT_TRUE(ok) << "SendInput failed: " << GetLastError();
    return ok;
}

bool SendKeys(const std::vector<WORD>& keys) {
    std::vector<INPUT> in;
    for (WORD vk : keys) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        in.push_back(i);
    }
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = *it;
        i.ki.dwFlags = KEYEVENTF_KEYUP;
        in.push_back(i);
    }
    bool ok = SendInput(UINT(in.size()), in.data(), sizeof(INPUT)) == in.size();
    EXPECT_TRUE(ok) << "SendInput failed: " << GetLastError();
    return ok;
}

POINT CentreOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace e2e
