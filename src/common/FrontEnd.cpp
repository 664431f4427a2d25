#include "common/FrontEnd.h"

#include <stdexcept>

namespace filomar {
namespace {
ui::Ui* current = nullptr;
}

void SetFrontEnd(ui::Ui& frontEnd) { current = &frontEnd; }

ui::Ui& FrontEnd() {
  if (current == nullptr) throw std::logic_error("no front end attached");
  return *current;
}

}  // namespace filomar
