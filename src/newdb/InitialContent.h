// The record-level initial content of a new database: noise words (STOP), configuration rows
// (CONF), user levels and status codes (CODE), twenty years of calendar (CAL), and the index
// rebuild of the database's record files.
#pragma once

#include <string>

namespace filomar {

// The audit dump path a new database is given (row "C12" of CONF).
inline constexpr const char* kNewAuditDumpPath = "/var/lib/filomar/audit.dmp";
// The fixed code of a new database's "C00" row at offset 803.
inline constexpr const char* kNewSiteCode = "FILOMAR-50";

// Selects the database (`directory`, `prefix`) and writes its initial records: STOP (skipped
// when it cannot be opened), CONF, CODE, CAL; then closes CAL and MATR (giving up start-up's
// exclusive hold, which the index rebuild needs) and rebuilds the indexes of `name`. False
// when a CONF row other than "C02"/"C09" or a CODE row could not be written, or the rebuild
// failed; the files opened here are closed again in every case.
bool CreateInitialRecords(const std::string& directory, const std::string& prefix, const std::string& name);

}  // namespace filomar
