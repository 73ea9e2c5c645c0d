// Reads the selected window's state into the check boxes.
#include "app/main_frm.h"

namespace kelvorin {

void MainFrm::GetChkValue() {}

}  // namespace kelvorin
