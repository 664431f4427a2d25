#include "site/RecordDump.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <system_error>

#include "common/Text.h"
#include "platform/reclib/DataDirectory.h"
#include "platform/reclib/keys.h"
#include "recio/Vb_io.h"
#include "site/RecordSession.h"

namespace site {
namespace fs = std::filesystem;
using namespace filomar;

namespace {

// Runs of at least this many blanks separate two stretches of a readable record.
constexpr int kStretchGap = 2;

void AppendByte(std::string& text, unsigned char c) {
  static const char* const kDigits = "0123456789abcdef";
  if (c >= 0x20 && c < 0x7f && c != '\\') {
    text += static_cast<char>(c);
  } else {
    text += "\\x";
    text += kDigits[c >> 4];
    text += kDigits[c & 15];
  }
}

std::string Hex(const char* record, int size) {
  static const char* const kDigits = "0123456789abcdef";
  std::string hex;
  hex.reserve(static_cast<std::size_t>(size) * 2);
  for (int i = 0; i < size; ++i) {
    const auto c = static_cast<unsigned char>(record[i]);
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex;
}

Status CheckStore(const fs::path& site, const std::string& dataDir, const std::string& prefix) {
  std::error_code ec;
  if (!fs::is_directory(site, ec)) return Status::Error("no site at " + site.string());
  const fs::path dir = reclib::ResolveDataDirectory(dataDir);
  if (!fs::is_directory(dir, ec)) return Status::Error("no data directory " + dir.string());
  const fs::path store = dir / (RTrim(prefix) + ".records");
  if (!fs::is_regular_file(store, ec)) return Status::Error("no record store " + store.string());
  return Status::Ok();
}

}  // namespace

short FileNumberOf(const std::string& code) {
  const std::string wanted = UpperCp1252(code);
  if (wanted.empty() || wanted.size() > 4) return 0;
  InitFileTable();
  for (short file = 1; file < kFileCount; ++file) {
    if (FileCode(file) == wanted) return file;
  }
  return 0;
}

std::string ReadableRecord(const char* record, int size, int keyLength) {
  size = std::max(size, 0);
  keyLength = std::clamp(keyLength, 0, size);  // the key never reaches past the buffer
  std::string text = "key '";
  for (int i = 0; i < keyLength; ++i) AppendByte(text, static_cast<unsigned char>(record[i]));
  text += "'\n";
  int i = keyLength;
  while (i < size) {
    while (i < size && record[i] == ' ') ++i;
    if (i == size) break;
    const int start = i;
    int end = i;  // one past the stretch's last non-blank
    while (i < size) {
      if (record[i] != ' ') {
        end = ++i;
        continue;
      }
      int blanks = 0;
      while (i + blanks < size && record[i + blanks] == ' ') ++blanks;
      if (blanks >= kStretchGap || i + blanks == size) break;
      i += blanks;
    }
    text += "  " + std::to_string(start) + ": ";
    for (int j = start; j < end; ++j) AppendByte(text, static_cast<unsigned char>(record[j]));
    text += "\n";
  }
  return text;
}

Status DumpRecords(const fs::path& site, const std::string& dataDir, const std::string& prefix, const std::string& code,
                   DumpFormat format, std::ostream& out) {
  const short file = FileNumberOf(code);
  if (file == 0) return Status::Error("unknown record file code '" + code + "'");
  std::unique_ptr<RecordSession> session;
  if (Status status = RecordSession::Open(fs::absolute(site), session); !status.ok()) return status;
  if (Status status = CheckStore(site, dataDir, prefix); !status.ok()) return status;
  if (Status status = session->Select(dataDir, prefix); !status.ok()) return status;

  vb_io_open(file, "");
  if (vb_io_erc != 0) return Status::Error("cannot open record file " + FileCode(file) + " (status " + std::to_string(vb_io_erc) + ")");
  FileBlock& block = Block(file);
  std::memset(block.record, 0, sizeof block.record);  // the lowest key there is
  vb_io_start(file, 0, 0, 1025);
  const int keyLength = reclib::KeyLength(block.code);
  for (vb_io_next(file, 0); vb_io_erc == 0; vb_io_next(file, 0)) {
    if (format == DumpFormat::kHex) {
      out << Hex(block.record, reclib::kRecordSize) << '\n';
    } else {
      out << ReadableRecord(block.record, reclib::kRecordSize, keyLength);
    }
  }
  const short ended = vb_io_erc;
  vb_io_endstart(file);
  vb_io_close(file);
  if (ended != kEndOfScan) return Status::Error("reading " + FileCode(file) + " failed (status " + std::to_string(ended) + ")");
  return Status::Ok();
}

}  // namespace site
