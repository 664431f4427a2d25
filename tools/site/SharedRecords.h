// The records only the STANDARD database holds: the users (UID), each user's level per
// database (UDB) and the catalogue of the site's databases (DB). Written into the database
// selected in the RecordSession, which must be STANDARD.
#pragma once

#include "site/SitePlan.h"
#include "site/Status.h"

namespace site {

Status WriteSharedRecords(const SitePlan& plan);

}  // namespace site
