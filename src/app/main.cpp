// filomar-convert: the console and batch program. A run that shows windows is handed to
// filomar-convert-windows beside it, so that a run without windows never loads Qt.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "app/ProgramEntry.h"

namespace {

// Replaces this process by the windows program with the same arguments and environment;
// returns only when that cannot be done.
std::unique_ptr<ui::WindowsFrontEnd> StartWindowsProgram(int&, char** argv) {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  const std::string windows = (self.parent_path() / "filomar-convert-windows").string();
  if (!ec) ::execv(windows.c_str(), argv);
  std::cerr << "filomar-convert: the windows cannot be shown: " << windows << ": "
            << (ec ? ec.message() : std::strerror(errno)) << "\n"
            << "Run with --console or --batch to convert without windows.\n";
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) { return filomar::app::RunProgram(argc, argv, StartWindowsProgram); }
