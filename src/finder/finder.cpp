// The finder: drag the cross-hair onto any window or control to select it.
#include "app/main_frm.h"

namespace kelvorin {

void MainFrm::picFinder_MouseDown(int, int, int, int) {}
void MainFrm::picFinder_MouseMove(int, int, int, int) {}
void MainFrm::picFinder_MouseUp(int, int, int, int) {}
void MainFrm::GetControlData() {}
void MainFrm::GetParentHandleBtn_Click() {}

}  // namespace kelvorin
