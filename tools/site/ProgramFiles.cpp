#include "site/ProgramFiles.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "platform/copylib/InstallRecordFile.h"
#include "platform/winapi/ClientSettings.h"

namespace site {
namespace fs = std::filesystem;

namespace {

Status WriteText(const fs::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) return Status::Error("cannot write " + file.string());
  return Status::Ok();
}

fs::path DistDirectory() {
  const char* dist = std::getenv("FILOMAR_DIST");
  return dist != nullptr && *dist != '\0' ? fs::path(dist) : fs::path(FILOMAR_DIST_DIR);
}

struct LetterFile {
  const char* name;
  const char* title;
};

std::vector<LetterFile> LetterFiles(DatabaseKind kind) {
  switch (kind) {
    case DatabaseKind::kFull40:
      return {{"LetterA", "Acknowledgement of receipt"}, {"LetterC", "Request for further information"},
              {"LetterJ", "General covering letter"}, {"ActShtB", "Urgent action sheet"}, {"ActShtJ", "Mail register sheet"}};
    case DatabaseKind::kMinimal40:
      return {{"LetterA", "Acknowledgement of receipt"}};
    case DatabaseKind::kConverted50:
      return {{"Letter01", "Acknowledgement of receipt"}, {"Letter03", "Request for further information"},
              {"ActSht02", "Urgent action sheet"}};
    case DatabaseKind::kMissing:
      break;
  }
  return {};
}

// FINANCE shows the renaming on its own: three 4.0 files whose new names are 01, 03 and 02,
// and a Letter01 left behind by an earlier trial of 5.0 that the renaming must replace.
std::vector<LetterFile> LetterFilesOf(const DatabaseSpec& database) {
  if (database.name != "FINANCE") return LetterFiles(database.kind);
  return {{"LetterA", "Acknowledgement of receipt"}, {"LetterC", "Request for further information"},
          {"ActShtB", "Urgent action sheet"}, {"Letter01", "Trial letter of 5.0, to be replaced"}};
}

}  // namespace

Status CopyShippedScripts(const fs::path& programDir) {
  const fs::path dist = DistDirectory();
  std::error_code ec;
  if (!fs::is_directory(dist, ec)) return Status::Ok();
  for (const fs::directory_entry& entry : fs::directory_iterator(dist, ec)) {
    if (!entry.is_regular_file(ec) || entry.path().filename() == kSqlServerLockScript) continue;
    fs::copy_file(entry.path(), programDir / entry.path().filename(), fs::copy_options::overwrite_existing, ec);
    if (ec) return Status::Error("cannot copy " + entry.path().string() + ": " + ec.message());
  }
  if (ec) return Status::Error("cannot read " + dist.string() + ": " + ec.message());
  return Status::Ok();
}

Status WriteOdbcIni(const fs::path& programDir, const fs::path& finalProgramDir) {
  return WriteText(programDir / "odbc.ini",
                   "[filomar4]\nDescription=Filomar demo server (embedded engine)\nDriver=SQLite3\nDatabase=" +
                       (finalProgramDir / "server.sqlite").string() + "\nTimeout=10000\n");
}

Status WriteClientSettings(const fs::path& programDir, const std::string& dataRoot) {
  return WriteText(programDir / "FLMWIN.INI", "[DATABASE]\r\nStandardDataDir=" + dataRoot + "\r\n");
}

Status WriteInstallRecords(const std::vector<fs::path>& directories, char engine, const std::string& password) {
  for (const fs::path& dir : directories) {
    std::error_code ec;
    try {
      ec = copylib::WriteInstallRecord(dir, engine, password);
    } catch (const std::invalid_argument&) {
      return Status::Error("the password is longer than " + std::to_string(copylib::kPasswordWidth) + " characters");
    }
    if (ec) return Status::Error("cannot write the installation record in " + dir.string() + ": " + ec.message());
  }
  return Status::Ok();
}

std::vector<fs::path> InstallRecordDirectories(const fs::path& site) {
  std::vector<fs::path> dirs = {site, site / "data"};
  const std::string value = winapi::StandardDataDir((site / "FLMWIN.INI").string());
  if (!value.empty()) dirs.push_back(site / value);  // an absolute setting replaces `site`
  return dirs;
}

Status WriteLetterFiles(const fs::path& dataDir, const DatabaseSpec& database) {
  for (const LetterFile& letter : LetterFilesOf(database)) {
    const std::string body = std::string("{\\rtf1\\ansi ") + letter.title +
                             "\\par Dear <<Addressee>>,\\par Our reference: <<FileNumber>>\\par}\r\n";
    if (Status status = WriteText(dataDir / letter.name, body); !status.ok()) return status;
  }
  return Status::Ok();
}

}  // namespace site
