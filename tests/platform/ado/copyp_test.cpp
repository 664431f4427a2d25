// The installation record: written by the site tool, read through copyp.
#include "platform/copylib/copyp.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/copylib/InstallRecordFile.h"
#include "support/TempDir.h"

namespace {
namespace fs = std::filesystem;
using testing_support::TempDir;

class Copyp : public ::testing::Test {
 protected:
  TempDir site;
  fs::path data = site.path() / "data";
  copylib::InstallRecord record{};

  void SetUp() override {
    fs::create_directories(data);
    std::memset(&record, '#', sizeof record);
  }
  short Read(const std::string& path, short selector = COPYP_PASSWORD_READ) {
    return copyp(0, path.c_str(), reinterpret_cast<char*>(&record), selector);
  }
  bool Untouched() const {
    const auto* bytes = reinterpret_cast<const char*>(&record);
    return std::all_of(bytes, bytes + sizeof record, [](char c) { return c == '#'; });
  }
};

TEST_F(Copyp, WrittenRecordReadsBackFromDataOrProgramDirectory) {
  ASSERT_FALSE(copylib::WriteInstallRecord(data, 'O', "  s3cret"));
  ASSERT_EQ(Read(data.string()), 1);
  EXPECT_EQ(record.engine[0], 'O');
  EXPECT_EQ(std::string(record.password, sizeof record.password), "  s3cret" + std::string(32, ' '));

  // The engine read names the program directory, which holds the data directory.
  std::memset(&record, '#', sizeof record);
  ASSERT_EQ(Read(site.str() + "/", COPYP_ENGINE_READ), 1);
  EXPECT_EQ(record.engine[0], 'O');

  struct stat st {};
  ASSERT_EQ(stat((data / "install.rec").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(std::distance(fs::directory_iterator(data), fs::directory_iterator()), 1);  // no temporary left

  // A password longer than the record holds is refused, the record kept; so is a missing directory.
  EXPECT_EQ(copylib::WriteInstallRecord(data, 'S', std::string(41, 'p')), std::errc::invalid_argument);
  EXPECT_EQ(copylib::Describe(*copylib::ReadInstallRecord(data)).password, "  s3cret");
  EXPECT_TRUE(copylib::WriteInstallRecord(data / "missing", 'O', "pw"));
}

// Names are found without regard to case and backslashes; a rewrite keeps the existing name.
TEST_F(Copyp, NamesAreFoundWithoutRegardToCaseAndBackslashes) {
  const fs::path upper = site.path() / "Data";
  fs::rename(data, upper);
  ASSERT_FALSE(copylib::WriteInstallRecord(upper, ' ', "pw"));
  fs::rename(upper / "install.rec", upper / "INSTALL.REC");
  EXPECT_EQ(Read(site.str() + "\\data"), 1);
  ASSERT_FALSE(copylib::WriteInstallRecord(upper, 'S', "new"));
  EXPECT_EQ(std::distance(fs::directory_iterator(upper), fs::directory_iterator()), 1);
  EXPECT_TRUE(fs::exists(upper / "INSTALL.REC"));
  EXPECT_EQ(copylib::Describe(*copylib::ReadInstallRecord(upper)).password, "new");
}

TEST_F(Copyp, AnythingButOneWholeRecordReadsNothing) {
  EXPECT_EQ(Read(data.string()), 0);  // missing
  EXPECT_TRUE(Untouched());

  ASSERT_FALSE(copylib::WriteInstallRecord(data, 'O', "pw"));
  const std::string good = testing_support::ReadFile(data / "install.rec");
  // Short, longer than one record, foreign magic, a later layout.
  for (const std::string& bad : {good.substr(0, good.size() - 1), good + "\n", "XXXX" + good.substr(4),
                                 good.substr(0, 4) + "02" + good.substr(6)}) {
    site.Write("data/install.rec", bad);
    EXPECT_EQ(Read(data.string()), 0) << bad.substr(0, 6);
  }
  EXPECT_TRUE(Untouched());

  fs::remove(data / "install.rec");
  fs::create_directory(data / "install.rec");  // unreadable as a record
  EXPECT_EQ(Read(data.string()), 0);
}

}  // namespace
