// The same demo site converted in the layouts real sites have (how the program directory is
// given, where FLMWIN.INI puts the data, other file systems, a path with blanks and non-ASCII
// letters): every converted record and letter file must be byte for byte what the plain layout
// gives. Backup, restore and the dry run each run in one of the unusual layouts.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "e2e/SiteRun.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::DemoSite;
using testing_support::ProgramRun;
using testing_support::TempDir;

// How the program finds its directory.
enum class Home { Absolute, Relative, Link, UnsetStartedByRelativePath };

struct Layout {
  std::string name;
  Home home = Home::Absolute;
  std::optional<std::string> dataRoot;  // FLMWIN.INI's StandardDataDir; "<tmpfs>" for another file system
  bool backupOnTmpfs = false;
  std::string folder = "site";
};

// Another file system than the temporary directory's, where the machine has one.
const fs::path kTmpfs = "/dev/shm";

// Every record of the converted databases' record files and every letter file, by a name
// that holds no path, so that layouts compare.
std::map<std::string, std::string> Converted(const DemoSite& site) {
  std::map<std::string, std::string> content;
  for (const e2e::Database& db : e2e::kConvertedDatabases) {
    for (const std::string& code : e2e::kDatabaseFiles)
      for (const auto& [key, record] : e2e::Records(site, db.dataDir, db.prefix, code))
        content[db.name + " " + code + " '" + key + "'"] = record;
    for (const auto& [name, letter] : testing_support::LetterFiles(site.DataDir(db.dataDir))) content[db.name + " " + name] = letter;
  }
  return content;
}

const auto Quoted = testing_support::ShellWord;

class SiteLayouts : public ::testing::Test {
 protected:
  TempDir outside;  // outputs, links and the copied program: nothing of the site
  std::optional<TempDir> tmpfs;

  fs::path OnTmpfs() {
    if (!tmpfs) tmpfs.emplace(fs::is_directory(kTmpfs) ? kTmpfs : fs::temp_directory_path());
    return tmpfs->path();
  }

  std::unique_ptr<DemoSite> MakeSite(const Layout& layout) {
    std::optional<std::string> root = layout.dataRoot;
    if (root == "<tmpfs>") root = (OnTmpfs() / "data root").string();
    return std::make_unique<DemoSite>(testing_support::DemoSiteOptions{
        .records = 5, .dataRoot = root, .folder = layout.folder});
  }

  // Runs filomar-convert in batch as the layout starts it, from the site's parent directory.
  ProgramRun Run(const DemoSite& site, const Layout& layout, const std::string& args) {
    std::string home = "FILOMAR_HOME=" + Quoted(site.dir().string());
    std::string program = Quoted(FILOMAR_CONVERT_EXE);
    if (layout.home == Home::Relative) home = "FILOMAR_HOME=" + Quoted(layout.folder);
    if (layout.home == Home::Link) {
      const fs::path link = outside.path() / "link to site";
      if (!fs::exists(fs::symlink_status(link))) fs::create_directory_symlink(site.dir(), link);
      home = "FILOMAR_HOME=" + Quoted(link.string());
    }
    if (layout.home == Home::UnsetStartedByRelativePath) {
      fs::copy_file(FILOMAR_CONVERT_EXE, site.dir() / "filomar-convert", fs::copy_options::skip_existing);
      home = "-u FILOMAR_HOME";
      program = Quoted("./" + layout.folder + "/filomar-convert");
    }
    std::string backup;
    if (layout.backupOnTmpfs) backup = " --backup-dir " + Quoted((OnTmpfs() / "backups").string());
    return testing_support::RunShell("cd " + Quoted(site.dir().parent_path().string()) + " && echo FILOMAR | env " + home +
                                         " ODBCINI=" + Quoted(site.OdbcIni().string()) + " FILOMAR_IPC_DIR=" +
                                         Quoted((outside.path() / "ipc").string()) + " " + program +
                                         " --batch --password-stdin --user FILOMAR" + backup + " " + args,
                                     outside.path() / "run.out");
  }
};

TEST_F(SiteLayouts, EachLayoutConvertsTheSiteAsThePlainLayoutDoes) {
  const Layout plain{"plain"};
  const auto plainSite = MakeSite(plain);
  const ProgramRun plainRun = Run(*plainSite, plain, "--all");
  ASSERT_EQ(plainRun.status, 0) << plainRun.out;
  const auto expected = Converted(*plainSite);

  const Layout layouts[] = {
      {"relative FILOMAR_HOME", Home::Relative},
      {"FILOMAR_HOME through a symbolic link", Home::Link},
      {"no FILOMAR_HOME, started by a relative path", Home::UnsetStartedByRelativePath},
      {"FLMWIN.INI with an absolute data root on another file system", Home::Relative, "<tmpfs>"},
      {"FLMWIN.INI with a relative data root", Home::Relative, "../shared data"},
      {"backups on another file system", Home::Absolute, std::nullopt, true},
      {"blanks and non-ASCII letters in the site path", Home::Relative, "Daten \xc3\xa4", true, "Site \xc3\x96sterreich 1"},
  };
  for (const Layout& layout : layouts) {
    SCOPED_TRACE(layout.name);
    const auto site = MakeSite(layout);
    const ProgramRun run = Run(*site, layout, "--all");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("Conversion of Databases has completed"), std::string::npos) << run.out;
    EXPECT_EQ(Converted(*site), expected);
    if (layout.backupOnTmpfs) {
      std::size_t manifests = 0;
      for (const auto& entry : fs::recursive_directory_iterator(OnTmpfs() / "backups"))
        manifests += entry.path().filename() == "MANIFEST";
      EXPECT_GE(manifests, e2e::kConvertedDatabases.size());
      fs::remove_all(OnTmpfs() / "backups");
    }
  }
}

// The dry run, the conversion's backup and the restore, on a site with a relative program
// directory, its data on another file system and blanks and non-ASCII letters in its path.
TEST_F(SiteLayouts, DryRunBackupAndRestoreWorkInAnUnusualLayout) {
  const Layout layout{"unusual", Home::Relative, "<tmpfs>", false, "Site \xc3\x96sterreich 2"};
  const auto site = MakeSite(layout);
  const auto before = Converted(*site);

  const ProgramRun dryRun = Run(*site, layout, "--dry-run --all");
  EXPECT_EQ(dryRun.status, 0) << dryRun.out;
  for (const e2e::Database& db : e2e::kConvertedDatabases)
    EXPECT_NE(dryRun.out.find(db.name + " would convert cleanly"), std::string::npos) << dryRun.out;
  EXPECT_EQ(Converted(*site), before);

  const ProgramRun run = Run(*site, layout, "--all");
  ASSERT_EQ(run.status, 0) << run.out;
  ASSERT_NE(Converted(*site), before);
  for (const e2e::Database& db : e2e::kConvertedDatabases) {
    const ProgramRun restore = Run(*site, layout, "--restore " + db.name);
    EXPECT_EQ(restore.status, 0) << restore.out;
  }
  EXPECT_EQ(Converted(*site), before);
}

}  // namespace
