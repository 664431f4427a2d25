#include "platform/reclib/FaultPoints.h"

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace reclib {
namespace {

struct Seam {
  long long killAt = 0;  // 0: never
  std::FILE* list = nullptr;
  long long reached = 0;
  std::string skip;  // a table whose record writes are skipped

  Seam() {
    if (const char* at = std::getenv("FILOMAR_RECLIB_FAULT_AT")) killAt = std::atoll(at);
    if (const char* file = std::getenv("FILOMAR_RECLIB_FAULT_LIST")) list = std::fopen(file, "a");
    if (const char* table = std::getenv("FILOMAR_RECLIB_FAULT_SKIP")) skip = table;
  }
  ~Seam() {
    if (list != nullptr) std::fclose(list);
  }
};

Seam& TheSeam() {
  static Seam seam;
  return seam;
}

}  // namespace

bool FaultPoint(const char* kind, const std::string& what) {
  Seam& seam = TheSeam();
  if (!seam.skip.empty() && what == seam.skip && std::string(kind) == "write") return true;
  if (seam.killAt == 0 && seam.list == nullptr) return false;
  ++seam.reached;
  if (seam.list != nullptr) {
    std::fprintf(seam.list, "%lld %s %s\n", seam.reached, kind, what.c_str());
    std::fflush(seam.list);
  }
  if (seam.reached == seam.killAt) ::raise(SIGKILL);
  return false;
}

}  // namespace reclib
