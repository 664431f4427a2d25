// The preview of the databases checked in the main window, with the product's steps on a demo
// site and its embedded server: the tree of each database in list order and its progress in
// the window's progress window (Cancel and the site left as it was are driven through the
// windows, PreviewWindow_test). The tree of a report with failing statements is compared line
// for line.
#include "conversion/Preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "conversion/DemoSiteWindow.h"

namespace {

using namespace filomar;

// The tree as indented lines, "!" before a line marked as failing.
void Render(const std::vector<PreviewLine>& lines, const std::string& indent, std::string& out) {
  for (const PreviewLine& line : lines) {
    out += indent + (line.wouldFail ? "!" : "") + line.text + "\n";
    Render(line.children, indent + "  ", out);
  }
}

std::string Render(const PreviewOfDatabase& database) {
  std::string out = database.database + "\n";
  Render(database.lines, "  ", out);
  return out + database.verdict + (database.convertsCleanly ? "" : " (not clean)") + "\n";
}

// The progress window's header, database and caption at each paint, and its closes.
struct ProgressSeen : frmProgress::Painter {
  std::vector<std::string> paints;
  int closes = 0;
  void Paint(const frmProgress& window) override {
    paints.push_back(window.Label1 + "|" + window.lbldbname + "|" + window.lblstatus);
  }
  void Closed(const frmProgress&) override { ++closes; }
};

class PreviewOfDemoSite : public conversion_test::DemoSiteWindow {
 protected:
  ProgressSeen progress;

  // Every listed database checked.
  void SetUp() override {
    DemoSiteWindow::SetUp();
    window.PaintProgressWith(&progress);
    window.Form_Activate();
    for (std::size_t i = 0; i < window.DBList.size(); ++i)
      if (!window.DBList[i].selected) window.DBList_Click(static_cast<int>(i));
  }

  static const PreviewLine* Find(const std::vector<PreviewLine>& lines, const std::string& start) {
    for (const PreviewLine& line : lines)
      if (line.text.rfind(start, 0) == 0) return &line;
    return nullptr;
  }
};

TEST_F(PreviewOfDemoSite, ShowsEachCheckedDatabaseInListOrderWithItsProgress) {
  Preview preview(window);
  preview.Run();

  std::vector<std::string> verdicts;
  for (const PreviewOfDatabase& database : preview.databases) verdicts.push_back(database.verdict);
  EXPECT_EQ(verdicts, (std::vector<std::string>{"STANDARD would convert cleanly", "FINANCE would convert cleanly",
                                                "PERSONNEL would convert cleanly"}));
  ASSERT_EQ(preview.databases.size(), 3u);
  const PreviewOfDatabase& finance = preview.databases[1];
  const PreviewLine* conf = Find(finance.lines, "file CONF: ");
  ASSERT_NE(conf, nullptr) << Render(finance);
  ASSERT_EQ(conf->children.size(), 1u);
  EXPECT_EQ(conf->children[0].text, "first change, key \"C00\":");
  EXPECT_NE(Find(conf->children[0].children, "CONF_VersionText: \"400A\" -> \"500A\""), nullptr) << Render(finance);
  EXPECT_NE(Find(finance.lines, "statement: ALTER TABLE fin_file ADD file_ucode1 char(10);"), nullptr) << Render(finance);
  EXPECT_FALSE(preview.canceled);

  // The progress window showed each database and the steps' captions under the preview's
  // header; afterwards it is closed, and the window is idle with the conversion's header.
  const Step& first = ProductStepTable().front();
  EXPECT_NE(std::find(progress.paints.begin(), progress.paints.end(),
                      std::string(Preview::kProgressHeader) + "|FINANCE|" + first.statusCaption),
            progress.paints.end());
  EXPECT_EQ(progress.closes, 1);
  EXPECT_EQ(window.Progress().Label1, "Converting Database");
  EXPECT_TRUE(window.cmdStartEnabled);
  EXPECT_EQ(screen.Shown().size(), 0u);
}

TEST(PreviewOfReport, ShowsTheFilesLettersAndStatementsWithTheFailingOnesMarked) {
  DryRunReport report;
  report.database = "FINANCE";
  report.clean = true;
  report.files = {{"CONF", 5, 7, 2, 0, "C00", FirstChange::kChanged, {{"CONF_VersionText", "400A", "500A"}}},
                  {"CODE", 4, 0, 0, 0, "", FirstChange::kChanged, {}},
                  {"PL#1", 0, 1, 1, 0, "K1", FirstChange::kNew, {{"bytes 0-9", "", "K1"}}}};
  report.renames = {{"LetterA", "Letter01"}, {"Letter01", ""}};
  report.statements = {"\r\nALTER TABLE fin_file ADD file_ucode1 char(10);\r\n", "  \n",
                       "\nCREATE TABLE fin_rcat (\n  rcat_id char(10)\n)\n", "ALTER TABLE fin_docs ADD doc_x char(1)"};
  report.wouldFail = {{0, {"the column fin_file.file_ucode1 already exists"}}, {3, {"no table fin_docs"}}};
  EXPECT_EQ(Render(PreviewOf(report)),
            "FINANCE\n"
            "  file CONF: 5 records read, 7 would change (2 new, 0 removed)\n"
            "    first change, key \"C00\":\n"
            "      CONF_VersionText: \"400A\" -> \"500A\"\n"
            "  file CODE: 4 records read, 0 would change\n"
            "  file PL#1: 0 records read, 1 would change (1 new, 0 removed)\n"
            "    first change, key \"K1\" (new):\n"
            "      bytes 0-9: \"\" -> \"K1\"\n"
            "  letter LetterA -> Letter01\n"
            "  letter Letter01 -> (removed)\n"
            "  !statement: ALTER TABLE fin_file ADD file_ucode1 char(10);\n"
            "    !would fail: the column fin_file.file_ucode1 already exists\n"
            "  statement: CREATE TABLE fin_rcat (\n"
            "      rcat_id char(10)\n"
            "    )\n"
            "  !statement: ALTER TABLE fin_docs ADD doc_x char(1)\n"
            "    !would fail: no table fin_docs\n"
            "FINANCE would convert with 2 server statements failing (not clean)\n");

  report.clean = false;
  report.why = "step Letters stopped: disk full";
  EXPECT_EQ(PreviewOf(report).verdict, "FINANCE would not convert cleanly: step Letters stopped: disk full");
}

}  // namespace
