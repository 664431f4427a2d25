// A directory built under a temporary name beside its final place and moved there only when it
// is complete: a failed build leaves nothing half-made, and a directory it replaces stays
// intact until the new one is in place.
#pragma once

#include <filesystem>
#include <memory>

#include "site/Status.h"

namespace site {

class StagedDirectory {
 public:
  // Prepares to build `target` (made absolute). Refuses a target that exists and is not a
  // directory, and a non-empty one unless `replace` is set. Even with `replace`, a non-empty
  // target is replaced only when it looks like something this tool made (it holds "data" or
  // "server.sqlite"), so a mistyped path never costs unrelated files. Missing parents are
  // created.
  static Status Prepare(const std::filesystem::path& target, bool replace, std::unique_ptr<StagedDirectory>& out);

  ~StagedDirectory();  // removes the staging directory unless committed
  StagedDirectory(const StagedDirectory&) = delete;
  StagedDirectory& operator=(const StagedDirectory&) = delete;

  const std::filesystem::path& target() const { return target_; }
  const std::filesystem::path& staging() const { return staging_; }

  // Moves the staging directory to the target, replacing whatever was there.
  Status Commit();

 private:
  StagedDirectory(std::filesystem::path target, std::filesystem::path staging)
      : target_(std::move(target)), staging_(std::move(staging)) {}

  std::filesystem::path target_;
  std::filesystem::path staging_;
  bool committed_ = false;
};

// Whether `directory` holds the marks of a site or data root made by this tool.
bool LooksLikeSite(const std::filesystem::path& directory);

}  // namespace site
