// One running kelvorin.exe under test: started by the driver, its main window
// found, its controls reached by id, and ended again however it behaves.
#pragma once

#include <windows.h>

#include <chrono>
#include <memory>
#include <string>

#include "harness/process.h"
#include "harness/remote_list_view.h"

namespace e2e {

class KelvorinApp {
  public:
    // Starts the program and waits until its main window is visible.
    // Throws std::runtime_error when it does not appear in time.
    static std::unique_ptr<KelvorinApp> Launch();
    KelvorinApp(const KelvorinApp&) = delete;
    KelvorinApp& operator=(const KelvorinApp&) = delete;
    ~KelvorinApp() { Quit(); }

    HWND MainWindow() const { return main_; }
    DWORD ProcessId() const { return process_.Id(); }
    const ChildProcess& Process() const { return process_; }
    // A control of the main window by id; null when there is none.
    HWND Control(int id) const;
    // BM_CLICK through SendMessage: returns after the program's handler has
    // run. False (and a test failure) when the control is missing or the
    // program does not answer within the timeout.
    bool Click(int id, std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;
    int CheckState(int id) const;
    std::string Text(int id) const;
    // The window list (ListView1), read across the process boundary.
    RemoteListView& List();

    // Ends the program: its own exit button, then WM_CLOSE, then
    // TerminateProcess. Returns how it ended, for the log.
    std::string Quit();

  private:
    KelvorinApp() = default;
    ChildProcess process_;
    HWND main_ = nullptr;
    std::unique_ptr<RemoteListView> list_;
};

}  // namespace e2e
