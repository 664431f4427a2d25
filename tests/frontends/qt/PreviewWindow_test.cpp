// The main window's Preview and the preview window, driven through their widgets on a demo
// site with the product's steps: the tree of every checked database, the progress window and
// Cancel during the preview, failing statements in red, and the site left as it was.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>
#include <ctime>
#include <functional>

#include "QtTest.h"
#include "conversion/DemoSiteWindow.h"
#include "conversion/Preview.h"
#include "common/FrontEnd.h"
#include "frontends/qt/QtFaces.h"
#include "recio/Vb_io.h"
#include "shared/DbEngine.h"
#include "shared/ProgramEnd.h"
#include "shared/Session.h"
#include "support/DemoSite.h"
#include "support/RecordingProvider.h"
#include "support/Records.h"
#include "support/ScriptedUi.h"

using namespace filomar;

namespace {

using qt_test::WhenShown;

// The tree's items as indented lines, "!" before an item in red.
void Render(QTreeWidgetItem* item, const std::string& indent, std::string& out) {
  out += indent + (item->foreground(0).color() == Qt::red ? "!" : "") + item->text(0).toStdString() + "\n";
  for (int i = 0; i < item->childCount(); ++i) Render(item->child(i), indent + "  ", out);
}

std::string Render(const QTreeWidget* tree) {
  std::string out;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) Render(tree->topLevelItem(i), "", out);
  return out;
}

class PreviewWindowTest : public conversion_test::DemoSiteWindow {
 protected:
  // Every listed database checked.
  void SetUp() override {
    DemoSiteWindow::SetUp();
    for (std::size_t i = 1; i < window.DBList.size(); ++i) window.DBList[i].selected = true;
  }

  // Shows the main window, clicks Preview, runs `during` on the progress window when it shows
  // (once), and ends the program from the main window once the preview window is up; the
  // preview window's tree.
  std::string PreviewThroughTheWindows(std::function<void(QWidget* progress, QWidget* main)> during = {}) {
    std::string tree;
    WhenShown("DBSelect", [&](QWidget* main) {
      if (during) WhenShown("frmProgress", [&, main](QWidget* progress) { during(progress, main); });
      WhenShown("frmPreview", [&, main](QWidget* preview) {
        tree = Render(preview->findChild<QTreeWidget*>("tvPreview"));
        QTest::mouseClick(main->findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
      });
      QTest::mouseClick(main->findChild<QPushButton*>("cmdPreview"), Qt::LeftButton);
    });
    EXPECT_EQ(qt_test::RunMainWindowToEnd(window), kExitNormal);
    return tree;
  }

  // The record files a conversion writes and the letters of the databases at 4.0, as bytes.
  std::string SiteRecords() const {
    std::string all;
    for (const auto& [directory, prefix] : {std::pair{"data", "std"}, {"finance", "fin"}, {"personnel", "per"}}) {
      for (const char* code : {"CONF", "CODE", "SACT", "VERS", "COMP"})
        all += testing_support::RunSiteTool({"dump", site.dir().string(), directory, prefix, code, "--hex"}).out;
      for (const auto& [name, content] : testing_support::LetterFiles(site.DataDir(directory))) all += name + content;
    }
    return all;
  }
};

TEST_F(PreviewWindowTest, ShowsEveryCheckedDatabaseWithItsChangesAndLeavesTheSiteAsItWas) {
  const std::string before = SiteRecords();
  const std::string tree = PreviewThroughTheWindows();
  const std::size_t finance = tree.find("\n  STANDARD would convert cleanly\nFINANCE\n");
  const std::size_t personnel = tree.find("\n  FINANCE would convert cleanly\nPERSONNEL\n");
  ASSERT_TRUE(tree.rfind("STANDARD\n", 0) == 0 && finance < personnel && personnel != std::string::npos) << tree;
  EXPECT_NE(tree.find("\n  PERSONNEL would convert cleanly\n", personnel), std::string::npos) << tree;
  const std::string financeLines = tree.substr(finance, personnel - finance);
  EXPECT_NE(financeLines.find("\n  file CONF: 5 records read, "), std::string::npos) << financeLines;
  EXPECT_NE(financeLines.find("    first change, key \"C00\":\n      CONF_VersionText: \"400A\" -> \"500A\"\n"),
            std::string::npos)
      << financeLines;
  EXPECT_EQ(tree.find('!'), std::string::npos) << tree;
  EXPECT_EQ(SiteRecords(), before);
}

// A server whose catalogue holds the column STANDARD would add: that statement and its reason
// are red. Cancel during STANDARD's preview leaves FINANCE and PERSONNEL out.
TEST_F(PreviewWindowTest, MarksFailingStatementsAndCancelStopsAfterTheDatabaseUnderWay) {
  ado::RecordingProviderFactory catalogue;
  catalogue.AddTable("std_file", {"file_no", "file_ucode1"});
  const ado::ScopedProviderFactory installed(catalogue);
  std::vector<std::string> during;
  const std::string tree = PreviewThroughTheWindows([&](QWidget* progress, QWidget* main) {
    during = {progress->findChild<QLabel*>("lbldbname")->text().toStdString(),
              main->findChild<QPushButton*>("cmdPreview")->isEnabled() ? "preview enabled" : "preview disabled"};
    QTest::mouseClick(main->findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
  });
  EXPECT_EQ(during, (std::vector<std::string>{"STANDARD", "preview disabled"}));
  EXPECT_NE(tree.find("  !statement: ALTER TABLE std_file ADD file_ucode1 char(10);\n"
                      "    !would fail: the column std_file.file_ucode1 already exists\n"),
            std::string::npos)
      << tree;
  EXPECT_NE(tree.find("  !STANDARD would convert with "), std::string::npos) << tree;
  EXPECT_EQ(tree.find("FINANCE"), std::string::npos) << tree;
  EXPECT_NE(tree.find(std::string("\n") + Preview::kCanceledText + "\n"), std::string::npos) << tree;
  EXPECT_TRUE(catalogue.Statements().empty());
  EXPECT_EQ(window.Progress().Label1, "Converting Database");
}

}  // namespace
