#include "backup/Backup.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "backup/OpenFile.h"
#include "backup/Seal.h"
#include "common/Text.h"
#include "platform/winapi/AppPath.h"
#include "platform/reclib/DataDirectory.h"
#include "recio/Vb_io.h"
#include "shared/Connection.h"
#include "shared/DataFiles.h"

namespace filomar::backup {
namespace {
namespace fs = std::filesystem;

std::string Stamp(std::time_t now) {
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

// Makes the folder, adding "-2", "-3" ... when a backup of the same second exists.
Status MakeFolder(const fs::path& root, const std::string& base, std::string& made) {
  std::error_code ec;
  fs::create_directories(root, ec);
  if (ec) return Status::IoError(root.string(), ec.message());
  for (int n = 1; n < 100; ++n) {
    const fs::path folder = root / (base + (n == 1 ? "" : "-" + std::to_string(n)));
    if (fs::create_directory(folder, ec)) return made = folder.string(), Status::Ok();
    if (ec) return Status::IoError(folder.string(), ec.message());
  }
  return Status::IoError((root / base).string(), "too many backups of the same second");
}

void RemoveFolder(const std::string& folder) {
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

// Syncs a file the backup copied and gives `entry` its size and SHA-256, in one open of it.
Status SyncAndDescribe(ManifestEntry& entry, const fs::path& copy) {
  OpenFile file;
  if (Status opened = file.Open(copy.string()); !opened.ok()) return opened;
  if (Status synced = file.Sync(); !synced.ok()) return synced;
  entry.size = file.size();
  return file.Sha256(entry.sha256);
}

// The one call that copies the record store: the record library's copy of the selected
// database's store, as committed, into the new file `destination`, synced.
Status CopyStore(const std::string& destination) {
  vb_io_backupStore(destination);
  return vb_io_erc == 0 ? Status::Ok() : Status::IoError(vb_io_failure());
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

Status ListLetters(const std::string& directory, std::vector<ManifestEntry>& letters) {
  std::error_code ec;
  for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (!IsLetterFileName(name) || !it->is_regular_file(typeError) || it->is_symlink(typeError)) continue;
    if (!Listable(name)) return Status::Invalid(it->path().string(), "a name with a tab, a line break or a NUL cannot be listed in the manifest");
    letters.push_back({"letter", 0, "", name, it->path().string()});
  }
  if (ec) return Status::IoError(directory, ec.message());
  return Status::Ok();
}

Status CopyLetters(const std::string& folder, const std::vector<ManifestEntry>& letters) {
  for (const ManifestEntry& letter : letters) {
    const fs::path copy = fs::path(folder) / letter.name;
    std::error_code ec;
    if (!fs::copy_file(letter.from, copy, ec)) return Status::IoError(copy.string(), ec.message());
  }
  return Status::Ok();
}

std::optional<std::string> SelectedDataDirectory() {
  std::string directory, prefix;
  vb_io_getDirectory(ConnHandle, directory, prefix);
  if (vb_io_erc != 0) return std::nullopt;
  std::error_code ec;
  const fs::path resolved = fs::weakly_canonical(fs::absolute(reclib::ResolveDataDirectory(directory)), ec);
  if (ec) return std::nullopt;
  std::string text = resolved.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

Status CopySelectedDatabase(const std::string& root, const std::string& name, const std::string& prefix, std::time_t now,
                            PendingBackup& backup) {
  const auto directory = SelectedDataDirectory();
  if (!directory) return Status::NotFound(name, "no database selected");
  const std::string storeName = prefix + ".records";
  std::vector<ManifestEntry> entries{{"store", 0, "", storeName, *directory + "/" + storeName}};
  if (!Listable(entries.front().from))
    return Status::Invalid(entries.front().from, "a name with a tab, a line break or a NUL cannot be listed in the manifest");
  if (Status listed = ListLetters(*directory, entries); !listed.ok()) return listed;

  std::string key;
  if (Status loaded = LoadOrMakeKey(winapi::AppPath(), key); !loaded.ok()) return loaded;
  std::string folder;
  if (Status made = MakeFolder(root, RTrim(name) + "-" + Stamp(now), folder); !made.ok()) return made;
  Status copied = CopyStore(folder + "/" + storeName);
  if (copied.ok()) copied = CopyLetters(folder, std::vector<ManifestEntry>(entries.begin() + 1, entries.end()));
  if (!copied.ok()) {
    RemoveFolder(folder);
    return copied;
  }
  backup.folder_ = folder;
  backup.key_ = std::move(key);
  backup.manifest_ = {RTrim(name), std::move(entries), "", ""};
  return Status::Ok();
}

Status PendingBackup::Finish() {
  Status written;
  for (ManifestEntry& entry : manifest_.entries) {
    if (written.ok()) written = SyncAndDescribe(entry, fs::path(folder_) / entry.name);
  }
  if (written.ok()) written = WriteManifest(folder_, manifest_, key_);
  if (!written.ok()) RemoveFolder(folder_);
  return written;
}

void PendingBackup::Discard() { RemoveFolder(folder_); }

Status BackupServerFile(const std::string& root, ado::ProviderFactory& server, std::time_t now, std::string& folder) {
  folder.clear();
  std::string refusal;
  ServerConversation conversation([&refusal](const std::string& error, const std::string&, const ado::Error&) { refusal += error; },
                                  server);
  const auto serverFile = EmbeddedServerFile(conversation);
  if (!serverFile) return Status::Ok();
  std::string key;
  if (Status loaded = LoadOrMakeKey(winapi::AppPath(), key); !loaded.ok()) return loaded;
  std::string made;
  if (Status status = MakeFolder(root, "server-" + Stamp(now), made); !status.ok()) return status;
  const std::string copy = made + "/server.sqlite";
  refusal.clear();
  Manifest manifest{"the database server", {{"server", 0, "", "server.sqlite", *serverFile}}, "", ""};
  Status written;
  if (!conversation.Execute("VACUUM INTO " + SqlText(copy))) {
    std::replace(refusal.begin(), refusal.end(), '\r', ' ');
    written = Status::IoError(copy, RTrim(refusal));
  }
  if (written.ok()) written = SyncAndDescribe(manifest.entries.front(), copy);
  if (written.ok()) written = WriteManifest(made, manifest, key);
  if (written.ok()) folder = made;
  else RemoveFolder(made);
  return written;
}

std::vector<std::string> BackupFolders(const std::string& root, const std::string& name) {
  const std::string start = RTrim(name) + "-";
  std::vector<std::string> folders;
  std::error_code ec;
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string folder = it->path().filename().string();
    // The time follows the name: "server-..." is not a backup of a database named "server".
    const bool named = folder.rfind(start, 0) == 0 && folder.size() > start.size() &&
                       std::isdigit(static_cast<unsigned char>(folder[start.size()]));
    std::error_code typeError;
    if (named && it->is_directory(typeError) && fs::exists(it->path() / kManifestName, typeError))
      folders.push_back(it->path().string());
  }
  std::sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
    return fs::path(a).filename().string() > fs::path(b).filename().string();
  });
  return folders;
}

std::optional<std::string> NewestBackup(const std::string& root, const std::string& name) {
  const std::vector<std::string> folders = BackupFolders(root, name);
  if (folders.empty()) return std::nullopt;
  return folders.front();
}

}  // namespace filomar::backup
