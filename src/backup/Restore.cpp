#include "backup/Restore.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

#include "backup/Backup.h"
#include "backup/OpenFile.h"
#include "backup/Seal.h"
#include "common/Text.h"
#include "platform/winapi/AppPath.h"
#include "platform/reclib/DataDirectory.h"
#include "platform/reclib/FaultPoints.h"
#include "recio/Vb_io.h"
#include "shared/Catalogue.h"
#include "shared/DataFiles.h"
#include "shared/Session.h"

namespace filomar::backup {
namespace {
namespace fs = std::filesystem;

constexpr const char* kBesidePrefix = ".restore-";

// The problems found so far: the first is reported, the others counted.
class Problems {
 public:
  void Add(const Status& status) {
    if (!status.ok() && count_++ == 0) first_ = status;
  }
  bool any() const { return count_ != 0; }
  Status Result() const {
    if (count_ <= 1) return first_;
    return first_.With(" (and " + std::to_string(count_ - 1) + " other problem" + (count_ == 2 ? ")" : "s)"));
  }

 private:
  Status first_;
  std::size_t count_ = 0;
};

std::string Canonical(const std::string& path) {
  std::error_code ec;
  const std::string text = fs::weakly_canonical(path, ec).string();
  return ec ? path : text;
}

// What the MANIFEST's line must say for `target`.
Status CheckEntry(const ManifestEntry& e, const RestoreTarget& target, const std::string& manifestPath) {
  const std::string storeName = target.prefix + ".records";
  if (e.kind == "store" && e.name != storeName)
    return Status::Invalid(manifestPath, "\"" + e.name + "\" is not the store " + storeName + " of " + target.name);
  if (e.kind == "letter" && !IsLetterFileName(e.name))
    return Status::Invalid(manifestPath, "\"" + e.name + "\" is listed as a letter but is not a letter file name");
  if (e.kind != "store" && e.kind != "letter")
    return Status::Invalid(manifestPath, "a " + e.kind + " line does not belong in a database backup");
  const fs::path from(e.from);
  if (from.filename() != e.name || Canonical(from.parent_path().string()) != target.dataDirectory)
    return Status::Invalid(manifestPath, "\"" + e.name + "\" was copied from " + e.from + ", not from " +
                                             target.dataDirectory + " of this site");
  return Status::Ok();
}

// `read`, when set, is told the bytes of each read as the file is summed.
Status CheckFile(const std::string& folder, const ManifestEntry& e,
                 const std::function<void(long long bytes)>& read = nullptr) {
  OpenFile file;
  if (Status opened = file.Open(folder + "/" + e.name); !opened.ok()) return opened;
  if (file.size() != e.size) return Status::Invalid(file.path(), "its size differs from the manifest");
  std::string digest;
  if (Status summed = file.Sha256(digest, -1, "", read); !summed.ok()) return summed;
  if (digest != e.sha256) return Status::Invalid(file.path(), "its SHA-256 differs from the manifest");
  return Status::Ok();
}

std::string Beside(const std::string& directory, const std::string& name) { return directory + "/" + kBesidePrefix + name; }

void RemoveBeside(const std::string& directory, const std::vector<ManifestEntry>& letters) {
  for (const ManifestEntry& letter : letters) ::unlink(Beside(directory, letter.name).c_str());
}

// Copies one letter of the backup beside its final name, checking its sum again as it is read
// (the folder may have changed since it was verified), synced.
Status WriteBeside(const std::string& folder, const std::string& directory, const ManifestEntry& letter) {
  OpenFile source;
  if (Status opened = source.Open(folder + "/" + letter.name); !opened.ok()) return opened;
  const std::string beside = Beside(directory, letter.name);
  reclib::FaultPoint("write", beside);
  const int fd = ::open(beside.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return Status::IoError(beside, std::strerror(errno));
  std::string digest;
  Status written = source.Sha256(digest, fd, beside);
  if (written.ok() && digest != letter.sha256) written = Status::Invalid(source.path(), "it changed after it was checked");
  if (written.ok() && ::fsync(fd) != 0) written = Status::IoError(beside, std::strerror(errno));
  if (::close(fd) != 0 && written.ok()) written = Status::IoError(beside, std::strerror(errno));
  return written;
}

// The letter files of `directory` that the backup does not hold.
std::vector<std::string> LettersNotIn(const std::string& directory, const std::set<std::string>& kept) {
  std::vector<std::string> others;
  std::error_code ec;
  for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (IsLetterFileName(name) && kept.count(name) == 0 && it->is_regular_file(typeError) && !it->is_symlink(typeError))
      others.push_back(it->path().string());
  }
  return others;
}

Status LibraryFailure() { return Status::IoError(vb_io_failure()); }

// One database transaction: the store's content replaced by the backup's, the letters'
// renames and the removal of letter files the backup does not hold journalled with it.
Status ReplaceInOneTransaction(const std::string& store, const std::string& directory,
                               const std::vector<ManifestEntry>& letters) {
  vb_io_beginDatabase();
  if (vb_io_erc != 0) return LibraryFailure();
  vb_io_restoreStore(store);
  Status done = vb_io_erc == 0 ? Status::Ok() : LibraryFailure();
  std::set<std::string> kept;
  for (const ManifestEntry& letter : letters) {
    kept.insert(letter.name);
    if (done.ok() && vb_io_renameFile(Beside(directory, letter.name), directory + "/" + letter.name) != 0)
      done = LibraryFailure();
  }
  for (const std::string& other : LettersNotIn(directory, kept)) {
    if (done.ok() && vb_io_removeFile(other) != 0) done = LibraryFailure();
  }
  if (!done.ok()) {
    vb_io_rollbackDatabase();
    return done;
  }
  vb_io_commitDatabase();
  return vb_io_erc == 0 ? Status::Ok() : LibraryFailure();
}

// Reads the restored database back: its version record and every letter's sum.
Status ReadBack(const std::string& directory, const std::vector<ManifestEntry>& letters) {
  std::string problem;
  const auto version = ReadVersionCode(&problem);
  if (!version) return Status::IoError(directory, problem);
  if (!IsVersion(version, kVersion40)) return Status::Invalid(directory, "the restored records are at version \"" + RTrim(*version) + "\", not " + kVersion40);
  for (const ManifestEntry& letter : letters) {
    if (Status same = CheckFile(directory, letter); !same.ok()) return same;
  }
  return Status::Ok();
}

Status RestoreSelected(const std::string& folder, const RestoreTarget& target, const Manifest& manifest) {
  std::vector<ManifestEntry> letters;
  for (const ManifestEntry& e : manifest.entries)
    if (e.kind == "letter") letters.push_back(e);
  // The store is opened first: a restore killed after its commit has its renames finished
  // then, and only then are the files it left beside removed.
  ReadVersionCode();
  RemoveRestoreLeftovers(target.dataDirectory);
  // The store is read through the file opened here, so that a store put in the folder's
  // place after the checks is not the one restored.
  OpenFile store;
  Status written = store.Open(folder + "/" + target.prefix + ".records");
  for (const ManifestEntry& letter : letters)
    if (written.ok()) written = WriteBeside(folder, target.dataDirectory, letter);
  if (written.ok()) written = ReplaceInOneTransaction(store.DescriptorPath(), target.dataDirectory, letters);
  if (std::string text = written.text(); text.rfind(store.DescriptorPath(), 0) == 0)
    written = Status::IoError(text.replace(0, store.DescriptorPath().size(), store.path()));
  RemoveBeside(target.dataDirectory, letters);
  return written;
}

}  // namespace

Status VerifyBackup(const std::string& folder, const RestoreTarget& target, Manifest& manifest,
                    const CheckProgress& progress) {
  if (Status read = ReadManifest(folder, manifest); !read.ok()) return read;
  const std::string manifestPath = folder + "/" + kManifestName;
  if (manifest.database != target.name)
    return Status::Invalid(manifestPath, "a backup of " + manifest.database.substr(0, 80) + ", not of " + target.name);
  Problems problems;
  std::size_t stores = 0;
  for (const ManifestEntry& e : manifest.entries) {
    problems.Add(CheckEntry(e, target, manifestPath));
    stores += e.kind == "store";
  }
  if (stores != 1) problems.Add(Status::Invalid(manifestPath, "names " + std::to_string(stores) + " record stores, not one"));
  if (manifest.seal.empty()) problems.Add(Status::Invalid(manifestPath, "it has no seal"));
  else if (!SealMatches(manifest.sealed, target.key, manifest.seal))
    problems.Add(Status::Invalid(manifestPath, "its seal does not verify: it was changed, or sealed on another site"));
  // Files are read only for a sealed MANIFEST that describes this database.
  if (problems.any()) return problems.Result();
  long long total = 0, done = 0;
  for (const ManifestEntry& e : manifest.entries) total += e.size;
  std::function<void(long long)> read;
  if (progress) read = [&](long long bytes) { progress(std::min(done += bytes, total), total); };
  for (const ManifestEntry& e : manifest.entries) problems.Add(CheckFile(folder, e, read));
  return problems.Result();
}

namespace {

// Every start asks this of every catalogued data directory, so it reads the names alone,
// with the fewest calls the system offers.
bool HoldsRestoreLeftovers(const std::string& directory) {
  DIR* dir = ::opendir(directory.c_str());
  if (dir == nullptr) return false;
  bool found = false;
  for (const dirent* entry = nullptr; !found && (entry = ::readdir(dir)) != nullptr;)
    found = std::strncmp(entry->d_name, kBesidePrefix, std::strlen(kBesidePrefix)) == 0;
  ::closedir(dir);
  return found;
}

}  // namespace

void RemoveLeftoversOfInterruptedRestores() {
  const reclib::DataRootHold oneReadingOfTheDataRoot;
  for (const CatalogueEntry& entry : CatalogueEntries()) {
    // Every start lists every data directory, so the directory is listed as the catalogue
    // names it, without resolving its links first: the listing is the same.
    const std::string directory = reclib::ResolveDataDirectory(entry.directory);
    // Reading the version opens the store, and the open finishes its journal first.
    if (HoldsRestoreLeftovers(directory) && SelectDatabase(entry) && ReadVersionCode()) RemoveRestoreLeftovers(directory);
  }
  SelectStandardDatabase();
}

void RemoveRestoreLeftovers(const std::string& directory) {
  std::error_code ec;
  for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(kBesidePrefix, 0) == 0 && IsLetterFileName(name.substr(std::strlen(kBesidePrefix))))
      ::unlink(it->path().c_str());
  }
}

Status SelectForRestore(const std::string& name, RestoreTarget& target) {
  const auto refused = [](const Status& why) {
    SelectStandardDatabase();
    return why;
  };
  auto entry = FindCatalogueEntry(name);
  if (!entry) return refused(Status::NotFound(name, "not catalogued"));
  std::string problem;
  if (!SelectDatabase(*entry, &problem)) return refused(Status::IoError(RTrim(entry->name), problem));
  const auto directory = SelectedDataDirectory();
  if (!directory) return refused(Status::NotFound(RTrim(entry->name), "its data directory is not known"));
  target = {RTrim(entry->name), RTrim(entry->prefix), *directory, ""};
  return Status::Ok();
}

Status CheckBackup(const std::string& name, const std::string& folder, const CheckProgress& sums,
                   const CheckProgress& store) {
  RestoreTarget target;
  Status checked = SelectForRestore(name, target);
  SelectStandardDatabase();
  Manifest manifest;
  if (checked.ok()) checked = LoadKey(winapi::AppPath(), target.key);
  if (checked.ok()) checked = VerifyBackup(folder, target, manifest, sums);
  if (!checked.ok()) return checked;
  // Read through a descriptor of the file opened here, which OpenFile has found a regular file,
  // not a link planted in the folder.
  OpenFile copy;
  if (checked = copy.Open(folder + "/" + target.prefix + ".records"); !checked.ok()) return checked;
  vb_io_checkStoreCopy(copy.DescriptorPath(), store);
  if (vb_io_erc == 0) return Status::Ok();
  const std::string text = vb_io_failure();
  const std::string named = copy.DescriptorPath() + ": ";
  if (text.rfind(named, 0) == 0) return Status::Invalid(copy.path(), text.substr(named.size()));
  return Status::IoError(text);
}

Status RestoreDatabase(const std::string& name, const std::string& folder, const std::string& root, std::string& report) {
  const auto refused = [&report](const Status& why) {
    SelectStandardDatabase();
    report = "Nothing was restored: " + why.text() + ".";
    return why;
  };
  RestoreTarget target;
  if (Status selected = SelectForRestore(name, target); !selected.ok()) return refused(selected);
  const std::string chosen = !folder.empty() ? folder : NewestBackup(root, target.name).value_or("");
  if (chosen.empty()) return refused(Status::NotFound(root, "no backup of " + target.name));
  Manifest manifest;
  Status done = LoadKey(winapi::AppPath(), target.key);
  if (done.ok()) done = VerifyBackup(chosen, target, manifest);
  if (done.ok()) done = RestoreSelected(chosen, target, manifest);
  if (!done.ok()) return refused(done);

  std::vector<ManifestEntry> letters = manifest.entries;
  std::erase_if(letters, [](const ManifestEntry& e) { return e.kind != "letter"; });
  done = ReadBack(target.dataDirectory, letters);
  SelectStandardDatabase();
  report = "The " + target.name + " Database was restored from " + chosen;
  if (done.ok())
    report += ": its records and " + std::to_string(letters.size()) + " letter files are as they were when it was backed up.";
  else
    report += ", but it does not read back as the backup holds it (" + done.text() + "); restore it again.";
  return done;
}

}  // namespace filomar::backup
