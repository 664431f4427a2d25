// The copy library's entry point: fills the caller's InstallRecord buffer from the site's
// installation record.
#pragma once

#include "platform/copylib/InstallRecord.h"

extern "C" {

// Selectors of the two reads the product makes; both read the same record.
enum { COPYP_ENGINE_READ = 0, COPYP_PASSWORD_READ = 4 };

// `mode` 0 reads. `path` names a directory ("\" is read as "/"): the record is the file
// install.rec there, or else in its data subdirectory (the program directory holds the data
// directory), each name found without regard to case. `record` must hold
// sizeof(copylib::InstallRecord) bytes. Returns the number of records copied into `record`:
// 1, or 0 (and `record` untouched) when the file is missing, unreadable, foreign or short,
// when `mode` or `selector` is not one of the above, or when a pointer is null or `path`
// empty.
short copyp(short mode, const char* path, char* record, short selector);

}
