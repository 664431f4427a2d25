// What the record benchmarks share: their options (--records N or a list N,M,..., --dir D,
// --rounds R) and the folder they work in, a new temporary one unless --dir names one.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

struct Options {
  long records = 0;           // the first size given
  std::vector<long> sizes;    // every size given, in order
  std::string dir;       // the working folder; empty until WorkIn chose one
  bool temporary = false;  // WorkIn made it, and the bench removes it at the end
  int rounds = 0;          // --rounds: how often a timed phase is repeated; 0 leaves it to the bench
};

inline bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--records") == 0) {
      for (const char* size = argv[i + 1]; size != nullptr; size = std::strchr(size, ',')) {
        if (*size == ',') ++size;
        options.sizes.push_back(std::atol(size));
        if (options.sizes.back() <= 0) return false;
      }
      options.records = options.sizes.front();
    }
    else if (std::strcmp(argv[i], "--dir") == 0) options.dir = argv[i + 1];
    else if (std::strcmp(argv[i], "--rounds") == 0) {
      options.rounds = std::atoi(argv[i + 1]);
      if (options.rounds <= 0) return false;
    }
    else return false;
  }
  return options.records > 0 && argc % 2 == 1;
}

// Makes a temporary folder named after `name` when no --dir was given. False when it cannot.
inline bool WorkIn(Options& options, const char* name) {
  if (!options.dir.empty()) return true;
  std::string pattern = (std::filesystem::temp_directory_path() / (std::string(name) + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) return false;
  options.dir = pattern;
  options.temporary = true;
  return true;
}

}  // namespace bench
