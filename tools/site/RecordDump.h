// Printing the records of one record file of a site, in key order.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "site/Status.h"

namespace site {

enum class DumpFormat {
  kReadable,  // per record its key, then each stretch of text with its offset
  kHex,       // per record one line: the 1,536-byte buffer as 3,072 lower-case hex digits
};

// The file number of a file code ("CONF", "conf", "PL"), or 0 when there is none.
short FileNumberOf(const std::string& code);

// Writes every record of the file `code` of the database `dataDir`/`prefix` of the site in
// `site`. `dataDir` is resolved the way the program resolves it (relative to FLMWIN.INI's
// StandardDataDir or the site). A missing site, data directory or record store, or an unknown
// code, is an error, and nothing is created.
Status DumpRecords(const std::filesystem::path& site, const std::string& dataDir, const std::string& prefix,
                   const std::string& code, DumpFormat format, std::ostream& out);

// The readable form of the `size` bytes of one record buffer; a key length beyond them is cut
// to them.
std::string ReadableRecord(const char* record, int size, int keyLength);

}  // namespace site
