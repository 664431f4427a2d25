#include "platform/winapi/Profile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "platform/winapi/FileLookup.h"
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

TEST(PrivateProfile, SectionKeyAndFileNameCompareWithoutCase) {
  TempDir dir;
  dir.Write("flmwin.ini", "[other]\nStandardDataDir=wrong\n[Database]\r\n  standarddatadir =  /srv/data  \r\n");
  unsigned n = 0;
  EXPECT_EQ(Read(dir.str() + "/FLMWIN.INI", "DATABASE", "StandardDataDir", 200, &n), "/srv/data");
  EXPECT_EQ(n, 9u);
  EXPECT_EQ(Read(dir.str() + "/FLMWIN.INI", "DATABASE", "Missing"), "dflt");
  EXPECT_EQ(Read(dir.str() + "/nofile.ini", "DATABASE", "StandardDataDir"), "dflt");
}

TEST(PrivateProfile, CutsToBufferAndCountsCopiedCharacters) {
  TempDir dir;
  dir.Write("a.ini", "[s]\nk=" + std::string(10000, 'v') + "\n");
  unsigned n = 0;
  EXPECT_EQ(Read(dir.str() + "/a.ini", "s", "k", 200, &n), std::string(199, 'v'));
  EXPECT_EQ(n, 199u);
}

TEST(PrivateProfile, MalformedOrBinaryFilesGiveTheDefault) {
  TempDir dir;
  dir.Write("bad.ini", "[DATABASE\nStandardDataDir\n=novalue\n\x01\x02\xff[]\n");
  EXPECT_EQ(Read(dir.str() + "/bad.ini", "DATABASE", "StandardDataDir"), "dflt");
  std::string binary(4096, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 7);
  dir.Write("bin.ini", binary);
  EXPECT_EQ(Read(dir.str() + "/bin.ini", "DATABASE", "StandardDataDir"), "dflt");
  // A directory where the file should be is unreadable, not a crash.
  std::filesystem::create_directory(dir.path() / "dir.ini");
  EXPECT_EQ(Read(dir.str() + "/dir.ini", "DATABASE", "StandardDataDir"), "dflt");
  dir.Write("n.ini", std::string("[s]\nk=ab\0cd\n", 12));  // an embedded NUL ends the value
  EXPECT_EQ(Read(dir.str() + "/n.ini", "s", "k"), "ab");
}

TEST(ShortDatePattern, FromLocaleFormats) {
  EXPECT_EQ(winapi::ShortDatePatternFromStrftime("%d/%m/%Y"), "dd/MM/yyyy");
  EXPECT_EQ(winapi::ShortDatePatternFromStrftime("%m/%d/%Y"), "MM/dd/yyyy");
  EXPECT_EQ(winapi::ShortDatePatternFromStrftime("%Y-%m-%d"), "yyyy-MM-dd");
  EXPECT_EQ(winapi::ShortDatePatternFromStrftime("%d.%m.%Y"), "dd.MM.yyyy");
  EXPECT_EQ(winapi::ShortDatePatternFromStrftime("%D"), "MM/dd/yy");
  EXPECT_EQ(winapi::ShortDatePatternFromStrftime("%-d/%-m/%y"), "dd/MM/yy");
}

TEST(ShortDatePattern, ProfileReadsTheLocaleAndNothingElse) {
  testing_support::ScopedEnv lc("LC_ALL", std::string("C"));
  char buffer[21];
  EXPECT_EQ(winapi::GetProfileStringA("intl", "sShortDate", "", buffer, sizeof buffer), 8u);
  EXPECT_STREQ(buffer, "MM/dd/yy");
  EXPECT_EQ(winapi::GetProfileStringA("intl", "sTime", "none", buffer, sizeof buffer), 4u);
}

TEST(FileLookup, FindsNamesWithoutRegardToCase) {
  TempDir dir;
  dir.Write("flmwin.ini", "");
  std::error_code ec;
  auto found = winapi::ResolveNoCase(dir.path() / "FLMWIN.INI", ec);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->filename(), "flmwin.ini");
  EXPECT_FALSE(winapi::ResolveNoCase(dir.path() / "missing" / "x", ec));
  EXPECT_FALSE(ec);
  EXPECT_EQ(winapi::ToPosixSeparators("data\\letters\\A"), "data/letters/A");
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
