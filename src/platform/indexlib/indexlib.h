// The index library: rebuilds the indexes of a database's record files. The record store
// keeps each record file ordered by its key itself, so there is no separate index to build;
// the rebuild is a check that the database's store is whole and readable.
#pragma once

extern "C" {

// Checks the store <directory>/<prefix>.records (the directory resolved as the record library
// resolves it). `name` is the database's name, for the caller's messages; the three leading
// arguments are accepted and have no effect; `buffer` (`length` bytes) is left as it was.
// 0 when the store is whole; 1 when it is missing, cannot be read or fails the check.
short index_all(short mode, short option, short flags, char* buffer, short length, const char* directory,
                const char* name, const char* prefix);

}
