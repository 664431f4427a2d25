// The site's database server for the embedded engine: the SQLite file that the DSN filomar4
// of the site's odbc.ini names.
//
// A demo server holds the 4.0 tables: per database <prefix>_file, <prefix>_docs and
// <prefix>_box; the STANDARD database's shared tables std_db, std_uid, std_udb, std_sec and
// std_filter (saved filters, without an owner column: the 5.0 upgrade adds filter_userID);
// and the lock tables filomar_rowlock and filomar_tbllock, whose presence tells the program
// that the server holds a product database. Text columns hold blank-padded values, as the
// fixed-width character columns of the product's servers do.
#pragma once

#include <filesystem>

#include "site/SitePlan.h"
#include "site/Status.h"

namespace site {

inline constexpr const char* kServerFileName = "server.sqlite";

// Creates `file` as a server that holds no product database.
Status CreateEmptyServer(const std::filesystem::path& file);

// Creates `file` with the server tables and rows of `plan` (no tables for a database whose
// data directory is missing).
Status WriteServerTables(const std::filesystem::path& file, const SitePlan& plan);

}  // namespace site
