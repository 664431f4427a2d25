// The records that make a new site usable by the sign-on: the STANDARD database's catalogue
// entry (DB), the administrator (UID) and the administrator's level 9 on STANDARD (UDB),
// written in the STANDARD database's record files; and the update of the administrator's user
// record that every new database gets (colours, date, flags).
#pragma once

namespace filomar {

// The administrator's sign-on password on a new site.
inline constexpr const char* kAdministratorPassword = "FILOMAR";

// Writes the DB, UID and UDB records of STANDARD and its administrator (the STANDARD database
// is selected here). False, with the files closed again, when one could not be written.
bool WriteAdministratorRecords();

// Selects STANDARD and, when the user record of the administrator exists, rewrites in it: the
// text at 176 blank, "N" at 175, today's date (FormatDateForSystem) at 165, the button-face
// colour in the four colour fields 75..123 and the window-background colour at 139.
void UpdateAdministratorUser();

}  // namespace filomar
