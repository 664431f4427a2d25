// The front end a run shows itself on, and the program's title.
#pragma once

#include "common/Titles.h"
#include "common/Ui.h"

namespace filomar {


// Set once by the program entry (or by a test) before any product routine runs; the front end
// must outlive every later call. FrontEnd() without one set throws std::logic_error.
void SetFrontEnd(ui::Ui& frontEnd);
ui::Ui& FrontEnd();

}  // namespace filomar
