#include "shared/Catalogue.h"

#include "common/General.h"
#include "platform/reclib/DataDirectory.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "shared/Session.h"

namespace filomar {

CatalogueEntry EntryInBuffer() {
  return {GetText(DB_DatabaseName), GetText(DB_DataDirectory), GetText(DB_DatabasePrefix)};
}

std::optional<CatalogueEntry> ReadCatalogueEntry(const std::string& name) {
  ClearRecord(DB_FILE);
  PutField(DB_DatabaseName, name);
  vb_io_read(DB_FILE, 0, 0);
  if (vb_io_erc != 0) return std::nullopt;
  return EntryInBuffer();
}

std::optional<CatalogueEntry> FindCatalogueEntry(const std::string& name) {
  SelectStandardDatabase();
  vb_io_open(DB_FILE, "");
  auto entry = ReadCatalogueEntry(name);
  vb_io_close(DB_FILE);
  return entry;
}

bool SelectDatabase(const CatalogueEntry& entry, std::string* problem) {
  std::string directory = entry.directory, prefix = entry.prefix;
  vb_io_setDirectory(ConnHandle, directory, prefix);
  if (vb_io_erc == 0) return true;
  if (problem != nullptr) *problem = vb_io_failure() + " (status " + std::to_string(vb_io_erc) + ")";
  return false;
}

std::optional<std::string> ReadVersionCode(std::string* problem) {
  vb_io_open(CONF_FILE, "");
  if (vb_io_erc != 0) {
    if (problem != nullptr) *problem = vb_io_failure() + " (status " + std::to_string(vb_io_erc) + ")";
    return std::nullopt;
  }
  ClearRecord(CONF_FILE);
  PutField(CONF_RowKey, std::string("C00"));
  vb_io_read(CONF_FILE, 0, 0);
  std::optional<std::string> code;
  // The field's bytes as stored, NULs included, so that a damaged code shows as it is.
  if (vb_io_erc == 0) code = std::string(Block(CONF_FILE).record + CONF_VersionText.offset, CONF_VersionText.length);
  else if (problem != nullptr) *problem = "its version record C00 cannot be read (status " + std::to_string(vb_io_erc) + ")";
  vb_io_close(CONF_FILE);
  return code;
}

std::vector<CatalogueEntry> CatalogueEntries() {
  std::vector<CatalogueEntry> entries;
  SelectStandardDatabase();
  vb_io_open(DB_FILE, "");
  if (vb_io_erc != 0) return entries;
  ClearRecord(DB_FILE);
  PutField(DB_DatabaseName, std::string(10, ' '));
  vb_io_start(DB_FILE, 0, 0, 1025);
  for (vb_io_next(DB_FILE, 0); vb_io_erc == 0; vb_io_next(DB_FILE, 0)) entries.push_back(EntryInBuffer());
  vb_io_endstart(DB_FILE);
  vb_io_close(DB_FILE);
  return entries;
}

void ScanCatalogue(const CatalogueVisitor& visit) {
  const reclib::DataRootHold oneReadingOfTheDataRoot;
  for (const CatalogueEntry& entry : CatalogueEntries()) {
    std::string problem;
    std::optional<std::string> version;
    if (SelectDatabase(entry, &problem)) version = ReadVersionCode(&problem);
    SelectStandardDatabase();
    if (!visit(entry, version, problem)) break;
  }
}

bool IsVersion(const std::optional<std::string>& code, const char* version) {
  return code.has_value() && SameText(*code, version);
}

KeepCurrentDatabase::KeepCurrentDatabase() {
  const short status = vb_io_erc;
  vb_io_getDirectory(ConnHandle, directory_, prefix_);
  known_ = vb_io_erc == 0;
  vb_io_erc = status;
}

KeepCurrentDatabase::~KeepCurrentDatabase() {
  if (!known_) return;
  const short status = vb_io_erc;
  vb_io_setDirectory(ConnHandle, directory_, prefix_);
  vb_io_erc = status;
}

}  // namespace filomar
