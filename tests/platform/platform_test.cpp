// The platform stand-ins the product reads its settings through: INI files, the locale's date
// pattern and names found without regard to case (winapi), the inter-process store (ipc) and
// the trace file.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/ipc/ipc.h"
#include "platform/reclib/trace.h"
#include "platform/winapi/FileLookup.h"
#include "platform/winapi/Profile.h"
#include "support/TempDir.h"

using testing_support::ReadFile;
using testing_support::ScopedEnv;
using testing_support::TempDir;

namespace {

namespace fs = std::filesystem;

// The value read into a buffer of 200 characters; `count` gets the number of characters copied.
std::string Read(const std::string& file, const char* section, const char* key, unsigned* count = nullptr) {
  std::string buffer(200, 'X');
  const auto n = winapi::GetPrivateProfileStringA(section, key, "dflt", buffer.data(), 200, file.c_str());
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
  dir.Write("n.ini", std::string("[s]\nk=ab\0cd\n", 12));  // an embedded NUL ends the value
  struct Case {
    const char *file, *section, *key, *value;
    unsigned count;
  };
  for (const Case& c : {Case{"FLMWIN.INI", "DATABASE", "StandardDataDir", "/srv/data", 9},
                        Case{"FLMWIN.INI", "DATABASE", "Missing", "dflt", 4}, Case{"nofile.ini", "s", "k", "dflt", 4},
                        Case{"a.ini", "s", "k", nullptr, 199}, Case{"bad.ini", "DATABASE", "StandardDataDir", "dflt", 4},
                        Case{"n.ini", "s", "k", "ab", 2}}) {
    SCOPED_TRACE(c.file);
    unsigned n = 0;
    EXPECT_EQ(Read(dir.str() + "/" + c.file, c.section, c.key, &n), c.value ? c.value : std::string(199, 'v'));
    EXPECT_EQ(n, c.count);
  }
}

TEST(ShortDatePattern, FromLocaleFormats) {
  const std::pair<const char*, const char*> formats[] = {{"%d/%m/%Y", "dd/MM/yyyy"}, {"%m/%d/%Y", "MM/dd/yyyy"},
      {"%Y-%m-%d", "yyyy-MM-dd"}, {"%d.%m.%Y", "dd.MM.yyyy"}, {"%D", "MM/dd/yy"}, {"%-d/%-m/%y", "dd/MM/yy"}};
  for (const auto& [format, pattern] : formats) EXPECT_EQ(winapi::ShortDatePatternFromStrftime(format), pattern);
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

class IpcStore : public ::testing::Test {
 protected:
  TempDir root;
  ScopedEnv env{"FILOMAR_IPC_DIR", root.str() + "/store"};
};

TEST_F(IpcStore, TwoCallReadOverwriteAndRefusals) {
  const std::string value("C:\\flm\0bin\xff", 11);
  ASSERT_EQ(ipc_write("FLMWIN_PATH", value.data(), static_cast<int>(value.size())), 0);
  char small[4];
  int length = sizeof small;
  ASSERT_EQ(ipc_read("FLMWIN_PATH", small, &length), 0);
  EXPECT_EQ(length, 11);
  std::string full(static_cast<std::size_t>(length), ' ');
  ASSERT_EQ(ipc_read("FLMWIN_PATH", full.data(), &length), 0);
  EXPECT_EQ(full, value);

  struct stat st {};
  ASSERT_EQ(stat((root.str() + "/store").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  char buffer[16] = "keep";
  length = 16;
  EXPECT_NE(ipc_read("NOPE", buffer, &length), 0);
  EXPECT_NE(ipc_read("", buffer, &length), 0);
  EXPECT_STREQ(buffer, "keep");
  EXPECT_EQ(length, 16);
  ASSERT_EQ(ipc_write("../../etc/x", "a", 1), 0);
  EXPECT_FALSE(std::filesystem::exists(root.path() / "etc"));
  ASSERT_EQ(ipc_write("K", "long value", 10), 0);
  ASSERT_EQ(ipc_write("K", "s", 1), 0);
  ASSERT_EQ(ipc_read("K", buffer, &length), 0);
  EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(length)), "s");

  // A store open to other users is refused.
  ASSERT_EQ(chmod((root.str() + "/store").c_str(), 0777), 0);
  EXPECT_NE(ipc_write("K", "v", 1), 0);
  EXPECT_NE(ipc_read("K", buffer, &length), 0);
}

bool Exists(const char* key) {
  int length = 0;
  return ipc_read(key, nullptr, &length) == 0;
}

TEST_F(IpcStore, WithdrawRemovesOnlyWhatThisProcessWroteAndStillOwns) {
  ASSERT_EQ(ipc_write("USER_PASSWORD", "SECRET", 6), 0);
  ASSERT_EQ(ipc_write("USER_PASSWORD", "SECRET2", 7), 0);  // rewritten: the newer file is withdrawn
  ASSERT_EQ(ipc_write("DB_PREFIX", "std", 3), 0);
  const pid_t child = fork();
  if (child == 0) {
    ipc_withdraw();  // a forked child took nothing it may withdraw
    _exit(ipc_write("DB_PREFIX", "fin", 3) + ipc_write("OTHER", "x", 1));
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  ASSERT_TRUE(Exists("USER_PASSWORD"));

  ipc_withdraw();
  EXPECT_FALSE(Exists("USER_PASSWORD"));
  EXPECT_TRUE(Exists("DB_PREFIX"));  // replaced by the other process: its value now
  EXPECT_TRUE(Exists("OTHER"));
}

TEST_F(IpcStore, FifoInAValuesPlaceIsNotReadAndDoesNotBlock) {
  ASSERT_EQ(ipc_write("K", "v", 1), 0);  // creates the store
  ASSERT_EQ(mkfifo((root.str() + "/store/k4c").c_str(), 0600), 0);  // the file of key "L"
  EXPECT_TRUE(InChild([] {
    int length = 0;
    return ipc_read("L", nullptr, &length) != 0;
  }));
}

class Trace : public ::testing::Test {
 protected:
  TempDir home;
  ScopedEnv env{"FILOMAR_HOME", home.str()};
  std::filesystem::path File() const { return home.path() / reclib::kTraceFileName; }
  void TearDown() override { TRACE_Stop(); }
};

TEST_F(Trace, NothingBeforeInitThenEveryChannelUntilEnableSelects) {
  TRACE_Enable(8, 1);
  TRACE_Msg8("early");
  EXPECT_FALSE(std::filesystem::exists(File()));
  TRACE_Init();
  TRACE_Msg8("set-up line");
  TRACE_Enable(-1, 0);  // out of range: ignored
  TRACE_Enable(99, 0);
  TRACE_Enable(6, 0);
  TRACE_Msg8("ordinary line");
  TRACE_Msg6("message box line");
  TRACE_Enable(0, 0);
  TRACE_Msg8("channel 0 off");
  TRACE_Stop();
  TRACE_Msg8("after stop");
  std::istringstream in(ReadFile(File()));
  std::string lines;  // each after its time stamp
  for (std::string line; std::getline(in, line);) lines += line.substr(line.find(" [") + 1) + "\n";
  EXPECT_EQ(lines, "[0] set-up line\n[0] ordinary line\n");
}

// ---- names found without regard to case, with directory listings kept between lookups

// The first lookup keeps the listing of a directory last changed seconds ago; a name made,
// renamed or removed afterwards is still seen by the next lookup.
TEST(FileLookup, ANameChangedSinceTheLastLookupIsSeen) {
  TempDir home;
  const fs::path dir = home.path() / "client";
  fs::create_directory(dir);
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  const auto lookUp = [&] {
    std::error_code ec;
    const auto found = winapi::ResolveNoCase(dir / "flmwin.ini", ec);
    EXPECT_FALSE(ec);
    return found ? found->filename().string() : std::string("-");
  };
  EXPECT_EQ(lookUp(), "-");
  std::ofstream(dir / "FlmWin.Ini") << "[DATABASE]\n";
  EXPECT_EQ(lookUp(), "FlmWin.Ini");
  fs::rename(dir / "FlmWin.Ini", dir / "FLMWIN.INI");
  EXPECT_EQ(lookUp(), "FLMWIN.INI");
  fs::remove(dir / "FLMWIN.INI");
  EXPECT_EQ(lookUp(), "-");
}

}  // namespace
