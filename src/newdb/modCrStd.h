// modCrStd: the new STANDARD database. This part holds the detection that start-up runs to
// learn whether the database server already holds a product database.
#pragma once

namespace filomar {

// Asks the server whether a product database exists, in the way of the site's engine.
// SQL Server: the lock table filomar_rowlock answers (any error other than "object not found"
// is shown and counts as existing). Oracle: std_db holds at least one row (any error other
// than "object not found" is shown and counts as absent). Errors are shown in message boxes.
bool StandardDatabaseExists();

}  // namespace filomar
