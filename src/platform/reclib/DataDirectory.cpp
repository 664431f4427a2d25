#include "platform/reclib/DataDirectory.h"

#include <algorithm>

#include "platform/winapi/AppPath.h"
#include "platform/winapi/FileLookup.h"
#include "platform/winapi/ClientSettings.h"

namespace reclib {
namespace {

// Stored paths come blank padded, sometimes with NULs; they mean nothing in a path.
std::string CleanPath(std::string path) {
  path.erase(std::remove(path.begin(), path.end(), '\0'), path.end());
  const auto first = path.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  path = path.substr(first, path.find_last_not_of(' ') - first + 1);
  path = winapi::ToPosixSeparators(path);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string Join(const std::string& base, const std::string& relative) {
  if (relative.empty()) return base;
  if (relative.front() == '/') return relative;
  return base + "/" + relative;
}

std::string StandardDataDir(const std::string& client) {
  return CleanPath(winapi::StandardDataDir(client + "/FLMWIN.INI"));
}

// The base of relative data directories, read from FLMWIN.INI now.
std::string DataRoot() {
  const std::string client = ClientDirectory();
  const std::string standard = StandardDataDir(client);
  return standard.empty() ? client : Join(client, standard);
}

// The base held by the outermost DataRootHold of this thread, and how many holds are alive.
struct Held {
  std::string root;
  int holds = 0;
};

Held& TheHeld() {
  thread_local Held held;
  return held;
}

}  // namespace

DataRootHold::DataRootHold() {
  if (TheHeld().holds++ == 0) TheHeld().root = DataRoot();
}

DataRootHold::~DataRootHold() { --TheHeld().holds; }

std::string ClientDirectory() { return winapi::AppPath(); }

std::string ResolveDataDirectory(const std::string& directory) {
  const std::string dir = CleanPath(directory);
  if (!dir.empty() && dir.front() == '/') return dir;
  return Join(TheHeld().holds > 0 ? TheHeld().root : DataRoot(), dir);
}

}  // namespace reclib
