#include "platform/ipc/ipc.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TempDir.h"

using testing_support::ScopedEnv;
using testing_support::TempDir;

namespace {

class IpcStore : public ::testing::Test {
 protected:
  TempDir root;
  ScopedEnv env{"FILOMAR_IPC_DIR", root.str() + "/store"};
};

TEST_F(IpcStore, TwoCallReadOfAValueWrittenByAnotherProcess) {
  const std::string value("C:\\flm\0bin\xff", 11);
  const pid_t child = fork();
  if (child == 0) _exit(ipc_write("FLMWIN_PATH", value.data(), static_cast<int>(value.size())));
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_EQ(WEXITSTATUS(status), 0);

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
}

TEST_F(IpcStore, MissingKeysAreRefusedKeysCannotEscapeTheStoreAndOverwriteReplaces) {
  char buffer[16] = "keep";
  int length = 16;
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
}

TEST_F(IpcStore, StoreOpenToOthersIsRefused) {
  std::filesystem::create_directory(root.path() / "store");
  chmod((root.str() + "/store").c_str(), 0777);
  EXPECT_NE(ipc_write("K", "v", 1), 0);
  int length = 4;
  char buffer[4];
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
  const pid_t child = fork();
  if (child == 0) {
    alarm(60);  // watchdog: a blocking read fails the test instead of hanging the suite
    int length = 0;
    _exit(ipc_read("L", nullptr, &length) != 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
