// The driver's side of e2e_helper: starts it with window specs (see the
// helper's usage), reads its report and ends it.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "harness/process.h"

namespace e2e {

class HelperProcess {
  public:
    // Starts the helper with these arguments (UTF-8) and waits for its report.
    // Throws std::runtime_error when it does not report in time.
    // `exe` runs a copy of the helper instead (e.g. one given icons of its own).
    static HelperProcess Start(const std::vector<std::string>& args, const std::wstring& exe = {});

    HelperProcess(HelperProcess&&) = default;
    HelperProcess& operator=(HelperProcess&&) = default;
    ~HelperProcess() { Quit(); }

    // The reported handle of a window or button by name; throws if unknown.
    HWND Window(const std::string& name) const;
    DWORD ProcessId() const { return process_.Id(); }
    // The rest of a report line by its first word (e.g. "path"); empty if none came.
    std::string Reported(const std::string& kind) const;
    DWORD ThreadId() const { return threadId_; }
    const ChildProcess& Process() const { return process_; }
    // Asks the helper to quit (WM_QUIT to its thread), ends it if it does not.
    void Quit();

  private:
    HelperProcess() = default;
    ChildProcess process_;
    DWORD threadId_ = 0;
    std::map<std::string, HWND> windows_;
    std::map<std::string, std::string> reported_;
};

}  // namespace e2e
