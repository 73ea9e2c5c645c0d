// Close the selected window, terminate the selected row's process, open the
// icon extractor on the selected row's executable.
#include "app/handle_text.h"
#include "app/main_frm.h"
#include "catalogue/refresh.h"
#include "platform/constants.h"

namespace kelvorin {
namespace {

constexpr const char* kWarningTitle = "タスク マネージャの警告";
constexpr const char* kWarningText =
    "警告: プロセスが終了すると、データが失われたり、システムが\r\n"
    "不安定になったりするなどの、予期しない結果になることがあります。\r\n"
    "プロセスを終了する前に、状態またはデータを保存するかどうかの\r\n"
    "確認メッセージは表示されません。プロセスを終了しますか?";

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
    KernelHandle process =
        processes.OpenProcess(win::kProcessTerminate, false, static_cast<uint32_t>(*processId));
    if (!process) return;
    processes.TerminateProcess(process, 0);
    processes.CloseHandle(process);
}

void MainFrm::PIconGetBtn_Click() {
    auto selected = ListView1.Selected();
    if (!selected) return;
    view_.ShowIconGetterModal(ListView1.Cell(*selected, col::FullPath));
}

}  // namespace kelvorin
