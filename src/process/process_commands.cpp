// Close the selected window, terminate the selected row's process, open the
// icon extractor.
#include "app/main_frm.h"

namespace kelvorin {

void MainFrm::PEnd_Click() {}
void MainFrm::PForceCloseBtn_Click() {}
void MainFrm::PIconGetBtn_Click() {}

}  // namespace kelvorin
