// Processes the driver starts: Windows programs it owns and ends, and Unix
// programs (xdotool, import) started through Wine.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

// A kernel handle closed exactly once.
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) {
            Reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }
    HANDLE Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void Reset() {
        if (h_) CloseHandle(h_);
        h_ = nullptr;
    }

  private:
    HANDLE h_ = nullptr;
};

// Quotes one argument so that the C runtime's argv parser gives it back unchanged.
std::wstring QuoteArgument(const std::wstring& arg);

// A Windows process started by the driver. Ended (TerminateProcess) when the
// object goes, unless it has exited by then, so no test leaks a process.
class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(ChildProcess&&) = default;
    ChildProcess& operator=(ChildProcess&& o) noexcept {
        if (this != &o) {
            Kill();
            process_ = std::move(o.process_);
            id_ = o.id_;
        }
        return *this;
    }
    ~ChildProcess() { Kill(); }

    // Starts exe with args; stdOut, if given, must be inheritable and becomes
    // the child's standard output. Throws std::runtime_error on failure.
    static ChildProcess Start(const std::wstring& exe, const std::vector<std::wstring>& args,
                              HANDLE stdOut = nullptr);

    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.Get(); }
    bool Running() const;
    // Waits for the process to end; true when it has.
    bool WaitForExit(std::chrono::milliseconds timeout) const;
    std::optional<DWORD> ExitCode() const;
    // TerminateProcess if still running, then waits for the end.
    void Kill();

  private:
    UniqueHandle process_;
    DWORD id_ = 0;
};

struct UnixResult {
    bool finished = false;  // false: no result within the timeout
    int exitCode = -1;
    std::string output;  // standard output and error together
};

// Runs a Unix program (absolute path) and waits for it. Wine starts Unix
// executables from CreateProcess but hands back no process handle, so the
// program runs under /bin/sh, which writes its exit status to a file in the
// work directory once it is done; the driver polls for that file.
UnixResult RunUnix(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);

}  // namespace e2e
