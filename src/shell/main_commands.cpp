// The main window's own commands, the notification area and shutdown.
#include "app/main_frm.h"

namespace kelvorin {

void MainFrm::Command1_Click() {}
void MainFrm::Command2_Click() {}
void MainFrm::Command3_Click() {}
void MainFrm::Command4_Click() { view_.Unload(); }
void MainFrm::MNU_OPEN_Click() {}
void MainFrm::MNU_END_Click() { view_.Unload(); }
void MainFrm::Form_Unload() {}
void MainFrm::Form_MouseMove(int, int, int) {}
void MainFrm::Timer1_Timer() {}

}  // namespace kelvorin
