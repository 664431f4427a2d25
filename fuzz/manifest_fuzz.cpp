// The MANIFEST reader on any file content: it never crashes, and what it accepts is a
// heading and lines it can write again, each name a plain file name listed once.
#include <set>

#include "FuzzInput.h"
#include "backup/Manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::WriteScratchFile(filomar::backup::kManifestName, data, size);
  filomar::backup::Manifest manifest;
  if (!filomar::backup::ReadManifest(fuzz::ScratchDirectory(), manifest).ok()) return 0;
  std::set<std::string> names;
  for (const auto& entry : manifest.entries) {
    if (entry.name.find('/') != std::string::npos || !names.insert(entry.name).second) __builtin_trap();
    if (!filomar::backup::Listable(entry.name) || !filomar::backup::Listable(entry.from)) __builtin_trap();
  }
  filomar::backup::Manifest again;
  const std::string text = filomar::backup::FormatManifest(manifest);
  if (!filomar::backup::ParseManifest(text, "MANIFEST", again).ok() || filomar::backup::FormatManifest(again) != text)
    __builtin_trap();
  return 0;
}
