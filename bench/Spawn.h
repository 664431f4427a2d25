// Starting the project's built programs from a bench without a shell in between, so that the
// shell's own start-up is not timed with them.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include <string>
#include <vector>

extern char** environ;

namespace bench {

// Runs `args` (the program's path first) in this process's environment and waits: its exit
// status, or -1 when it could not be started or did not exit normally.
inline int Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Starts `args` (the program's path first) with the administrator's password as its standard
// input and its standard error discarded: its standard output to read, or nullptr when it could
// not be started. The caller closes the stream and waits for `pid`.
inline std::FILE* StartSignedOn(const std::vector<std::string>& args, pid_t& pid) {
  int toChild[2], fromChild[2];
  if (pipe(toChild) != 0 || pipe(fromChild) != 0) return nullptr;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclose(&actions, toChild[1]);
  posix_spawn_file_actions_addclose(&actions, fromChild[0]);
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(toChild[0]);
  close(fromChild[1]);
  const bool signedOn = spawned == 0 && write(toChild[1], "FILOMAR\n", 8) == 8;
  close(toChild[1]);
  if (signedOn) return fdopen(fromChild[0], "r");
  close(fromChild[0]);
  return nullptr;
}

}  // namespace bench
