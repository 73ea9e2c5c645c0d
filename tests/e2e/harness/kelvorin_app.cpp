#include "harness/kelvorin_app.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "app/control_ids.h"
#include "harness/desktop.h"
#include "harness/options.h"
#include "harness/wait.h"

namespace e2e {

std::unique_ptr<KelvorinApp> KelvorinApp::Launch() {
    std::unique_ptr<KelvorinApp> app(new KelvorinApp);
    app->process_ = ChildProcess::Start(GetOptions().kelvorinExe, {});
    bool shown = WaitUntil(
        [&] {
            auto found = TopLevelWindows(app->process_.Id(), kelvorin::ids::kMainFrmClass, true);
            if (!found.empty()) app->main_ = found.front();
            return app->main_ != nullptr || !app->process_.Running();
        },
        20s);
    if (!shown || !app->main_) {
        auto code = app->process_.ExitCode();
        throw std::runtime_error(
            code ? "kelvorin.exe ended with code " + std::to_string(*code) +
                       " before showing its main window"
                 : "kelvorin.exe showed no visible KelvorinMainFrm window within 20 s");
    }
    // The window shows before the message loop runs; a slow first start (fonts
    // set up) can outlast the 5 s after which the system calls a window hung,
    // and every later send with SMTO_ABORTIFHUNG would fail at once. One answer
    // clears that.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(app->main_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
    return app;
}

HWND KelvorinApp::Control(int id) const {
    return FindControl(main_, id);
}

bool KelvorinApp::Click(int id, std::chrono::milliseconds timeout) const {
    HWND control = Control(id);
    if (!control) {
        ADD_FAILURE() << "no control with id " << id;
        return false;
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(control, BM_CLICK, 0, 0, SMTO_NORMAL, UINT(timeout.count()),
                             &result)) {
        ADD_FAILURE() << "the program did not finish the click on control " << id << " within "
                      << timeout.count() << " ms";
        return false;
    }
    return true;
}

int KelvorinApp::CheckState(int id) const {
    return int(SendMessageW(Control(id), BM_GETCHECK, 0, 0));
}

std::string KelvorinApp::Text(int id) const {
    return WindowText(Control(id));
}

RemoteListView& KelvorinApp::List() {
    if (!list_) {
        HWND list = Control(kelvorin::ids::ListView1);
        if (!list) throw std::runtime_error("the main window has no ListView1");
        list_ = std::make_unique<RemoteListView>(list);
    }
    return *list_;
}

std::string KelvorinApp::Quit() {
    list_.reset();
    if (!process_.Running()) return "already ended";
    // Posted, not sent: the exit button destroys the window, and an answer is not needed.
    if (HWND exit = Control(kelvorin::ids::Command4)) {
        PostMessageW(exit, BM_CLICK, 0, 0);
        if (process_.WaitForExit(5s)) return "exit button";
    }
    PostMessageW(main_, WM_CLOSE, 0, 0);
    if (process_.WaitForExit(5s)) return "WM_CLOSE";
    process_.Kill();
    return "TerminateProcess";
}

}  // namespace e2e
