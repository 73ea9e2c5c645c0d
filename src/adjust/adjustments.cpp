// The commands that change the selected window.
#include "app/main_frm.h"

namespace kelvorin {

void MainFrm::WinVisibleChk_Click() {}
void MainFrm::CaptionChangeBtn_Click() {}
void MainFrm::TemaeChk_Click() {}
void MainFrm::SaihaimenChk_Click() {}
void MainFrm::TaskBarShowChk_Click() {}
void MainFrm::ToumeiSld_Change() {}
void MainFrm::ButtonUnEnabledBtn_Click() {}
void MainFrm::ButtonEnabledBtn_Click() {}

}  // namespace kelvorin
