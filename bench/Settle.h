// Letting the file system settle before a timed phase, so that one phase does not pay for the
// files an earlier one created and removed.
#pragma once

#include <unistd.h>

namespace bench {

// Writes every dirty buffer back, then waits out the seconds during which ext4 keeps
// allocating new inodes around those it freed lately. Every store opened for a read makes and
// removes SQLite's -wal and -shm files; a phase timed straight after a thousand such removals
// (or after a demo site was made) pays for them, and which phase ran first would decide
// the figures.
inline void Settle() {
  sync();
  sleep(6);
}

}  // namespace bench
