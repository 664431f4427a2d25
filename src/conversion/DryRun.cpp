#include "conversion/DryRun.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

#include "backup/Backup.h"
#include "common/FrontEnd.h"
#include "common/General.h"
#include "common/Text.h"
#include "conversion/FieldChanges.h"
#include "platform/reclib/keys.h"
#include "recio/Vb_io.h"
#include "shared/Catalogue.h"
#include "shared/DataFiles.h"
#include "shared/DbEngine.h"
#include "shared/Session.h"

namespace filomar {
namespace {
namespace fs = std::filesystem;

using Records = std::map<std::string, std::string>;  // whole record buffers by key

constexpr const char* kFolderStart = "filomar-dry-run-";

// Removes `name` (relative to the open folder `parent`) and everything under it with system
// calls only, so that a signal handler may call it; a name that is not a folder is unlinked.
// Links are removed, never followed.
void RemoveTreeAt(int parent, const char* name) {
  if (::unlinkat(parent, name, 0) == 0 || (errno != EISDIR && errno != EPERM)) return;
  const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  alignas(8) char entries[4096];
  // Removing entries while the folder is read may hide some from the reading: a second pass
  // takes those; a pass that finds nothing but "." and ".." ends it.
  for (int pass = 0, found = 1; pass < 3 && found != 0; ++pass) {
    found = 0;
    ::lseek(fd, 0, SEEK_SET);
    long got;
    while ((got = ::syscall(SYS_getdents64, fd, entries, sizeof entries)) > 0) {
      for (long at = 0; at < got;) {
        const auto* entry = reinterpret_cast<const struct dirent64*>(entries + at);
        at += entry->d_reclen;
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        RemoveTreeAt(fd, entry->d_name);
        ++found;
      }
    }
  }
  ::close(fd);
  ::unlinkat(parent, name, AT_REMOVEDIR);
}

// The folder of the dry run under way, for the ending signals.
char folderToRemove[PATH_MAX];
volatile std::sig_atomic_t folderSet = 0;
struct sigaction previousTerminate {}, previousHangUp {};

// SIGTERM and SIGHUP end the program as before (the handler in place before the dry run),
// after the dry run's copies are removed.
extern "C" void RemoveCopiesAndEnd(int signal) {
  if (folderSet != 0) RemoveTreeAt(AT_FDCWD, folderToRemove);
  ::sigaction(signal, signal == SIGTERM ? &previousTerminate : &previousHangUp, nullptr);
  ::raise(signal);
}

// The process id in the name of a dry run's folder ("filomar-dry-run-<pid>-XXXXXX"); 0 for
// another name.
pid_t FolderProcess(const std::string& name) {
  if (name.rfind(kFolderStart, 0) != 0) return 0;
  const std::string rest = name.substr(std::strlen(kFolderStart));
  const std::size_t dash = rest.find('-');
  if (dash == 0 || dash == std::string::npos || rest.find_first_not_of("0123456789") != dash) return 0;
  return static_cast<pid_t>(std::stol(rest.substr(0, dash)));
}

// Removes the folders of this user's dry runs whose process has ended (killed, say, with
// SIGKILL, which no handler sees).
void RemoveFoldersOfEndedRuns(const fs::path& temporary) {
  std::error_code ec;
  for (fs::directory_iterator it(temporary, ec), end; !ec && it != end; it.increment(ec)) {
    const pid_t process = FolderProcess(it->path().filename().string());
    struct stat st {};
    if (process <= 0 || ::lstat(it->path().c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) continue;
    if (::kill(process, 0) == 0 || errno != ESRCH) continue;
    RemoveTreeAt(AT_FDCWD, it->path().c_str());
  }
}

// A private folder under the system's temporary directory, named after this process, removed
// with everything in it at the end of the dry run of a database or by SIGTERM or SIGHUP.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    const fs::path temporary = fs::temp_directory_path();
    RemoveFoldersOfEndedRuns(temporary);
    std::string pattern = (temporary / (kFolderStart + std::to_string(::getpid()) + "-XXXXXX")).string();
    if (pattern.size() >= sizeof folderToRemove || ::mkdtemp(pattern.data()) == nullptr) return;
    path_ = pattern;
    std::memcpy(folderToRemove, pattern.c_str(), pattern.size() + 1);
    folderSet = 1;
    struct sigaction action {};
    action.sa_handler = RemoveCopiesAndEnd;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, &previousTerminate);
    ::sigaction(SIGHUP, &action, &previousHangUp);
  }
  ~TemporaryFolder() {
    if (path_.empty()) return;
    ::sigaction(SIGTERM, &previousTerminate, nullptr);
    ::sigaction(SIGHUP, &previousHangUp, nullptr);
    folderSet = 0;
    RemoveTreeAt(AT_FDCWD, path_.c_str());
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// Passes everything to the front end in use and counts the messages shown meanwhile.
class MessageCounter : public ui::Ui {
 public:
  MessageCounter() : inner_(FrontEnd()) { SetFrontEnd(*this); }
  ~MessageCounter() override { SetFrontEnd(inner_); }
  MessageCounter(const MessageCounter&) = delete;
  MessageCounter& operator=(const MessageCounter&) = delete;

  int MsgBox(const std::string& text, std::uint16_t code, const std::string& title) override {
    ++shown;
    return inner_.MsgBox(text, code, title);
  }
  void DoEvents() override { inner_.DoEvents(); }
  void SetMousePointer(ui::MousePointer pointer) override { inner_.SetMousePointer(pointer); }
  void Beep() override { inner_.Beep(); }
  ui::ScreenSize Screen() const override { return inner_.Screen(); }

  int shown = 0;

 private:
  ui::Ui& inner_;
};

bool Select(const CatalogueEntry& entry, const fs::path& directory, std::string& problem) {
  return SelectDatabase({entry.name, directory.string() + "/", entry.prefix}, &problem);
}

// The file numbers of the file table that name a record file, and their names.
std::vector<std::pair<short, std::string>> RecordFiles() {
  std::vector<std::pair<short, std::string>> files;
  for (short file = 1; file < kFileCount; ++file) {
    const FileBlock& block = Block(file);
    if (reclib::KeyLength(block.code) == 0) continue;
    std::string name = RTrim(std::string(block.code, sizeof block.code));
    if (block.instance != 0) name += "#" + std::to_string(block.instance);
    files.emplace_back(file, name);
  }
  return files;
}

// The copies are compared a key range at a time so that a file of millions of records needs
// no more memory than one range of each copy.
constexpr std::size_t kRecordsPerPass = 4096;

void PutKey(FileBlock& block, const std::string& key) {
  std::memset(block.record, 0, sizeof block.record);
  std::memcpy(block.record, key.data(), std::min(key.size(), sizeof block.record));
}

// The records of `file` in the selected database from key `from` (inclusive; empty: the
// lowest) to key `to` (inclusive; none: the last), at most `limit` of them.
std::optional<Records> ReadRecords(short file, const std::string& from, const std::optional<std::string>& to,
                                   std::size_t limit, std::string& problem) {
  vb_io_open(file, "");
  if (vb_io_erc != 0) return problem = vb_io_failure(), std::nullopt;
  FileBlock& block = Block(file);
  const auto keyLength = static_cast<std::size_t>(reclib::KeyLength(block.code));
  Records records;
  if (to) PutKey(block, *to), vb_io_startRange(file, 0);
  if (vb_io_erc == 0) PutKey(block, from), vb_io_start(file, 0, 0, 1025);
  if (vb_io_erc == 0) {
    for (vb_io_next(file, 0); vb_io_erc == 0; vb_io_next(file, 0)) {
      const std::string record(block.record, sizeof block.record);
      records[record.substr(0, keyLength)] = record;
      if (records.size() == limit) break;
    }
  }
  const bool read = vb_io_erc == 0 || vb_io_erc == kEndOfScan || vb_io_erc == reclib::kNotFound;
  if (!read) problem = vb_io_failure();
  vb_io_endstart(file);
  vb_io_close(file);
  return read ? std::optional<Records>(std::move(records)) : std::nullopt;
}

// Adds one key range of both copies to `result`; the first change of the file is the first
// one of the first range that has any, as the ranges come in key order.
void ComparePass(short file, const Records& before, const Records& after, DryRunFile& result) {
  result.read += static_cast<long long>(before.size());
  std::map<std::string, std::pair<std::string, std::string>> changed;  // by key: before, after ("" = none)
  for (const auto& [key, record] : before) {
    const auto it = after.find(key);
    if (it == after.end()) ++result.removed;
    if (it == after.end() || it->second != record) changed[key] = {record, it == after.end() ? "" : it->second};
  }
  for (const auto& [key, record] : after) {
    if (before.count(key) != 0) continue;
    ++result.added;
    changed[key] = {"", record};
  }
  if (result.changed == 0 && !changed.empty()) {
    const auto& [key, versions] = *changed.begin();
    result.firstKey = ShownValue(key);
    result.firstIs = versions.first.empty()    ? FirstChange::kNew
                     : versions.second.empty() ? FirstChange::kRemoved
                                               : FirstChange::kChanged;
    // A record that is not there reads as blanks: only the fields it would hold are shown.
    const std::string blank(reclib::kRecordSize, ' ');
    result.firstChanges = ChangedFields(file, key, versions.first.empty() ? blank : versions.first,
                                        versions.second.empty() ? blank : versions.second);
  }
  result.changed += static_cast<long long>(changed.size());
}

// Compares record file `file` of the converted copy in `work` with the untouched one in
// `before`, range by range: each range ends at the last of kRecordsPerPass keys of `before`,
// and the next one starts after it.
std::optional<DryRunFile> CompareFile(const CatalogueEntry& entry, const fs::path& before, const fs::path& work,
                                      short file, const std::string& code, std::string& problem) {
  DryRunFile result;
  result.code = code;
  std::string from;
  for (bool first = true;; first = false) {
    std::optional<Records> old, converted;
    if (Select(entry, before, problem)) old = ReadRecords(file, from, std::nullopt, kRecordsPerPass + !first, problem);
    if (!old) return std::nullopt;
    if (!first) old->erase(from);
    const bool last = old->size() < kRecordsPerPass;
    const std::optional<std::string> to = last ? std::nullopt : std::optional(old->rbegin()->first);
    if (Select(entry, work, problem)) converted = ReadRecords(file, from, to, SIZE_MAX, problem);
    if (!converted) return std::nullopt;
    if (!first) converted->erase(from);
    ComparePass(file, *old, *converted, result);
    if (last) return result;
    from = *to;
  }
}

// Compares every record file of the converted copy in `work` with the untouched one in `before`.
bool CompareRecordFiles(const CatalogueEntry& entry, const fs::path& before, const fs::path& work, DryRunReport& report) {
  std::string problem;
  for (const auto& [file, code] : RecordFiles()) {
    const auto compared = CompareFile(entry, before, work, file, code, problem);
    if (!compared) return report.why = "the copy's " + code + " file could not be read: " + problem, false;
    if (compared->read != 0 || compared->changed != 0) report.files.push_back(*compared);
  }
  return true;
}

// The letter files of `directory` by their inode, which a rename keeps.
std::map<ino_t, std::string> LetterInodes(const fs::path& directory) {
  std::map<ino_t, std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
    struct stat st {};
    const std::string name = it->path().filename().string();
    if (IsLetterFileName(name) && ::lstat(it->path().c_str(), &st) == 0 && S_ISREG(st.st_mode)) names[st.st_ino] = name;
  }
  return names;
}

// The letter files whose name changed between `before` and `after` (both by inode).
std::vector<LetterRename> Renames(const std::map<ino_t, std::string>& before, const std::map<ino_t, std::string>& after) {
  std::vector<LetterRename> renames;
  for (const auto& [inode, name] : before) {
    const auto now = after.find(inode);
    if (now == after.end()) renames.push_back({name, ""});
    else if (now->second != name) renames.push_back({name, now->second});
  }
  std::sort(renames.begin(), renames.end(), [](const LetterRename& a, const LetterRename& b) { return a.from < b.from; });
  return renames;
}

// Runs the steps that apply on the copy the record library has selected, in one database
// transaction as a conversion does.
bool RunStepsOnCopy(const std::string& name, const std::string& prefix, const StepTable& steps,
                    ado::ListingProviderFactory& server, frmProgress* progress, std::string& why) {
  ConversionLog log;  // never opened: the steps' lines are dropped
  frmProgress unseen;
  frmProgress& shown = progress != nullptr ? *progress : unseen;
  StepContext context{log, name, prefix, server, shown};
  MessageCounter messages;
  vb_io_beginDatabase();
  if (vb_io_erc != 0) return why = "the copy's transaction could not begin: " + vb_io_failure(), false;
  for (const Step& step : steps) {
    if (!Applies(step, DbEngine, name)) continue;
    if (shown.lblstatus != step.statusCaption) {
      shown.lblstatus = step.statusCaption;
      shown.Refresh();
    }
    for (const StepRoutine& routine : step.routines) {
      try {
        routine.run(context);
      } catch (const std::exception& e) {
        vb_io_rollbackDatabase();
        return why = "step " + routine.name + " stopped: " + e.what(), false;
      }
      if (!context.failure.empty()) {
        vb_io_rollbackDatabase();
        return why = context.failure, false;
      }
    }
  }
  if (messages.shown != 0) {
    vb_io_rollbackDatabase();
    return why = "the steps showed " + std::to_string(messages.shown) + " message(s)", false;
  }
  vb_io_commitDatabase();
  if (vb_io_erc != 0) return why = "the copy's records and letters could not be saved: " + vb_io_failure(), false;
  return true;
}

// Nothing counts as converted before it is read back: the copy, still selected after the
// steps, must read version 500A in its CONF C00 record.
bool CopyReadsConverted(DryRunReport& report) {
  std::string problem;
  const std::optional<std::string> version = ReadVersionCode(&problem);
  if (!version) return report.why = "the converted copy's version could not be read back: " + problem, false;
  if (!IsVersion(version, kVersion50))
    return report.why = "the converted copy reads version \"" + RTrim(*version) + "\", not " + kVersion50, false;
  return true;
}

// The dry run of a catalogued database at 4.0, its real store selected.
bool DryRunSelected(const CatalogueEntry& entry, const StepTable& steps, ado::ListingProviderFactory& server,
                    frmProgress* progress, DryRunReport& report) {
  const TemporaryFolder temporary;
  const fs::path before = temporary.path() / "before", work = temporary.path() / "work";
  std::error_code ec;
  if (temporary.path().empty() || !fs::create_directory(before, ec) || !fs::create_directory(work, ec))
    return report.why = "no temporary folder could be made in " + fs::temp_directory_path().string(), false;
  const std::string storeName = entry.prefix + ".records";
  const auto letterDirectory = backup::SelectedDataDirectory();
  for (const fs::path& copy : {before, work}) {
    vb_io_backupStore((copy / storeName).string());
    if (vb_io_erc != 0) return report.why = "the record store could not be copied: " + vb_io_failure(), false;
  }
  std::string problem;
  if (!letterDirectory) return report.why = "its data directory is not known", false;
  std::vector<backup::ManifestEntry> letters;
  Status copied = backup::ListLetters(*letterDirectory, letters);
  if (copied.ok()) copied = backup::CopyLetters(work.string(), letters);
  if (!copied.ok()) return report.why = "the letter files could not be copied: " + copied.text(), false;
  const auto lettersBefore = LetterInodes(work);

  if (!Select(entry, work, problem)) return report.why = "the copy could not be selected: " + problem, false;
  server.TakeStatements();
  const bool ran = RunStepsOnCopy(entry.name, entry.prefix, steps, server, progress, report.why);
  report.statements = server.TakeStatements();
  if (!ran || !CopyReadsConverted(report)) return false;
  report.renames = Renames(lettersBefore, LetterInodes(work));
  return CompareRecordFiles(entry, before, work, report);
}

volatile std::sig_atomic_t interruptRequested = 0;
extern "C" void RequestStopAfterDatabase(int) { interruptRequested = 1; }

}  // namespace

InterruptAfterDatabase::InterruptAfterDatabase() {
  interruptRequested = 0;
  struct sigaction action {};
  action.sa_handler = RequestStopAfterDatabase;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &action, &previous_);
}

InterruptAfterDatabase::~InterruptAfterDatabase() { ::sigaction(SIGINT, &previous_, nullptr); }

bool InterruptAfterDatabase::requested() const { return interruptRequested != 0; }

DryRunReport DryRunDatabase(const std::string& name, const StepTable& steps, ado::ListingProviderFactory& server,
                            frmProgress* progress) {
  DryRunReport report;
  report.database = RTrim(name);
  auto entry = FindCatalogueEntry(name);
  if (!entry) {
    report.why = "it is not catalogued";
    return report;
  }
  entry->name = RTrim(entry->name);
  entry->prefix = RTrim(entry->prefix);
  std::string problem;
  std::optional<std::string> version;
  if (SelectDatabase(*entry, &problem)) version = ReadVersionCode(&problem);
  if (!version) report.why = "it cannot be read: " + problem;
  else if (!IsVersion(version, kVersion40)) report.why = "it is not at release 4.0 (version \"" + RTrim(*version) + "\")";
  else report.clean = DryRunSelected(*entry, steps, server, progress, report);
  WriteTrace("dry run of " + report.database + ": " + (report.clean ? "clean" : report.why));
  SelectStandardDatabase();
  return report;
}

void CheckStatementsOnServer(DryRunReport& report, ServerCatalogueCheck& check) {
  for (std::size_t i = 0; i < report.statements.size(); ++i) {
    std::vector<std::string> reasons = check.WouldFail(report.statements[i]);
    if (!reasons.empty()) report.wouldFail[i] = std::move(reasons);
  }
  if (check.Failure().empty() || !report.clean) return;
  report.clean = false;
  report.why = "the server's catalogue could not be asked: " + check.Failure();
}

}  // namespace filomar
