// filomar-convert-windows: the conversion utility with its windows, started by
// filomar-convert for a run that shows them.
#include "app/ProgramEntry.h"
#include "frontends/qt/QtFaces.h"

int main(int argc, char** argv) {
  return filomar::app::RunProgram(argc, argv, [](int& count, char** arguments) -> std::unique_ptr<ui::WindowsFrontEnd> {
    return std::make_unique<ui::QtSession>(count, arguments);
  });
}
