// Close the selected window, terminate the selected row's process, open the
// icon extractor on the selected row's executable.
#include "app/handle_text.h"
#include "app/main_frm.h"
#include "catalogue/refresh.h"
#include "platform/constants.h"
#include "platform/scoped_release.h"

namespace kelvorin {
namespace {

constexpr const char* kWarningTitle = "タスク マネージャの警告";
constexpr const char* kWarningText =
    "警告: プロセスが終了すると、データが失われたり、システムが\r\n"
    "不安定になったりするなどの、予期しない結果になることがあります。\r\n"
    "プロセスを終了する前に、状態またはデータを保存するかどうかの\r\n"
    "確認メッセージは表示されません。プロセスを終了しますか?";

// Windows paths and names compare without regard to case.
bool SameFileName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

void MainFrm::PEnd_Click() {
    // The polite way: the window may ask its user first. The send is bounded,
    // so a hung window cannot hold the program.
    platform_.windows.SendClose(selectedWindow_);
}

void MainFrm::PForceCloseBtn_Click() {
    int answer = platform_.ui.MessageBox(kWarningText, kWarningTitle,
                                         win::kMbYesNo | win::kMbIconExclamation);
    if (answer != win::kIdYes) return;
    auto selected = ListView1.Selected();
    if (!selected) return;
    auto processId = ParseInt32(ListView1.Cell(*selected, col::ProcessId));
    if (!processId) return;
    IProcesses& processes = platform_.processes;
    ScopedKernelHandle process(
        processes,
        processes.OpenProcess(win::kProcessTerminate, false, static_cast<uint32_t>(*processId)));
    if (!process) return;
    // Process ids are reused: the row may have outlived its process, and the id
    // may now belong to an unrelated program. Our open handle keeps the id from
    // changing hands again, so what the snapshot says now is what would be ended.
    auto running = LookUpProcess(processes, static_cast<uint32_t>(*processId));
    if (running && SameFileName(running->exeName, ListView1.Cell(*selected, col::ProcessName)) &&
        SameFileName(running->exePath, ListView1.Cell(*selected, col::FullPath)))
        processes.TerminateProcess(process.get(), 0);
}

void MainFrm::PIconGetBtn_Click() {
    auto selected = ListView1.Selected();
    if (!selected) return;
    view_.ShowIconGetterModal(ListView1.Cell(*selected, col::FullPath));
}

}  // namespace kelvorin
