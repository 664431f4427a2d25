// Trace facility of the record I/O library.
//
// Nothing is written before TRACE_Init. After it, a line goes to the trace file
// "filomar-trace.log" in the program directory when its channel is enabled:
// TRACE_Msg8 writes on channel 0 (the program's ordinary lines), TRACE_Msg6 on channel 6
// (message boxes), and the library's own failure lines on the library channel, which
// io_setTrace switches. TRACE_Init enables channels 0 to 8; TRACE_Enable then selects. Lines are appended with a
// timestamp and the channel number. TRACE_Stop closes the file; a later TRACE_Init
// appends to it again.
#pragma once

#include <string>

extern "C" {

void TRACE_Init(void);
void TRACE_Enable(short category, short on);
void TRACE_Msg8(const char* text);
void TRACE_Msg6(const char* text);
void TRACE_Stop(void);
short io_setTrace(short on);

}

namespace reclib {

constexpr const char* kTraceFileName = "filomar-trace.log";

// The library's own failure report ("io_open CONF: status 88 ..."), written when the library
// channel is on.
void TraceLibraryFailure(const std::string& text);

}  // namespace reclib
