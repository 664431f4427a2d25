#include "conversion/ReadBack.h"

#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "common/Text.h"
#include "conversion/steps/Letters.h"
#include "platform/winapi/FileLookup.h"
#include "recio/Vb_io.h"
#include "shared/Catalogue.h"

namespace filomar {
namespace {

// The record files the conversion's steps scan whole.
constexpr short kScannedFiles[] = {SACT_FILE, VERS_FILE, COMP_FILE};

std::string FileCode(short file) { return RTrim(std::string(Block(file).code, sizeof Block(file).code)); }

// Every record of the file, from the lowest key, counted by the library without reading them;
// -1 when the file cannot be counted.
long CountRecords(short file) {
  vb_io_open(file, "");
  if (vb_io_erc != 0) return -1;
  std::memset(Block(file).record, 0, sizeof Block(file).record);
  const long count = vb_io_count(file, 0);
  const bool counted = vb_io_erc == 0;
  vb_io_close(file);
  return counted ? count : -1;
}

enum class Kind { Missing, File, Directory, Other };

Kind KindOf(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return Kind::Missing;
  if (S_ISREG(st.st_mode)) return Kind::File;
  return S_ISDIR(st.st_mode) ? Kind::Directory : Kind::Other;
}

// The file that `path` names on disk, found without regard to case as the letters step finds it.
std::optional<std::string> OnDisk(const std::string& path) {
  std::error_code ec;
  const auto found = winapi::ResolveNoCase(path, ec);
  if (ec || !found) return std::nullopt;
  return found->string();
}

std::string CheckVersion() {
  std::string problem;
  const auto version = ReadVersionCode(&problem);
  if (!version) return "CONF: " + problem;
  if (IsVersion(version, kVersion50)) return "";
  return "CONF: its version record C00 reads \"" + RTrim(*version) + "\", not \"" + kVersion50 + "\"";
}

std::string CheckCounts(const ReadBackPlan& plan) {
  for (const auto& [file, before] : plan.recordCounts) {
    const long now = CountRecords(file);
    if (before < 0 || now < 0) return FileCode(file) + ": its records cannot be counted (" + vb_io_failure() + ")";
    if (now != before) {
      return FileCode(file) + ": holds " + std::to_string(now) + " records, " + std::to_string(before) +
             " before the conversion";
    }
  }
  return "";
}

// The version record reads 500A and every scanned file holds as many records as before.
std::string CheckRecords(const ReadBackPlan& plan) {
  const std::string problem = CheckVersion();
  return problem.empty() ? CheckCounts(plan) : problem;
}

}  // namespace

ReadBackPlan PlanReadBack() {
  ReadBackPlan plan;
  for (const short file : kScannedFiles) plan.recordCounts.emplace_back(file, CountRecords(file));
  const auto directory = steps::LetterDirectory();
  if (!directory) return plan;
  for (const auto& [oldName, newName] : steps::LetterRenames(*directory)) {
    const auto old = OnDisk(oldName);
    if (old && KindOf(*old) == Kind::File) plan.letterRenames.emplace_back(*old, newName);
  }
  return plan;
}

std::string CheckBeforeCommit(const ReadBackPlan& plan) {
  std::string problem = CheckRecords(plan);
  for (const auto& [oldPath, newPath] : plan.letterRenames) {
    if (!problem.empty()) break;
    if (KindOf(newPath) == Kind::Directory)
      problem = oldPath + ": cannot take the name " + newPath + ", a directory of that name is in the way";
  }
  return problem;
}

std::string CheckAfterCommit(const ReadBackPlan& plan) {
  std::string problem = CheckRecords(plan);
  for (const auto& [oldPath, newPath] : plan.letterRenames) {
    if (!problem.empty()) break;
    if (KindOf(newPath) != Kind::File) problem = newPath + ": the renamed letter file is not there";
    else if (OnDisk(oldPath)) problem = oldPath + ": the letter file still has its old name";
  }
  return problem;
}

}  // namespace filomar
