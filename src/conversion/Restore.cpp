#include "conversion/Restore.h"

#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

#include "common/Text.h"
#include "conversion/Backup.h"
#include "conversion/steps/Letters.h"
#include "platform/copylib/SyncFile.h"
#include "recio/Vb_io.h"
#include "shared/Catalogue.h"
#include "shared/Session.h"

namespace filomar {
namespace {
namespace fs = std::filesystem;

constexpr const char* kBesidePrefix = ".restore-";

RestoreOutcome Refusal(const std::string& why) { return {false, why + " Nothing was restored."}; }

void RemoveBeside(const fs::path& directory, const std::vector<BackupEntry>& letters) {
  std::error_code ignored;
  for (const BackupEntry& letter : letters) fs::remove(directory / (kBesidePrefix + letter.name), ignored);
}

// Copies the backup's letters beside their final names, synced; false with `problem` set.
bool WriteLettersBeside(const fs::path& folder, const fs::path& directory, const std::vector<BackupEntry>& letters,
                        std::string& problem) {
  for (const BackupEntry& letter : letters) {
    const fs::path beside = directory / (kBesidePrefix + letter.name);
    std::error_code ec;
    fs::copy_file(folder / letter.name, beside, fs::copy_options::overwrite_existing, ec);
    if (ec) return problem = beside.string() + ": " + ec.message(), false;
    if (!copylib::SyncFile(beside.string(), problem)) return false;
  }
  return true;
}

// Gives the letters their names and removes the letter files the backup does not hold.
std::string PutLettersInPlace(const fs::path& directory, const std::vector<BackupEntry>& letters) {
  std::string problems;
  std::set<std::string> kept;
  for (const BackupEntry& letter : letters) {
    std::error_code ec;
    fs::rename(directory / (kBesidePrefix + letter.name), directory / letter.name, ec);
    if (ec) problems += " " + (directory / letter.name).string() + ": " + ec.message() + ";";
    kept.insert(letter.name);
  }
  std::error_code ec;
  for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!steps::IsLetterFileName(name) || kept.count(name) != 0 || !it->is_regular_file()) continue;
    std::error_code removeError;
    fs::remove(it->path(), removeError);
    if (removeError) problems += " " + it->path().string() + ": " + removeError.message() + ";";
  }
  return problems;
}

}  // namespace

RestoreOutcome RestoreDatabase(const std::string& name, const std::string& folder, const std::string& root) {
  const auto entry = FindCatalogueEntry(name);
  if (!entry) return Refusal("The " + name + " Database is not catalogued.");

  const std::string chosen = !folder.empty() ? folder : NewestBackup(root, RTrim(entry->name)).value_or("");
  if (chosen.empty()) return Refusal("No backup of the " + name + " Database was found in " + root + ".");
  std::string problem;
  const auto entries = VerifyBackup(chosen, problem);
  if (!entries) return Refusal("The backup " + chosen + " cannot be used: " + problem + ".");
  const std::string storeName = RTrim(entry->prefix) + ".records";
  std::vector<BackupEntry> letters;
  bool storeFound = false;
  for (const BackupEntry& e : *entries) {
    if (e.kind == "letter") letters.push_back(e);
    storeFound = storeFound || (e.kind == "store" && e.name == storeName);
  }
  if (!storeFound) return Refusal("The backup " + chosen + " holds no " + storeName + " of the " + name + " Database.");

  std::string selectProblem;
  const bool selected = SelectDatabase(*entry, &selectProblem);
  const auto directory = selected ? steps::LetterDirectory() : std::nullopt;
  if (!directory) {
    SelectStandardDatabase();
    return Refusal("The " + name + " Database cannot be selected: " + selectProblem + ".");
  }
  if (!WriteLettersBeside(chosen, *directory, letters, problem)) {
    RemoveBeside(*directory, letters);
    SelectStandardDatabase();
    return Refusal("The letter files could not be written: " + problem + ".");
  }
  vb_io_restoreStore((fs::path(chosen) / storeName).string());
  if (vb_io_erc != 0) {
    problem = vb_io_failure();
    RemoveBeside(*directory, letters);
    SelectStandardDatabase();
    return Refusal("The record store could not be restored: " + problem + ".");
  }
  const std::string letterProblems = PutLettersInPlace(*directory, letters);
  SelectStandardDatabase();
  if (!letterProblems.empty()) {
    return {false, "The records of the " + name + " Database were restored from " + chosen +
                       ", but not all of its letter files:" + letterProblems + " Copy them from the backup by hand."};
  }
  return {true, "The " + name + " Database was restored from " + chosen + ": its records and " +
                    std::to_string(letters.size()) + " letter files are as they were when it was backed up."};
}

}  // namespace filomar
