// Test helpers: a temporary directory removed at the end of the test, file writing and
// snapshots, and environment variables restored on scope exit.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace testing_support {

class TempDir {
 public:
  TempDir();
  // A temporary directory inside `under` (another file system, say).
  explicit TempDir(const std::filesystem::path& under);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  // Writes `content` to `relative` (parents created) and returns its full path.
  std::filesystem::path Write(const std::string& relative, const std::string& content) const;

 private:
  std::filesystem::path path_;
};

class ScopedEnv {
 public:
  ScopedEnv(std::string name, const std::optional<std::string>& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

std::string ReadFile(const std::filesystem::path& path);

// Every regular file under `root`, by its path relative to `root`, with its bytes, its
// modification time and its mode: a file rewritten with the same bytes counts as changed.
using FileSnapshot = std::map<std::string, std::string>;
FileSnapshot Snapshot(const std::filesystem::path& root);

// The names of the files added, removed or changed between two snapshots; empty when none.
std::string Changes(const FileSnapshot& before, const FileSnapshot& after);

}  // namespace testing_support
