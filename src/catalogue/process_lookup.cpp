// Process and icon lookup for the rows of the list.
#include "app/main_frm.h"

namespace kelvorin {

void MainFrm::PIdGet() {}

}  // namespace kelvorin
