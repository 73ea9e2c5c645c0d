// Buttons whose handlers wait on a modal window (a message box, a file
// dialog, a second window of the program), and the answering of those
// windows from the driver while the handler waits.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

// BM_CLICK sent from a thread of its own: the send returns only when the
// handler has finished, which for a modal window is after it has closed.
class AsyncClick {
  public:
    explicit AsyncClick(HWND button);
    AsyncClick(const AsyncClick&) = delete;
    AsyncClick& operator=(const AsyncClick&) = delete;
    // Waits a little for the handler; a handler still stuck is left behind.
    ~AsyncClick();

    bool Done() const { return *done_; }
    // True when the handler has finished within the timeout.
    bool WaitDone(std::chrono::milliseconds timeout);

  private:
    std::shared_ptr<std::atomic<bool>> done_;
    std::thread thread_;
};

// A visible top-level window of the process with this class (null: any)
// whose owner is `owner` (null: any), other than those in `except`; waited for.
HWND WaitForOwnedWindow(DWORD processId, const wchar_t* className, HWND owner,
                        std::chrono::milliseconds timeout, const std::vector<HWND>& except = {});

// A message box as it shows: caption, text and the ids of its buttons.
struct MessageBoxContent {
    std::string title;
    std::string text;
    std::vector<int> buttons;  // dialog ids (IDYES, IDNO, ...) of the push buttons
    int defaultButton = 0;     // the id of the button with the default style
};
MessageBoxContent ReadMessageBox(HWND box);

// Presses a button of a dialog by id without waiting for what follows (it
// may open another modal window). False when the dialog has no such button.
bool PressButton(HWND dialog, int id);

// The file name field of a common file dialog (the edit of its combo box,
// or its plain edit).
HWND FileNameField(HWND fileDialog);

}  // namespace e2e
