#include "support/ProgramRun.h"

#include <sys/wait.h>

#include <cstdlib>

#include "support/TempDir.h"

namespace testing_support {

std::string ShellWord(const std::string& text) {
  std::string word = "'";
  for (const char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return word + "'";
}

ProgramRun RunShell(const std::string& command, const std::filesystem::path& outFile) {
  const int raw = std::system((command + " > '" + outFile.string() + "' 2>&1").c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(outFile)};
}

}  // namespace testing_support
