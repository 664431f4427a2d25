#include "conversion/Backup.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "common/Text.h"
#include "conversion/steps/Letters.h"
#include "platform/copylib/Sha256.h"
#include "platform/copylib/SyncFile.h"
#include "recio/Vb_io.h"
#include "shared/Connection.h"

namespace filomar {
namespace {
namespace fs = std::filesystem;

constexpr const char* kHeading = "filomar-convert backup";

std::string Stamp(std::time_t now) {
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

// Makes the folder, adding "-2", "-3" ... when a backup of the same second exists.
std::optional<fs::path> MakeFolder(const fs::path& root, const std::string& base, std::string& problem) {
  std::error_code ec;
  fs::create_directories(root, ec);
  if (ec) return problem = root.string() + ": " + ec.message(), std::nullopt;
  for (int n = 1; n < 100; ++n) {
    const fs::path folder = root / (base + (n == 1 ? "" : "-" + std::to_string(n)));
    if (fs::create_directory(folder, ec)) return folder;
    if (ec) return problem = folder.string() + ": " + ec.message(), std::nullopt;
  }
  return problem = (root / base).string() + ": too many backups of the same second", std::nullopt;
}

bool Describe(BackupEntry& entry, const fs::path& copy, std::string& problem) {
  std::error_code ec;
  entry.size = static_cast<long long>(fs::file_size(copy, ec));
  if (ec) return problem = copy.string() + ": " + ec.message(), false;
  const auto digest = copylib::FileSha256(copy.string(), problem);
  if (!digest) return false;
  entry.sha256 = *digest;
  return true;
}

bool CopyLetters(const fs::path& folder, std::vector<BackupEntry>& entries, std::string& problem) {
  const auto directory = steps::LetterDirectory();
  if (!directory) return problem = "no database selected", false;
  std::error_code ec;
  for (fs::directory_iterator it(*directory, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!steps::IsLetterFileName(name) || !it->is_regular_file()) continue;
    BackupEntry entry{"letter", 0, "", name, it->path().string()};
    if (!fs::copy_file(it->path(), folder / name, ec) || !copylib::SyncFile((folder / name).string(), problem)) {
      if (ec) problem = (folder / name).string() + ": " + ec.message();
      return false;
    }
    entries.push_back(entry);
  }
  if (ec) return problem = *directory + ": " + ec.message(), false;
  return true;
}

bool Listable(const std::string& text) { return text.find_first_of("\t\r\n") == std::string::npos; }

bool WriteManifest(const fs::path& folder, const std::string& name, const std::vector<BackupEntry>& entries,
                   std::string& problem) {
  for (const BackupEntry& e : entries) {
    if (!Listable(e.name) || !Listable(e.from)) {
      return problem = e.from + ": a name with a tab or a line break cannot be listed in the manifest", false;
    }
  }
  const fs::path temporary = folder / (std::string(kManifestName) + ".tmp");
  {
    std::ofstream out(temporary, std::ios::binary);
    out << kHeading << " of " << name << "\n";
    for (const BackupEntry& e : entries) {
      out << e.kind << '\t' << e.size << '\t' << e.sha256 << '\t' << e.name << '\t' << e.from << "\n";
    }
    out.close();
    if (!out) return problem = temporary.string() + ": the file could not be written", false;
  }
  if (!copylib::SyncFile(temporary.string(), problem)) return false;
  std::error_code ec;
  fs::rename(temporary, folder / kManifestName, ec);
  if (ec) return problem = (folder / kManifestName).string() + ": " + ec.message(), false;
  return copylib::SyncFile(folder.string(), problem);
}

// One MANIFEST line into `e`; false for a line that is not five tab-separated fields, or whose
// name would lead out of the backup folder.
bool ParseLine(const std::string& line, BackupEntry& e) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
    fields.push_back(line.substr(start, tab - start));
  }
  fields.push_back(line.substr(start));
  if (fields.size() != 5 || fields[1].empty() || fields[1].size() > 18 ||
      fields[1].find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  e = {fields[0], std::stoll(fields[1]), fields[2], fields[3], fields[4]};
  return !e.name.empty() && e.name != "." && e.name != ".." && e.name.find('/') == std::string::npos;
}

// The file of the server's main database when the server is the embedded one; nullopt otherwise.
// Other servers refuse the statement; their refusal is the answer, so it is not reported.
std::optional<std::string> EmbeddedServerFile(ServerConversation& conversation) {
  const ado::Recordset result = conversation.Query("PRAGMA database_list");
  const ado::RowSet& rows = result.Rows();
  const auto column = [&rows](const char* name) {
    return std::find(rows.columns.begin(), rows.columns.end(), name) - rows.columns.begin();
  };
  const auto name = column("name"), file = column("file");
  for (const auto& row : rows.rows) {
    if (std::max(name, file) >= static_cast<long>(row.size())) break;
    if (row[name] == "main" && row[file] && !row[file]->empty()) return row[file];
  }
  return std::nullopt;
}

std::string SqlText(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::optional<std::string> BackupServerFile(const std::string& root, ado::ProviderFactory& server, std::time_t now,
                                            std::string& problem) {
  std::string refusal;
  ServerConversation conversation([&refusal](const std::string& error, const std::string&, const ado::Error&) { refusal += error; },
                                  server);
  const auto serverFile = EmbeddedServerFile(conversation);
  if (!serverFile) return std::string();
  const auto folder = MakeFolder(root, "server-" + Stamp(now), problem);
  if (!folder) return std::nullopt;
  const fs::path copy = *folder / "server.sqlite";
  refusal.clear();
  BackupEntry entry{"server", 0, "", "server.sqlite", *serverFile};
  bool written = conversation.Execute("VACUUM INTO " + SqlText(copy.string()));
  if (!written) {
    std::replace(refusal.begin(), refusal.end(), '\r', ' ');
    problem = copy.string() + ": " + RTrim(refusal);
  }
  written = written && copylib::SyncFile(copy.string(), problem) && Describe(entry, copy, problem) &&
            WriteManifest(*folder, "the database server", {entry}, problem);
  if (written) return folder->string();
  std::error_code ignored;
  fs::remove_all(*folder, ignored);
  return std::nullopt;
}

std::optional<PendingBackup> CopySelectedDatabase(const std::string& root, const std::string& name,
                                                  const std::string& prefix, std::time_t now, std::string& problem) {
  const auto folder = MakeFolder(root, RTrim(name) + "-" + Stamp(now), problem);
  if (!folder) return std::nullopt;
  PendingBackup backup;
  backup.folder_ = folder->string();
  backup.name_ = name;
  const std::string storeName = prefix + ".records";
  vb_io_backupStore((*folder / storeName).string());
  bool copied = vb_io_erc == 0;
  if (!copied) problem = vb_io_failure();
  if (copied) {
    const auto directory = steps::LetterDirectory();
    backup.entries_.push_back({"store", 0, "", storeName, directory ? *directory + storeName : storeName});
    copied = CopyLetters(*folder, backup.entries_, problem);
  }
  if (copied) return backup;
  std::error_code ignored;
  fs::remove_all(*folder, ignored);
  return std::nullopt;
}

bool PendingBackup::Finish(std::string& problem) {
  bool written = true;
  for (BackupEntry& entry : entries_) written = written && Describe(entry, fs::path(folder_) / entry.name, problem);
  written = written && WriteManifest(folder_, name_, entries_, problem);
  if (written) return true;
  if (problem.empty()) problem = folder_ + ": the manifest could not be written";
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
  return false;
}

std::optional<std::string> BackupSelectedDatabase(const std::string& root, const std::string& name,
                                                  const std::string& prefix, std::time_t now, std::string& problem) {
  auto backup = CopySelectedDatabase(root, name, prefix, now, problem);
  if (!backup || !backup->Finish(problem)) return std::nullopt;
  return backup->folder();
}

std::optional<std::vector<BackupEntry>> VerifyBackup(const std::string& folder, std::string& problem) {
  const fs::path manifest = fs::path(folder) / kManifestName;
  std::ifstream in(manifest, std::ios::binary);
  std::string line;
  if (!in || !std::getline(in, line) || line.rfind(kHeading, 0) != 0) {
    return problem = manifest.string() + ": missing or not a backup manifest", std::nullopt;
  }
  std::vector<BackupEntry> entries;
  while (std::getline(in, line)) {
    BackupEntry e;
    if (!ParseLine(line, e)) return problem = manifest.string() + ": damaged line \"" + line + "\"", std::nullopt;
    BackupEntry found = e;
    const fs::path copy = fs::path(folder) / e.name;
    if (!Describe(found, copy, problem)) return std::nullopt;
    if (found.size != e.size || found.sha256 != e.sha256) {
      return problem = copy.string() + ": its size or SHA-256 differs from the manifest", std::nullopt;
    }
    entries.push_back(e);
  }
  if (std::none_of(entries.begin(), entries.end(), [](const BackupEntry& e) { return e.kind == "store"; })) {
    return problem = manifest.string() + ": names no record store", std::nullopt;
  }
  return entries;
}

std::optional<std::string> NewestBackup(const std::string& root, const std::string& name) {
  const std::string start = RTrim(name) + "-";
  std::optional<std::string> newest;
  std::error_code ec;
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string folder = it->path().filename().string();
    // The time follows the name: "server-..." is not a backup of a database named "server".
    const bool named = folder.rfind(start, 0) == 0 && folder.size() > start.size() &&
                       std::isdigit(static_cast<unsigned char>(folder[start.size()]));
    if (!named || !it->is_directory() || !fs::exists(it->path() / kManifestName)) continue;
    if (!newest || folder > fs::path(*newest).filename().string()) newest = it->path().string();
  }
  return newest;
}

}  // namespace filomar
