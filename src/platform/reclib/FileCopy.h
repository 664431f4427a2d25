// Copying a file's bytes the cheapest way the file system offers: a shared extent (reflink)
// where it can, else a copy inside the kernel (copy_file_range), else reads and writes.
#pragma once

#include <sys/types.h>

#include <string>

namespace reclib {

// Makes the bytes [0, size) of the open file `source` the content of the open, empty file
// `destination`. Neither descriptor's offset is used. 0, else the errno of the failure with
// `call` naming the step that failed. Syncs nothing.
int CopyFileBytes(int source, int destination, off_t size, std::string& call);

}  // namespace reclib
