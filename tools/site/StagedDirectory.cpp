#include "site/StagedDirectory.h"

#include <unistd.h>

#include <string>
#include <system_error>

namespace site {
namespace fs = std::filesystem;

namespace {

Status Failure(const std::string& what, const fs::path& path, const std::error_code& ec) {
  return Status::Error(what + " " + path.string() + ": " + ec.message());
}

// A name beside the target, unique to this process.
fs::path Sibling(const fs::path& target, const std::string& tag) {
  return target.parent_path() / ("." + target.filename().string() + "." + tag + "-" + std::to_string(getpid()));
}

Status CheckTarget(const fs::path& target, bool replace) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(target, ec);
  if (!fs::exists(status)) return Status::Ok();
  if (!fs::is_directory(status)) return Status::Error(target.string() + " exists and is not a directory");
  const bool empty = fs::is_empty(target, ec);
  if (ec) return Failure("cannot read", target, ec);
  if (empty) return Status::Ok();
  if (!replace) return Status::Error(target.string() + " exists and is not empty (--force replaces a site)");
  if (!LooksLikeSite(target)) {
    return Status::Error(target.string() + " is not empty and does not look like a site; it was left alone");
  }
  return Status::Ok();
}

}  // namespace

bool LooksLikeSite(const fs::path& directory) {
  std::error_code ec;
  return fs::exists(directory / "data", ec) || fs::exists(directory / "server.sqlite", ec);
}

Status StagedDirectory::Prepare(const fs::path& requested, bool replace, std::unique_ptr<StagedDirectory>& out) {
  std::error_code ec;
  fs::path target = fs::weakly_canonical(fs::absolute(requested, ec), ec);
  if (ec || target.empty() || target == target.root_path()) {
    return Status::Error("unusable directory " + requested.string());
  }
  if (!target.has_filename()) target = target.parent_path();
  if (Status status = CheckTarget(target, replace); !status.ok()) return status;
  fs::create_directories(target.parent_path(), ec);
  if (ec) return Failure("cannot create", target.parent_path(), ec);
  fs::path staging = Sibling(target, "new");
  fs::remove_all(staging, ec);
  if (!fs::create_directory(staging, ec) || ec) return Failure("cannot write in", target.parent_path(), ec);
  out.reset(new StagedDirectory(target, staging));
  return Status::Ok();
}

StagedDirectory::~StagedDirectory() {
  if (committed_) return;
  std::error_code ec;
  fs::remove_all(staging_, ec);
}

Status StagedDirectory::Commit() {
  std::error_code ec;
  const fs::path old = Sibling(target_, "old");
  const bool replacing = fs::exists(fs::symlink_status(target_, ec));
  if (replacing) {
    fs::rename(target_, old, ec);
    if (ec) return Failure("cannot move aside", target_, ec);
  }
  fs::rename(staging_, target_, ec);
  if (ec) {
    std::error_code ignored;
    if (replacing) fs::rename(old, target_, ignored);
    return Failure("cannot move the new site to", target_, ec);
  }
  committed_ = true;
  if (replacing) fs::remove_all(old, ec);
  return Status::Ok();
}

}  // namespace site
