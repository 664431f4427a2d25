// The release of filomar-convert and filomar-site: what --version prints, what a run report
// names, and (read by the build) the Debian package's version. Change it here only.
#pragma once

namespace filomar {

inline constexpr const char* kVersion = "5.0.0";

}  // namespace filomar
