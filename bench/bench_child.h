// A process the benchmark driver starts and ends.
#pragma once

#include <windows.h>

#include <string>

namespace bench {

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
