// Inter-process key/value store: the values the product's programs hand one another
// (the signed-on user, the selected database, the client directory).
//
// Keys and values are raw bytes. The store is a per-user directory of mode 0700:
// $FILOMAR_IPC_DIR when set, else $XDG_RUNTIME_DIR/filomar-ipc, else /tmp/filomar-ipc-<uid>.
// A store directory owned by another user or open to others is refused (nonzero results),
// since the values include the signed-on password.
//
// What a process publishes lives only while it runs: it calls ipc_withdraw at every ending
// (including from a signal handler) to take back the values it wrote.
#pragma once

extern "C" {

// Stores `length` bytes of `value` under `key`, replacing any earlier value atomically.
// Returns 0 on success, nonzero on failure.
int ipc_write(const char* key, const char* value, int length);

// Two-call read. On entry *length is the capacity of `buffer`; the call copies at most that
// many bytes of the value and sets *length to the value's full length. Returns 0 when the key
// exists, nonzero when it does not or the store cannot be read (buffer and *length unchanged).
int ipc_read(const char* key, char* buffer, int* length);

// Removes every value this process wrote that is still the one it wrote: a value replaced
// since by another process is left alone. Also removes this process's run claim file
// (RunClaim.h). Async-signal-safe (no allocation, no locks), so a
// signal handler may call it. A process forked from the writer withdraws nothing.
void ipc_withdraw(void);

}
