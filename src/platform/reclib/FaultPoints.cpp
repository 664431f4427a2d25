#include "platform/reclib/FaultPoints.h"

#include <signal.h>

#include <cstdio>
#include <cstdlib>

namespace reclib {
namespace {

struct Seam {
  long long killAt = 0;  // 0: never
  std::FILE* list = nullptr;
  long long reached = 0;

  Seam() {
    if (const char* at = std::getenv("FILOMAR_RECLIB_FAULT_AT")) killAt = std::atoll(at);
    if (const char* file = std::getenv("FILOMAR_RECLIB_FAULT_LIST")) list = std::fopen(file, "a");
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

void FaultPoint(const char* kind, const std::string& what) {
  Seam& seam = TheSeam();
  if (seam.killAt == 0 && seam.list == nullptr) return;
  ++seam.reached;
  if (seam.list != nullptr) {
    std::fprintf(seam.list, "%lld %s %s\n", seam.reached, kind, what.c_str());
    std::fflush(seam.list);
  }
  if (seam.reached == seam.killAt) ::raise(SIGKILL);
}

}  // namespace reclib
