// Helpers shared by the fuzz targets: a private scratch directory and reading the fuzzer's
// bytes as a file the code under test opens.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fuzz {

// A directory of this process's own, made at its first use and removed with its files when the
// fuzzer exits normally; a fuzzer that crashes leaves it, with the file that crashed it.
class Scratch {
 public:
  Scratch() {
    if (mkdtemp(path_.data()) == nullptr) std::abort();
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_ = "/tmp/filomar-fuzz-XXXXXX";
};

inline const std::string& ScratchDirectory() {
  static const Scratch scratch;
  return scratch.path();
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
