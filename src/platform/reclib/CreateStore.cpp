// io_createStore: the one call that makes a new record store. Opening a record file never
// makes one; a site's installation (and the creation of a new STANDARD database) does.
#include <sys/stat.h>

#include <string>

#include "platform/reclib/DataDirectory.h"
#include "platform/reclib/Store.h"
#include "platform/reclib/io.h"
#include "platform/reclib/trace.h"

namespace {

std::string Trimmed(const char* text) {
  std::string s(text);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// The prefix becomes part of a file name: it must not be able to leave the data directory.
bool UsablePrefix(const std::string& prefix) {
  return !prefix.empty() && prefix.size() <= 3 && prefix != "." && prefix != ".." &&
         prefix.find_first_of("/\\") == std::string::npos;
}

short Created(short status, const std::string& why) {
  if (status != 0) reclib::TraceLibraryFailure("io_createStore: status " + std::to_string(status) + " (" + why + ")");
  return status;
}

}  // namespace

extern "C" short io_createStore(const char* directory, const char* prefix) {
  if (directory == nullptr || prefix == nullptr) return Created(reclib::kBadArgument, "null argument");
  const std::string name = Trimmed(prefix);
  if (!UsablePrefix(name)) return Created(reclib::kBadArgument, "unusable prefix \"" + name + "\"");
  const std::string dir = reclib::ResolveDataDirectory(Trimmed(directory));
  struct stat st {};
  if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    return Created(reclib::kOpenFailed, "data directory " + dir + " does not exist");
  }
  std::string why;
  return Created(reclib::Store::Create(dir + "/" + name + ".records", why), why);
}
