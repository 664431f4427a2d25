// filomar-screenshots: runs the program's Qt windows over the site that FILOMAR_HOME names and
// saves a picture of the sign-on window, the main window, the preview window, the progress
// window, a message box and the backups window into the directory given. It plays the
// administrator: signs on as FILOMAR, selects every listed database, previews the conversion,
// starts it, answers the message boxes with their default button, checks FINANCE's backup in
// the backups window and ends the program. Meant for the offscreen platform
// (scripts/screenshots.sh).
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <iostream>
#include <memory>

#include "WindowShots.h"
#include "common/FrontEnd.h"
#include "conversion/DBSelect.h"
#include "frontends/qt/QtFaces.h"
#include "newdb/OracleLocks.h"
#include "newdb/modCrStd.h"
#include "shared/ProgramEnd.h"
#include "startup/login.h"
#include "startup/modMain.h"

namespace {

using screenshots::WindowShots;

// A window that never shows (a refused sign-on, a site without databases to convert) would
// leave the program waiting for ever.
constexpr unsigned kGiveUpSeconds = 300;
const char* const kUserId = "FILOMAR";
const char* const kPassword = "FILOMAR";

// Runs `look` on every pass of the event loop, including the passes the windows make while a
// conversion step blocks, until it returns true.
void EveryPass(std::function<bool()> look) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(0);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, look = std::move(look)] {
    if (!look()) return;
    timer->stop();
    timer->deleteLater();
  });
  timer->start();
}

QWidget* ShownWindow(const char* name) {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->objectName() == name && window->isVisible()) return window;
  return nullptr;
}

void Click(QWidget* window, const char* button) {
  QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
}

void SignOn(WindowShots& shots) {
  EveryPass([&shots] {
    QWidget* dialog = ShownWindow("login");
    if (dialog == nullptr) return false;
    // Focus moves within the window only once it is the active one.
    if (!dialog->isActiveWindow()) {
      dialog->activateWindow();
      return false;
    }
    auto* uid = dialog->findChild<QLineEdit*>("UID");
    QTest::keyClicks(uid, kUserId);
    QTest::keyClick(uid, Qt::Key_Tab);  // leaving the user id fills the list of databases
    QTest::keyClicks(dialog->findChild<QLineEdit*>("PWD"), kPassword);
    QApplication::processEvents();
    shots.Take("signon", dialog);
    Click(dialog, "ok");
    return true;
  });
}

// The progress window showing the most: a step's record count part-way, else a finished
// count, else a count just begun, else any step.
void WatchProgress(WindowShots& shots) {
  EveryPass([&shots] {
    QWidget* progress = ShownWindow("frmProgress");
    if (progress == nullptr) return ShownWindow("DBSelect") == nullptr;
    const auto* bar = progress->findChild<QProgressBar*>("recordBar");
    const int detail = !bar->isVisible()                ? 0
                       : bar->value() == 0              ? 1
                       : bar->value() == bar->maximum() ? 2
                                                        : 3;
    shots.Take("progress", progress, detail);
    return false;
  });
}

// Every message box is answered with its default button; the picture is of the last one,
// which after a run is the completion message.
void AnswerMessageBoxes(WindowShots& shots) {
  EveryPass([&shots] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return false;
    std::cout << "message box: " << box->text().toStdString() << "\n";
    shots.Take("message", box, 1 + static_cast<int>(box->text().contains("completed")));
    if (QPushButton* answer = box->defaultButton()) answer->click();
    else box->reject();
    return false;
  });
}

void SelectEveryDatabase(QWidget* main) {
  auto* list = main->findChild<QListWidget*>("DBList");
  for (int row = 0; row < list->count(); ++row) {
    if (list->item(row)->checkState() == Qt::Checked) continue;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
  }
}

// The top-level item of the tree named `database`, or null.
QTreeWidgetItem* DatabaseItem(QTreeWidget* tree, const QString& database) {
  for (int i = 0; i < tree->topLevelItemCount(); ++i)
    if (tree->topLevelItem(i)->text(0) == database) return tree->topLevelItem(i);
  return nullptr;
}

// The preview of every listed database, FINANCE's tree open and the others closed, so that
// the picture shows one database's changes whole.
void Preview(WindowShots& shots, QWidget* main) {
  Click(main, "cmdPreview");  // returns once the preview has been shown
  QWidget* preview = ShownWindow("frmPreview");
  if (preview == nullptr) return;
  auto* tree = preview->findChild<QTreeWidget*>("tvPreview");
  tree->collapseAll();
  if (QTreeWidgetItem* finance = DatabaseItem(tree, "FINANCE")) tree->expandRecursively(tree->indexFromItem(finance));
  QApplication::processEvents();
  shots.Take("preview", preview);
  Click(preview, "cmdClose");
}

// The backups window, FINANCE's backup of the run chosen and checked.
void Backups(WindowShots& shots, QWidget* main) {
  EveryPass([&shots] {
    QWidget* window = ShownWindow("frmBackups");
    if (window == nullptr) return false;
    auto* tree = window->findChild<QTreeWidget*>("lstBackups");
    if (QTreeWidgetItem* finance = DatabaseItem(tree, "FINANCE"); finance != nullptr && finance->childCount() > 0) {
      tree->setCurrentItem(finance->child(0));
      Click(window, "cmdCheck");
    }
    QApplication::processEvents();
    shots.Take("backups", window);
    Click(window, "cmdClose");
    return true;
  });
  Click(main, "cmdBackups");  // the window is modal: returns once it is closed
}

void ConvertEverything(WindowShots& shots) {
  EveryPass([&shots] {
    QWidget* main = ShownWindow("DBSelect");
    if (main == nullptr) return false;
    SelectEveryDatabase(main);
    QApplication::processEvents();
    shots.Take("main", main);
    Preview(shots, main);
    WatchProgress(shots);
    Click(main, "cmdStart");  // returns once the run has ended
    Backups(shots, main);
    Click(main, "cmdExit");
    return true;
  });
}

// Start-up's hand-overs as the program makes them with windows; a site without a product
// database is not one to take pictures of.
class WindowHandOvers : public filomar::StartupHandOvers {
 public:
  explicit WindowHandOvers(WindowShots& shots) : shots_(shots) {}
  bool ProductDatabaseExists() override { return filomar::StandardDatabaseExists(); }
  void RecreateOracleLockProcedures() override { filomar::CreateOracleLockProcedures(); }
  bool CreateStandardDatabase() override {
    std::cerr << "filomar-screenshots: the site has no product database; make a demo site first\n";
    return false;
  }
  int ShowSignOn() override {
    login_ = std::make_unique<filomar::login>();
    SignOn(shots_);
    return ui::RunLoginWindow(*login_);
  }
  void ShowMainWindow() override {
    main_ = std::make_unique<filomar::DBSelect>();
    main_->Form_Load();
  }
  [[noreturn]] void RunMainWindow() {
    ConvertEverything(shots_);
    ui::RunMainWindow(*main_);
  }

 private:
  WindowShots& shots_;
  std::unique_ptr<filomar::login> login_;
  std::unique_ptr<filomar::DBSelect> main_;
};

int Run(WindowShots& shots) {
  WindowHandOvers handOvers(shots);
  try {
    filomar::StartProgram("", handOvers);
    handOvers.RunMainWindow();
  } catch (const filomar::ProgramEnd& end) {
    return end.status;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: filomar-screenshots DIRECTORY   (with FILOMAR_HOME naming a demo site)\n";
    return 2;
  }
  const QString directory = QString::fromLocal8Bit(argv[1]);
  alarm(kGiveUpSeconds);
  ui::QtSession session(argc, argv);
  filomar::SetFrontEnd(session.FrontEnd());
  WindowShots shots;
  AnswerMessageBoxes(shots);
  const int status = Run(shots);
  std::cout << "filomar-convert's windows ended with status " << status << "\n";
  const bool saved = shots.Save(directory, {"signon", "main", "preview", "progress", "message", "backups"});
  return status == filomar::kExitNormal && saved ? 0 : 1;
}
