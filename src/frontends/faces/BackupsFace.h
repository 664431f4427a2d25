// The console face of the backup settings of the main window and of the backups window
// (Backups): the settings as lines under the window, and the commands
//   backups                  lists each database's backup folders (time, size, check)
//   check NAME [FOLDER]      checks a backup folder of database NAME (default: its newest)
//   restore NAME [FOLDER]    restores NAME from that folder, after the confirmation
//   backup-dir PATH|off|on   backups go to PATH / are turned off (after the warning) / on
// FOLDER is the number the listing gives it, its name, or its path.
#pragma once

#include <iosfwd>
#include <string>

#include "conversion/DBSelect.h"

namespace ui {

// "Backup folder: PATH" and the check box, as lines.
void ShowBackupSettings(const filomar::DBSelect& form, std::ostream& out);

// Carries out `command` when it is one of the commands above; false for any other line.
bool BackupCommand(filomar::DBSelect& form, const std::string& command, std::ostream& out);

}  // namespace ui
