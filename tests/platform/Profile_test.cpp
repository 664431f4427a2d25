#include "platform/winapi/Profile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "support/TempDir.h"

using testing_support::TempDir;

namespace {

std::string Read(const std::string& file, const char* section, const char* key, unsigned size = 200,
                 unsigned* count = nullptr) {
  std::string buffer(size, 'X');
  const auto n = winapi::GetPrivateProfileStringA(section, key, "dflt", buffer.data(), size, file.c_str());
  if (count) *count = n;
  return std::string(buffer.c_str());
}

// Section, key and file name compare without case; the value is cut to the buffer and the
// copied characters counted; anything unreadable gives the default.
TEST(PrivateProfile, ValuesDefaultsAndCuts) {
  TempDir dir;
  dir.Write("flmwin.ini", "[other]\nStandardDataDir=wrong\n[Database]\r\n  standarddatadir =  /srv/data  \r\n");
  dir.Write("a.ini", "[s]\nk=" + std::string(10000, 'v') + "\n");
  dir.Write("bad.ini", "[DATABASE\nStandardDataDir\n=novalue\n\x01\x02\xff[]\n");
  std::string binary(4096, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 7);
  dir.Write("bin.ini", binary);
  std::filesystem::create_directory(dir.path() / "dir.ini");
  dir.Write("n.ini", std::string("[s]\nk=ab\0cd\n", 12));  // an embedded NUL ends the value
  struct Case {
    const char *file, *section, *key, *value;
    unsigned count;
  };
  for (const Case& c : {Case{"FLMWIN.INI", "DATABASE", "StandardDataDir", "/srv/data", 9},
                        Case{"FLMWIN.INI", "DATABASE", "Missing", "dflt", 4}, Case{"nofile.ini", "s", "k", "dflt", 4},
                        Case{"a.ini", "s", "k", nullptr, 199}, Case{"bad.ini", "DATABASE", "StandardDataDir", "dflt", 4},
                        Case{"bin.ini", "DATABASE", "StandardDataDir", "dflt", 4},
                        Case{"dir.ini", "DATABASE", "StandardDataDir", "dflt", 4}, Case{"n.ini", "s", "k", "ab", 2}}) {
    SCOPED_TRACE(c.file);
    unsigned n = 0;
    EXPECT_EQ(Read(dir.str() + "/" + c.file, c.section, c.key, 200, &n), c.value ? c.value : std::string(199, 'v'));
    EXPECT_EQ(n, c.count);
  }
}

TEST(ShortDatePattern, FromLocaleFormats) {
  const std::pair<const char*, const char*> formats[] = {{"%d/%m/%Y", "dd/MM/yyyy"}, {"%m/%d/%Y", "MM/dd/yyyy"},
      {"%Y-%m-%d", "yyyy-MM-dd"}, {"%d.%m.%Y", "dd.MM.yyyy"}, {"%D", "MM/dd/yy"}, {"%-d/%-m/%y", "dd/MM/yy"}};
  for (const auto& [format, pattern] : formats) EXPECT_EQ(winapi::ShortDatePatternFromStrftime(format), pattern);
}

TEST(ShortDatePattern, ProfileReadsTheLocaleAndNothingElse) {
  testing_support::ScopedEnv lc("LC_ALL", std::string("C"));
  char buffer[21];
  EXPECT_EQ(winapi::GetProfileStringA("intl", "sShortDate", "", buffer, sizeof buffer), 8u);
  EXPECT_STREQ(buffer, "MM/dd/yy");
  EXPECT_EQ(winapi::GetProfileStringA("intl", "sTime", "none", buffer, sizeof buffer), 4u);
}

// Runs `body` in a child process, which a watchdog ends after 60 s: a read that blocks
// fails the test instead of hanging the suite. True when `body` returned true.
template <typename Body>
bool InChild(Body body) {
  const pid_t child = fork();
  if (child == 0) {
    alarm(60);
    _exit(body() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(PrivateProfile, FifoOrDeviceInTheFilesPlaceGivesTheDefaultWithoutWaiting) {
  TempDir dir;
  ASSERT_EQ(mkfifo((dir.str() + "/FLMWIN.INI").c_str(), 0600), 0);
  std::filesystem::create_directory_symlink("/dev", dir.path() / "devices");
  EXPECT_TRUE(InChild([&] { return Read(dir.str() + "/flmwin.ini", "DATABASE", "StandardDataDir") == "dflt"; }));
  EXPECT_TRUE(InChild([&] { return Read(dir.str() + "/devices/zero", "DATABASE", "StandardDataDir") == "dflt"; }));
}

TEST(PrivateProfile, HugeLineIsSkippedWithinBoundedMemory) {
  TempDir dir;
  {
    std::ofstream out(dir.path() / "big.ini", std::ios::binary);
    out << "[DATABASE]\nStandardDataDir=" << std::string(60 << 20, 'x') << "\nStandardDataDir=/srv/data\n";
  }
  // The child may not take 16 MB more address space than it has: a reader holding the whole
  // 60 MB line fails to allocate it.
  EXPECT_TRUE(InChild([&] {
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    std::ifstream statm("/proc/self/statm");
    unsigned long pages = 0;
    statm >> pages;
    limit.rlim_cur = pages * static_cast<unsigned long>(sysconf(_SC_PAGESIZE)) + (16ul << 20);
    setrlimit(RLIMIT_AS, &limit);
    try {
      return Read(dir.str() + "/big.ini", "DATABASE", "StandardDataDir") == "/srv/data";
    } catch (const std::bad_alloc&) {
      return false;
    }
  }));
}

}  // namespace
