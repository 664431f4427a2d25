#include "backup/Manifest.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>

#include "backup/OpenFile.h"
#include "backup/Seal.h"

namespace filomar::backup {
namespace {

bool IsDigits(const std::string& text, std::size_t most) {
  return !text.empty() && text.size() <= most && text.find_first_not_of("0123456789") == std::string::npos;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
    fields.push_back(line.substr(start, tab - start));
  fields.push_back(line.substr(start));
  return fields;
}

// What is wrong with one entry line, or "" when nothing is.
std::string LineProblem(const std::string& line, ManifestEntry& entry) {
  const std::vector<std::string> f = SplitTabs(line);
  if (f.size() != 5) return "not five tab-separated fields";
  if (f[0] != "store" && f[0] != "letter" && f[0] != "server") return "unknown kind \"" + f[0].substr(0, 20) + "\"";
  if (!IsDigits(f[1], 18)) return "the size is not a number of at most 18 digits";
  if (f[2].size() != 64 || f[2].find_first_not_of("0123456789abcdef") != std::string::npos)
    return "the SHA-256 is not 64 lower-case hex digits";
  // The writer refuses a carriage return as well as a tab, line feed or NUL; so does the reader,
  // so that whatever is read can be written again.
  if (f[3].empty() || f[3] == "." || f[3] == ".." || f[3] == kManifestName || f[3].find('/') != std::string::npos ||
      !Listable(f[3]))
    return "the name is not a plain file name of the folder";
  if (f[4].empty() || f[4].front() != '/') return "the path copied from is not absolute";
  if (!Listable(f[4])) return "the path copied from holds a line break or a NUL";
  entry = {f[0], std::stoll(f[1]), f[2], f[3], f[4]};
  return "";
}

std::string OthersNote(std::size_t others) {
  if (others == 0) return "";
  return " (and " + std::to_string(others) + " other problem" + (others == 1 ? ")" : "s)");
}

}  // namespace

bool Listable(const std::string& text) { return text.find_first_of(std::string("\t\r\n\0", 4)) == std::string::npos; }

std::string FormatManifest(const Manifest& manifest) {
  std::string text = kHeading + manifest.database + "\n";
  for (const ManifestEntry& e : manifest.entries)
    text += e.kind + '\t' + std::to_string(e.size) + '\t' + e.sha256 + '\t' + e.name + '\t' + e.from + "\n";
  return text;
}

Status ParseManifest(const std::string& whole, const std::string& path, Manifest& manifest) {
  manifest = {};
  // The seal, when there is one, is the last line and covers every byte before it.
  std::string text = whole;
  const std::size_t last = whole.size() < 2 ? 0 : whole.rfind('\n', whole.size() - 2) + 1;
  if (!whole.empty() && whole.back() == '\n' && whole.compare(last, 5, "seal\t") == 0) {
    text = whole.substr(0, last);
    manifest.seal = whole.substr(last + 5, whole.size() - last - 6);
    if (manifest.seal.size() != 64 || manifest.seal.find_first_not_of("0123456789abcdef") != std::string::npos)
      return Status::Invalid(path, "the seal is not 64 lower-case hex digits");
    manifest.sealed = text;
  }
  const std::string heading = text.substr(0, text.find('\n'));
  if (text.find('\n') == std::string::npos || heading.rfind(kHeading, 0) != 0 || !Listable(heading))
    return Status::Invalid(path, "not a backup manifest");
  manifest.database = heading.substr(std::strlen(kHeading));
  std::string first;
  std::size_t problems = 0, lineNumber = 1;
  std::set<std::string> names;
  for (std::size_t start = heading.size() + 1; start < text.size(); ++lineNumber) {
    const std::size_t end = text.find('\n', start);
    if (lineNumber > kMaxManifestLines) return Status::Invalid(path, "more than " + std::to_string(kMaxManifestLines) + " lines");
    const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    start = end == std::string::npos ? text.size() : end + 1;
    ManifestEntry entry;
    std::string problem = end == std::string::npos ? "the line does not end" : LineProblem(line, entry);
    if (problem.empty() && !names.insert(entry.name).second) problem = "\"" + entry.name + "\" is listed twice";
    if (problem.empty()) {
      manifest.entries.push_back(std::move(entry));
      continue;
    }
    if (problems++ == 0) first = "line " + std::to_string(lineNumber + 1) + ": " + problem;
  }
  if (problems != 0) return Status::Invalid(path, first + OthersNote(problems - 1));
  return Status::Ok();
}

Status ReadManifest(const std::string& folder, Manifest& manifest) {
  const std::string path = folder + "/" + kManifestName;
  OpenFile file;
  if (Status opened = file.Open(path, kMaxManifestBytes); !opened.ok()) return opened;
  std::string text;
  if (Status read = file.ReadAll(text); !read.ok()) return read;
  return ParseManifest(text, path, manifest);
}

Status WriteManifest(const std::string& folder, const Manifest& manifest, const std::string& key) {
  for (const ManifestEntry& e : manifest.entries)
    if (!Listable(e.name) || !Listable(e.from))
      return Status::Invalid(e.from, "a name with a tab, a line break or a NUL cannot be listed in the manifest");
  const std::string temporary = folder + "/" + kManifestName + ".tmp", final = folder + "/" + kManifestName;
  std::string text = FormatManifest(manifest);
  text += "seal\t" + SealOf(text, key) + "\n";
  Status written = WriteNewFile(temporary, text);
  if (written.ok() && std::rename(temporary.c_str(), final.c_str()) != 0) written = Status::IoError(final, std::strerror(errno));
  if (written.ok()) written = SyncPath(folder);
  if (!written.ok()) ::unlink(temporary.c_str());
  return written;
}

}  // namespace filomar::backup
