// Opening a file the program reads as input (settings, installation record, scripts) only when
// it is a regular file, so a FIFO left in its place cannot block the program and a device
// cannot feed it without end.
#pragma once

#include <string>

namespace winapi {

// Opens `path` for reading when it is a regular file (symbolic links followed). Returns the
// descriptor (close-on-exec, blocking reads) or -1 with errno set: the open's own error, EISDIR
// for a directory, EINVAL for a FIFO, socket or device. Never waits for a FIFO's writer.
int OpenRegularFile(const std::string& path);

}  // namespace winapi
