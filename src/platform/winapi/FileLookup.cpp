#include "platform/winapi/FileLookup.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <ctime>
#include <map>
#include <mutex>
#include <vector>

namespace winapi {
namespace fs = std::filesystem;

std::string ToPosixSeparators(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

namespace {

bool IsMissing(const std::error_code& ec) {
  return ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory;
}

// The names in directories searched for a name in another case. A site looks the same few
// names up again and again (FLMWIN.INI for every database's data directory), so a listing is
// kept while the directory's times say it is unchanged. A listing taken within a second of
// the directory's last change is not kept: a change in the same tick of the file system's
// clock would leave the times as they were.
class ListingCache {
 public:
  // The entry of `dir` whose name equals `name` without regard to case; nullopt when there is
  // none, or (with `ec` set) when `dir` cannot be listed.
  std::optional<std::string> Find(const fs::path& dir, const std::string& name, std::error_code& ec) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0) return ec.assign(errno, std::generic_category()), std::nullopt;
    if (!S_ISDIR(st.st_mode)) return ec = std::make_error_code(std::errc::not_a_directory), std::nullopt;
    const std::lock_guard<std::mutex> hold(mutex_);
    const auto kept = kept_.find(dir.string());
    Listing fresh{st, {}};
    const Listing* listing = &fresh;
    if (kept != kept_.end() && kept->second.Describes(st)) {
      listing = &kept->second;
    } else {
      if (kept != kept_.end()) kept_.erase(kept);
      const std::time_t listedAt = std::time(nullptr);
      for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        fresh.names.push_back(it->path().filename().string());
      if (ec) return std::nullopt;
      if (std::max(st.st_mtim.tv_sec, st.st_ctim.tv_sec) < listedAt - 1) listing = &(kept_[dir.string()] = std::move(fresh));
    }
    for (const std::string& entry : listing->names)
      if (EqualNoCase(entry, name)) return entry;
    return std::nullopt;
  }

 private:
  struct Listing {
    struct stat seen;
    std::vector<std::string> names;
    bool Describes(const struct stat& now) const {
      return now.st_dev == seen.st_dev && now.st_ino == seen.st_ino && SameTime(now.st_mtim, seen.st_mtim) &&
             SameTime(now.st_ctim, seen.st_ctim);
    }
  };
  static bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

  std::mutex mutex_;
  std::map<std::string, Listing> kept_;
};

ListingCache& Listings() {
  static ListingCache cache;
  return cache;
}

}  // namespace

std::optional<fs::path> ResolveNoCase(const fs::path& path, std::error_code& ec) {
  ec.clear();
  const std::string name = path.filename().string();
  if (name.empty()) return std::nullopt;
  const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
  if (fs::exists(fs::symlink_status(path, ec))) return path;
  if (ec && !IsMissing(ec)) return std::nullopt;
  ec.clear();
  const std::optional<std::string> found = Listings().Find(dir, name, ec);
  if (ec && IsMissing(ec)) ec.clear();
  if (!found) return std::nullopt;
  return dir / *found;
}

}  // namespace winapi
