// Helpers shared by the fuzz targets: a private scratch directory and reading the fuzzer's
// bytes as a file the code under test opens.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace fuzz {

// A directory of this process's own, made once and kept for the run.
inline const std::string& ScratchDirectory() {
  static const std::string dir = [] {
    std::string pattern = "/tmp/filomar-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }();
  return dir;
}

// Replaces the file `name` of the scratch directory with `data`; its path.
inline std::string WriteScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::string path = ScratchDirectory() + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out.flush()) std::abort();
  return path;
}

}  // namespace fuzz
