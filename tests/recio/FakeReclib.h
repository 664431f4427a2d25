// A stand-in for the record library's io_* calls, compiled into a test binary in place of
// platform_reclib: it records every call and answers with statuses the test queues.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace fake_reclib {

struct Call {
  std::string function;  // "io_open"
  std::string code;      // the block's file code, for per-file calls
  std::string text;      // the path, directory or user id received
};

struct Library {
  std::map<std::string, std::deque<short>> statuses;  // answered in turn; 0 when none is left
  std::vector<Call> calls;
  bool connectThrows = false;
  short handle = 17;  // what io_connect hands out
  std::string directory = "data";  // what io_getDirectory copies out
  short reportedLength = -1;       // the length io_getDirectory reports; -1: the real one
  std::string prefix = "std";
  long count = 0;  // what io_count counts

  void Then(const std::string& function, short status) { statuses[function].push_back(status); }
};

// The fake's state; tests start with Fake() = {}.
Library& Fake();

}  // namespace fake_reclib
