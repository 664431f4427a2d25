// The record content of one database of a demo site, written through the record layer
// (Vb_io with the conffld descriptors) into the database selected in the RecordSession.
//
// A 4.0 database holds what the conversion to 5.0 reads and rewrites:
//   CONF  "C00" with "400A" at 438 and settings around 838..857; "C03" with the ten letter
//         names at 3 and the ten action sheet names at 493; "C04", "C05", "C06" with caption
//         elements 0..25, 0..31 and 0..19.
//   CODE  statuses (D001..D006), user levels (L...), reply and tracking codes, and type "G"
//         action codes whose letter field covers two letters, one letter, blank + letter,
//         K + letter, lower case, digits and empty, followed by a type "H" code.
//   SACT, VERS, COMP  `records` each, with mixed-case text where the conversion works; the 4.0
//         actions end in a 20-character note (NULs in one of them) that the widening drops.
//   MATR, FILE, DOCS, CAL, STOP  present and empty.
// A minimal 4.0 database has the same CONF rows and "G" codes and one SACT, VERS and COMP
// record. A converted database holds the 5.0 forms ("500A", "C12", "C13", digit letters).
#pragma once

#include <cstddef>

#include "site/SitePlan.h"
#include "site/Status.h"

namespace site {

Status WriteDatabaseRecords(const DatabaseSpec& database, std::size_t records);

}  // namespace site
