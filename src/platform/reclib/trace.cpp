#include "platform/reclib/trace.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

#include "platform/winapi/AppPath.h"

namespace {

constexpr int kProgramChannel = 0;  // the program's ordinary lines (TRACE_Msg8)
constexpr int kMessageBoxChannel = 6;
constexpr int kLibraryChannel = 9;

// The library keeps one trace per process, as its C interface implies.
struct TraceState {
  std::FILE* file = nullptr;
  std::array<bool, 10> enabled{};
};

TraceState& State() {
  static TraceState state;
  return state;
}

void WriteLine(int channel, const char* text) {
  TraceState& s = State();
  if (s.file == nullptr || !s.enabled[static_cast<std::size_t>(channel)]) return;
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm tm{};
  localtime_r(&t, &tm);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
  std::fprintf(s.file, "%s.%03d [%d] %s\n", stamp, static_cast<int>(ms), channel, text ? text : "");
  std::fflush(s.file);
}

}  // namespace

extern "C" void TRACE_Init(void) {
  TraceState& s = State();
  if (s.file != nullptr) return;
  const std::string path = winapi::AppPath() + "/" + reclib::kTraceFileName;
  s.file = std::fopen(path.c_str(), "a");
  // A trace just begun records every category until TRACE_Enable narrows it, so the lines that
  // report the set-up itself are kept; the library's own channel waits for io_setTrace.
  for (int c = 0; c < kLibraryChannel; ++c) s.enabled[static_cast<std::size_t>(c)] = true;
}

extern "C" void TRACE_Enable(short category, short on) {
  if (category < 0 || category > 8) return;
  State().enabled[static_cast<std::size_t>(category)] = on != 0;
}

extern "C" void TRACE_Msg8(const char* text) { WriteLine(kProgramChannel, text); }

extern "C" void TRACE_Msg6(const char* text) { WriteLine(kMessageBoxChannel, text); }

extern "C" void TRACE_Stop(void) {
  TraceState& s = State();
  if (s.file != nullptr) std::fclose(s.file);
  s.file = nullptr;
  s.enabled.fill(false);
}

extern "C" short io_setTrace(short on) {
  State().enabled[kLibraryChannel] = on != 0;
  return 0;
}

namespace reclib {

void TraceLibraryFailure(const std::string& text) { WriteLine(kLibraryChannel, text.c_str()); }

}  // namespace reclib
