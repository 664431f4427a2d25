#include "e2e/SiteRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <regex>
#include <sstream>

namespace e2e {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string TrimRight(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) text.pop_back();
  return text;
}

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

}  // namespace

testing_support::ProgramRun RunConvert(const testing_support::DemoSite& site, const std::string& password,
                                       const std::string& args) {
  return testing_support::RunShell(
      "echo '" + password + "' | '" FILOMAR_CONVERT_EXE "' --batch --password-stdin " + args, site.dir() / "run.out");
}

std::map<std::string, std::string> Records(const testing_support::DemoSite& site, const std::string& dataDir,
                                           const std::string& prefix, const std::string& code) {
  std::vector<std::string> args = {"dump", site.dir().string(), dataDir, prefix, code};
  const auto readable = testing_support::RunSiteTool(args);
  args.push_back("--hex");
  const auto hex = testing_support::RunSiteTool(args);
  EXPECT_EQ(readable.exitCode + hex.exitCode, 0) << dataDir << " " << code << ": " << readable.err << hex.err;
  // Both dumps list the records in the same key order: the readable one names the keys.
  std::vector<std::string> keys;
  std::istringstream readableLines(readable.out);
  for (std::string line; std::getline(readableLines, line);)
    if (line.rfind("key '", 0) == 0 && line.size() >= 6) keys.push_back(line.substr(5, line.size() - 6));
  std::map<std::string, std::string> records;
  std::istringstream hexLines(hex.out);
  std::size_t index = 0;
  for (std::string line; std::getline(hexLines, line); ++index)
    records[index < keys.size() ? keys[index] : "<unnamed " + std::to_string(index) + ">"] = FromHex(line);
  EXPECT_EQ(index, keys.size()) << dataDir << " " << code;
  return records;
}

std::vector<std::string> LogLines(const std::string& log) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < log.size()) {
    const std::size_t end = log.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back("<no CR LF>" + log.substr(start));
      break;
    }
    lines.push_back(log.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::string MaskTime(const std::string& line) {
  static const std::regex time("[0-9]{2}-[A-Za-z]{3}-[0-9]{2} [0-9]{2}:[0-9]{2}$");
  return std::regex_replace(line, time, "<time>");
}

std::vector<std::string> DatabaseLines(const std::string& name, const std::vector<std::string>& afterTables) {
  std::vector<std::string> lines = {std::string(20, ' ') + "Converting " + name + " Database", "     - Creating new tables "};
  lines.insert(lines.end(), afterTables.begin(), afterTables.end());
  for (const char* step : {"- Updating CONF file", "- Updating Letters", "- Updating Codes", "- Updating SACT file"})
    lines.push_back(std::string("     ") + step);
  if (name == "STANDARD") lines.push_back("     - Converting Filters");
  for (const char* step : {"- Updating VERS file", "- Updating COMP file"}) lines.push_back(std::string("     ") + step);
  lines.push_back("     - Conversion of " + name + " completed at <time>");
  return lines;
}

std::vector<std::string> SqlServerScriptLines(const std::string& script, const std::string& prefix) {
  std::vector<std::string> lines;
  std::string batch;
  std::istringstream in(script);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    for (std::size_t at = line.find("xxx_"); at != std::string::npos; at = line.find("xxx_", at + prefix.size() + 1))
      line.replace(at, 4, prefix + "_");
    if (Lower(TrimRight(line)) == "go") {
      const bool dropped = prefix != "std" && Lower(batch).find("std_") != std::string::npos;
      if (!dropped) lines.push_back("");
      batch.clear();
    } else if (Lower(line).find("print") != std::string::npos) {
      lines.push_back("     " + line);
    } else {
      batch += "\n" + line;
    }
  }
  return lines;
}

}  // namespace e2e
