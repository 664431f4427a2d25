#include "frontends/Display.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace ui {
namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

bool UnixSocketAnswers(const std::string& path) {
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool answers = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return answers;
}

// A local X display (":0", "unix:0.0") answers on its socket; Qt would end the process on one
// that does not, so such a display counts as absent. Remote displays are left to Qt.
bool XDisplayReachable(const std::string& display) {
  const auto colon = display.find(':');
  if (colon == std::string::npos) return false;
  const std::string host = display.substr(0, colon);
  if (!host.empty() && host != "unix") return true;
  const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
  return UnixSocketAnswers("/tmp/.X11-unix/X" + number);
}

bool WaylandReachable(const std::string& name) {
  if (name.empty()) return false;
  if (name.front() == '/') return UnixSocketAnswers(name);
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return runtime != nullptr && UnixSocketAnswers(std::string(runtime) + "/" + name);
}

}  // namespace

bool DisplayAvailable() {
  if (Set("QT_QPA_PLATFORM")) return true;
  return (Set("WAYLAND_DISPLAY") && WaylandReachable(std::getenv("WAYLAND_DISPLAY"))) ||
         (Set("DISPLAY") && XDisplayReachable(std::getenv("DISPLAY")));
}

}  // namespace ui
