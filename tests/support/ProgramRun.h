// Running a built program of the project from a test through the shell.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

struct ProgramRun {
  int status = -1;  // the exit status, -1 when the program did not exit normally
  std::string out;  // standard output and standard error together
};

// `text` as one word of the shell, whatever it holds.
std::string ShellWord(const std::string& text);

// Runs `command` with its output captured in `outFile`.
ProgramRun RunShell(const std::string& command, const std::filesystem::path& outFile);

}  // namespace testing_support
