#include "platform/reclib/trace.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

using testing_support::ReadFile;
using testing_support::ScopedEnv;
using testing_support::TempDir;

namespace {

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
  reclib::TraceLibraryFailure("library failure");
  io_setTrace(1);
  reclib::TraceLibraryFailure("library failure traced");
  TRACE_Enable(0, 0);
  TRACE_Msg8("channel 0 off");
  TRACE_Stop();
  TRACE_Msg8("after stop");
  const std::string text = ReadFile(File());
  EXPECT_EQ(text.find("early"), std::string::npos);
  EXPECT_NE(text.find("[0] set-up line\n"), std::string::npos);
  EXPECT_NE(text.find("[0] ordinary line\n"), std::string::npos);
  EXPECT_EQ(text.find("message box line"), std::string::npos);
  EXPECT_EQ(text.find("library failure\n"), std::string::npos);
  EXPECT_NE(text.find("library failure traced"), std::string::npos);
  EXPECT_EQ(text.find("channel 0 off"), std::string::npos);
  EXPECT_EQ(text.find("after stop"), std::string::npos);
}

}  // namespace
