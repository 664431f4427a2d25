// Keeps exceptions out of the Qt event loop. The product ends the program by throwing
// filomar::ProgramEnd from deep inside an event; Qt does not let an exception pass through
// its loop. A window runs each event through Run: an exception is kept, the window's loop is
// told to quit, and the code that started the loop rethrows it once exec() has returned.
#pragma once

#include <exception>
#include <functional>
#include <utility>

namespace ui {

class EventGuard {
 public:
  // `quit` ends the loop the window runs in.
  explicit EventGuard(std::function<void()> quit) : quit_(std::move(quit)) {}

  // Runs one event. The first exception is kept; a later one (from a nested loop that was
  // still running when the first came) is dropped, since the program is ending already.
  template <class Event>
  void Run(Event&& event) noexcept {
    try {
      std::forward<Event>(event)();
    } catch (...) {
      if (!pending_) pending_ = std::current_exception();
      quit_();
    }
  }

  bool Ended() const { return static_cast<bool>(pending_); }
  // Rethrows the kept exception, if any.
  void RethrowIfEnded() const {
    if (pending_) std::rethrow_exception(pending_);
  }

 private:
  std::function<void()> quit_;
  std::exception_ptr pending_;
};

}  // namespace ui
