// What the benchmark drivers share: timing, medians, and the processes they start.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}


// A process this driver started; ended when the object goes.
class Child {
  public:
    Child() = default;
    Child(Child&& other) noexcept : info_(other.info_) { other.info_ = {}; }
    Child& operator=(Child&& other) noexcept {
        if (this != &other) {
            End();
            info_ = other.info_;
            other.info_ = {};
        }
        return *this;
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() { End(); }

    static std::optional<Child> Start(const std::wstring& exe, const std::wstring& args) {
        std::wstring commandLine = L"\"" + exe + L"\" " + args;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        Child child;
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &child.info_))
            return std::nullopt;
        return child;
    }

    HANDLE Process() const { return info_.hProcess; }
    DWORD Id() const { return info_.dwProcessId; }
    bool Running() const {
        return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
    }
    void End() {
        if (info_.hProcess == nullptr) return;
        if (Running()) {
            TerminateProcess(info_.hProcess, 1);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
        info_ = {};
    }

  private:
    PROCESS_INFORMATION info_{};
};

}  // namespace bench
