#include "support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testing_support {
namespace fs = std::filesystem;

TempDir::TempDir() : TempDir(fs::temp_directory_path()) {}

TempDir::TempDir(const fs::path& under) {
  std::string tmpl = (under / "filomar-test-XXXXXX").string();
  if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

fs::path TempDir::Write(const std::string& relative, const std::string& content) const {
  const fs::path p = path_ / relative;
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << content;
  return p;
}

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
  if (const char* v = std::getenv(name_.c_str())) old_ = v;
  if (value) setenv(name_.c_str(), value->c_str(), 1);
  else unsetenv(name_.c_str());
}

ScopedEnv::~ScopedEnv() {
  if (old_) setenv(name_.c_str(), old_->c_str(), 1);
  else unsetenv(name_.c_str());
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

FileSnapshot Snapshot(const fs::path& root) {
  FileSnapshot files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    const auto modified = entry.last_write_time().time_since_epoch().count();
    const auto mode = static_cast<unsigned>(entry.status().permissions());
    files[fs::relative(entry.path(), root).string()] =
        ReadFile(entry.path()) + "\n@" + std::to_string(modified) + " mode " + std::to_string(mode);
  }
  return files;
}

std::string Changes(const FileSnapshot& before, const FileSnapshot& after) {
  std::string changed;
  for (const auto& [name, content] : after)
    if (!before.contains(name) || before.at(name) != content) changed += name + " ";
  for (const auto& [name, content] : before)
    if (!after.contains(name)) changed += name + "(removed) ";
  return changed;
}

}  // namespace testing_support
