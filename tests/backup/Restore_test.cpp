// A backup folder checked as outside input: a folder as a backup writes it passes, every
// tampering of it is refused naming the first problem and counting the others; the site's key
// is made once, private, and refused when others can read it.
#include "backup/Restore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "backup/Seal.h"
#include "platform/copylib/Sha256.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using namespace filomar::backup;
using filomar::Status;

class VerifyBackupTest : public ::testing::Test {
 protected:
  testing_support::TempDir home;
  fs::path data = fs::canonical(home.path()) / "finance";
  fs::path folder = home.path() / "backups" / "FINANCE-20261207-101500";
  RestoreTarget target{"FINANCE", "fin", data.string(), std::string(kKeySize, 'k')};
  Manifest manifest{"FINANCE", {}, "", ""};

  void SetUp() override {
    fs::create_directories(data);
    fs::create_directories(folder);
    Add("store", "fin.records", "SQLite format 3 stand-in");
    Add("letter", "LetterA", "letter A");
    Add("letter", "ActSht B", "an action sheet");
    Write();
  }

  // A file of the folder and its line, as a backup writes them.
  void Add(const std::string& kind, const std::string& name, const std::string& content) {
    Put(name, content);
    manifest.entries.push_back({kind, static_cast<long long>(content.size()), Sum(folder / name), name, (data / name).string()});
  }
  void Put(const std::string& name, const std::string& content) const {
    home.Write(fs::relative(folder / name, home.path()).string(), content);
  }
  static std::string Sum(const fs::path& file) {
    std::string why;
    return copylib::FileSha256(file.string(), why).value_or("");
  }
  // The MANIFEST sealed with `key` (the site's by default), or without a seal.
  void Write(std::optional<std::string> key = std::nullopt) {
    std::string text = FormatManifest(manifest);
    if (key != "") text += "seal\t" + SealOf(text, key.value_or(target.key)) + "\n";
    Put(kManifestName, text);
  }
  Status Verify() {
    Manifest read;
    return VerifyBackup(folder.string(), target, read);
  }
};

TEST_F(VerifyBackupTest, AFolderAsABackupWritesItPasses) {
  Manifest read;
  const Status verified = VerifyBackup(folder.string(), target, read);
  EXPECT_TRUE(verified.ok()) << verified.text();
  ASSERT_EQ(read.entries.size(), 3u);
  EXPECT_EQ(read.entries[2].name, "ActSht B");
}

TEST_F(VerifyBackupTest, EveryTamperingIsRefusedNamingTheFirstProblem) {
  struct Case {
    const char* what;
    std::function<void()> tamper;
    std::string refusal;
  };
  const Case cases[] = {
      {"an installation record given as a letter", [&] { Add("letter", "install.rec", "EVIL"), Write(); },
       "\"install.rec\" is listed as a letter but is not a letter file name"},
      {"a lock file given as the store", [&] { manifest.entries[0].name = "fin.records.lock", Write(); },
       "is not the store fin.records of FINANCE"},
      {"a letter that is a link",
       [&] { fs::remove(folder / "LetterA"), fs::create_symlink("/etc/hostname", folder / "LetterA"); },
       "LetterA: a symbolic link, not a file"},
      {"a folder given as a letter",
       [&] {
         fs::create_directory(folder / "LetterC");
         manifest.entries.push_back({"letter", 0, std::string(64, '0'), "LetterC", (data / "LetterC").string()});
         Write();
       },
       "LetterC: not a regular file"},
      {"the MANIFEST a link",
       [&] {
         fs::rename(folder / kManifestName, home.path() / "elsewhere");
         fs::create_symlink(home.path() / "elsewhere", folder / kManifestName);
       },
       "MANIFEST: a symbolic link, not a file"},
      {"a letter listed twice", [&] { manifest.entries.resize(5, ManifestEntry(manifest.entries[1])), Write(); },
       "line 5: \"LetterA\" is listed twice (and 1 other problem)"},
      {"another database's MANIFEST of the same site", [&] { manifest.database = "PERSONNEL", Write(); },
       "a backup of PERSONNEL, not of FINANCE"},
      {"another site's backup",
       [&] {
         for (ManifestEntry& e : manifest.entries) e.from = "/srv/other-site/finance/" + e.name;
         Write();
       },
       "\"fin.records\" was copied from /srv/other-site/finance/fin.records, not from " + data.string() + " of this site"},
      {"a name with a path", [&] { manifest.entries[1].name = "../LetterA", Write(); },
       "line 3: the name is not a plain file name of the folder"},
      {"a name with a carriage return", [&] { manifest.entries[1].name = "Letter\rA", Write(); },
       "line 3: the name is not a plain file name of the folder"},
      {"a path with a carriage return", [&] { manifest.entries[2].from = data.string() + "/ActSht\rB", Write(); },
       "line 4: the path copied from holds a line break or a NUL"},
      {"sums rewritten for an edited letter",
       [&] { Put("LetterA", "letter B"), manifest.entries[1].sha256 = Sum(folder / "LetterA"), Write(std::string(kKeySize, 'x')); },
       "its seal does not verify: it was changed, or sealed on another site"},
      {"no seal", [&] { Write(""); }, "MANIFEST: it has no seal"},
      {"an edited letter", [&] { Put("LetterA", "letter B"); }, "LetterA: its SHA-256 differs from the manifest"},
      {"an edited letter, shorter", [&] { Put("LetterA", "x"); }, "LetterA: its size differs from the manifest"},
      {"a missing letter", [&] { fs::remove(folder / "LetterA"); }, "LetterA: no such file"},
      {"no MANIFEST", [&] { fs::remove(folder / kManifestName); }, "MANIFEST: no such file"},
      {"no store", [&] { manifest.entries.erase(manifest.entries.begin()), Write(); }, "names 0 record stores, not one"},
      {"a server line", [&] { manifest.entries[1].kind = "server", Write(); },
       "a server line does not belong in a database backup"},
      {"an over-long MANIFEST",
       [&] {
         std::string text = FormatManifest(manifest);
         for (std::size_t n = 0; n <= kMaxManifestLines; ++n) text += "letter\t1\t" + std::string(64, 'a') + "\tLetter" + std::to_string(n) + "\t/x\n";
         Put(kManifestName, text);
       },
       "more than 100000 lines"},
      {"a heading only in part", [&] { Put(kManifestName, "filomar-convert"); }, "MANIFEST: not a backup manifest"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(folder);
    manifest = {"FINANCE", {}, "", ""};
    SetUp();
    c.tamper();
    const Status refused = Verify();
    EXPECT_FALSE(refused.ok());
    EXPECT_NE(refused.text().find(c.refusal), std::string::npos) << refused.text();
    EXPECT_LT(refused.text().size(), 400u) << refused.text();
  }
}

// Three thousand bad lines give one short message: the first problem and the count.
TEST_F(VerifyBackupTest, ManyProblemsGiveOneShortMessage) {
  manifest.entries.resize(3003, ManifestEntry(manifest.entries[1]));
  Write();
  const Status refused = Verify();
  EXPECT_EQ(refused.kind(), Status::Kind::kInvalid);
  EXPECT_EQ(refused.text(), (folder / kManifestName).string() + ": line 5: \"LetterA\" is listed twice (and 2999 other problems)");
}

TEST(BackupKey, IsMadeOnceAndPrivateAndRefusedWhenOthersCanReadIt) {
  testing_support::TempDir program;
  std::string key, again;
  EXPECT_EQ(LoadKey(program.str(), key).kind(), Status::Kind::kNotFound);
  ASSERT_TRUE(LoadOrMakeKey(program.str(), key).ok());
  EXPECT_EQ(key.size(), kKeySize);
  EXPECT_EQ(fs::status(program.path() / kKeyName).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(LoadOrMakeKey(program.str(), again).ok());
  EXPECT_EQ(again, key);
  fs::permissions(program.path() / kKeyName, fs::perms::group_read, fs::perm_options::add);
  EXPECT_EQ(LoadKey(program.str(), again).kind(), Status::Kind::kInvalid);
}

}  // namespace
