#include "frontends/faces/DBSelectFace.h"

#include <csignal>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ostream>
#include <sstream>

#include "common/FrontEnd.h"
#include "common/General.h"
#include "common/Text.h"
#include "conversion/Selection.h"
#include "shared/ProgramEnd.h"
#include "common/Cp1252.h"
#include "conversion/Preview.h"
#include "frontends/faces/BackupsFace.h"
#include "report/TextReport.h"

namespace ui {
namespace {

using filomar::DBSelect;
using filomar::frmProgress;

// The progress window as lines: one per change of database or step caption and, while a step
// counts records, one with its count when a second has passed since the last line: a step
// that takes less than a second adds no count line.
class ProgressLines : public frmProgress::Painter {
 public:
  explicit ProgressLines(std::ostream& out) : out_(out) {}

  void Restart() {
    start_ = std::chrono::steady_clock::now();
    shownName_.clear();
    shownStatus_.clear();
  }
  // A new database gets a line of its own; the caption it still shows is the last one's.
  void Paint(const frmProgress& window) override {
    const auto now = window.clock();
    if (window.lbldbname != shownName_) {
      shownName_ = window.lbldbname;
      shownStatus_ = window.lblstatus;
      Line(window.Label1 + " " + Cp1252ToUtf8(window.lbldbname), now);
    } else if (window.lblstatus != shownStatus_) {
      shownStatus_ = window.lblstatus;
      Line(Cp1252ToUtf8(window.lbldbname) + ":" + Cp1252ToUtf8(window.lblstatus), now);
    } else if (window.ShowsRecordCount() && now - lastLine_ >= std::chrono::seconds(1)) {
      Line(Cp1252ToUtf8(window.lbldbname) + ":" + Cp1252ToUtf8(window.lblstatus) + "  " + window.RecordCountText(),
           now);
    }
  }
  void Closed(const frmProgress&) override {}

 private:
  // `now` is the window's clock, which paces the count lines.
  void Line(const std::string& text, std::chrono::steady_clock::time_point now) {
    lastLine_ = now;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "[%7.1f s]  ", elapsed.count());
    out_ << seconds << text << "\n";
    out_.flush();
  }

  std::ostream& out_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::string shownName_, shownStatus_;
  std::chrono::steady_clock::time_point lastLine_{};
};

volatile std::sig_atomic_t interrupted = 0;
extern "C" void OnInterrupt(int) { interrupted = 1; }

// For the length of a run: Ctrl-C (SIGINT) and SIGTERM set a flag instead of ending the
// program, and the window's pending messages (DoEvents) turn it into a click on Cancel.
class CancelOnInterrupt : public Ui {
 public:
  CancelOnInterrupt(DBSelect& form, std::ostream& out) : form_(form), out_(out), inner_(filomar::FrontEnd()) {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // a message box waiting for input keeps waiting
    sigaction(SIGINT, &action, &previousInterrupt_);
    sigaction(SIGTERM, &action, &previousTerminate_);
    filomar::SetFrontEnd(*this);
  }
  ~CancelOnInterrupt() override {
    filomar::SetFrontEnd(inner_);
    sigaction(SIGTERM, &previousTerminate_, nullptr);
    sigaction(SIGINT, &previousInterrupt_, nullptr);
  }
  CancelOnInterrupt(const CancelOnInterrupt&) = delete;
  CancelOnInterrupt& operator=(const CancelOnInterrupt&) = delete;

  int MsgBox(const std::string& text, std::uint16_t code, const std::string& title) override {
    return inner_.MsgBox(text, code, title);
  }
  void DoEvents() override {
    inner_.DoEvents();
    if (interrupted == 0) return;
    interrupted = 0;
    out_ << "Cancel requested: the run stops after the database being converted.\n";
    form_.cmdExit_Click();
  }
  void SetMousePointer(MousePointer pointer) override { inner_.SetMousePointer(pointer); }
  void Beep() override { inner_.Beep(); }
  ScreenSize Screen() const override { return inner_.Screen(); }

 private:
  DBSelect& form_;
  std::ostream& out_;
  Ui& inner_;
  struct sigaction previousInterrupt_ {};
  struct sigaction previousTerminate_ {};
};

void ShowWindow(const DBSelect& form, std::ostream& out) {
  out << "\n[" << form.caption << "]\n" << form.Label1 << "\n";
  for (std::size_t i = 0; i < form.DBList.size(); ++i) {
    char number[24];
    std::snprintf(number, sizeof number, "%4zu", i + 1);
    out << number << (form.DBList[i].selected ? " [x] " : " [ ] ") << Cp1252ToUtf8(form.DBList[i].text) << "\n";
  }
  out << form.Label2 << "\n" << form.Label3 << ": " << Cp1252ToUtf8(form.txtLogFile) << "\n";
  ShowBackupSettings(form, out);
}


void Start(DBSelect& form, ProgressLines& progress, std::ostream& out) {
  if (!form.cmdStartEnabled) {
    out << form.cmdStartCaption << " is not available.\n";
    return;
  }
  progress.Restart();
  form.cmdStart_Click();
}

void ShowPreview(DBSelect& form, ProgressLines& progress, std::ostream& out) {
  if (!form.cmdStartEnabled) {
    out << Cp1252ToUtf8(filomar::Preview::kButtonCaption) << " is not available.\n";
    return;
  }
  progress.Restart();
  filomar::Preview preview(form);
  preview.Run();
  for (const filomar::PreviewOfDatabase& database : preview.databases) {
    out << "Preview of " << Cp1252ToUtf8(database.database) << "\n";
    std::ostringstream tree;  // the dry run's lines, in the records' Windows-1252
    filomar::WriteLines(database.lines, "  ", tree);
    out << Cp1252ToUtf8(tree.str());
    out << Cp1252ToUtf8(database.verdict) << "\n";
  }
  if (preview.canceled) out << filomar::Preview::kCanceledText << "\n";
}

// Lends the window's progress to a painter for the life of the object.
class PainterScope {
 public:
  PainterScope(DBSelect& form, frmProgress::Painter& painter) : form_(form) { form_.PaintProgressWith(&painter); }
  ~PainterScope() { form_.PaintProgressWith(nullptr); }
  PainterScope(const PainterScope&) = delete;
  PainterScope& operator=(const PainterScope&) = delete;

 private:
  DBSelect& form_;
};

// Carries out one command line of the console.
void Command(DBSelect& form, const std::string& line, ProgressLines& progress, std::ostream& out) {
  const std::string command = filomar::Trim(line);
  if (command.empty()) return;
  if (command.find_first_not_of("0123456789") == std::string::npos && command.size() < 6) {
    const int number = std::stoi(command);
    if (number < 1 || number > static_cast<int>(form.DBList.size())) out << "There is no entry " << number << ".\n";
    else form.DBList_Click(number - 1);
  } else if (command.rfind("log ", 0) == 0) {
    form.txtLogFile_Change(Utf8ToCp1252(filomar::Trim(command.substr(4))));
  } else if (command == "start" || command == "s") {
    CancelOnInterrupt cancel(form, out);
    Start(form, progress, out);
  } else if (command == "preview" || command == "p") {
    CancelOnInterrupt cancel(form, out);
    ShowPreview(form, progress, out);
  } else if (command == "cancel" || command == "exit" || command == "x") {
    form.cmdExit_Click();
  } else if (!BackupCommand(form, command, out)) {
    out << "Commands: a number selects or deselects that database; \"log PATH\" sets the log file;\n"
           "\"start\" starts the conversion; \"preview\" shows what it would change; \"cancel\" ends the program.\n"
           "\"backups\" lists the backups; \"check NAME [FOLDER]\" checks one; \"restore NAME [FOLDER]\" restores\n"
           "a database from one (default: its newest); \"backup-dir PATH|off|on\" sets where backups go.\n";
  }
}

}  // namespace

void RunDBSelectOnConsole(DBSelect& form, ConsoleUi& console) {
  std::ostream& out = console.Out();
  ProgressLines progress(out);
  const PainterScope painting(form, progress);
  ShowUnlisted(form, out);
  form.Form_Activate();
  for (;;) {
    form.ActivateIfDue();
    ShowWindow(form, out);
    out << "[number | log PATH | start | preview | cancel | backups | restore NAME | backup-dir PATH|off]> ";
    std::string line;
    if (!console.ReadLine(line)) {
      out << "\n";
      form.Form_FrameClose();  // idle here: ends the program
    }
    Command(form, line, progress, out);
  }
}

namespace {

// A run that converted less than was chosen must not end as a success: a script would take
// the site for converted.
int ExitStatusOfRun(const DBSelect& form) {
  switch (form.LastRun()) {
    case DBSelect::RunOutcome::LogUnavailable:
    case DBSelect::RunOutcome::LogFailed:
    case DBSelect::RunOutcome::BackupFailed:
    case DBSelect::RunOutcome::ServerUnreachable:
      return filomar::kExitFailure;
    default:
      break;
  }
  if (!form.NotConvertedDatabases().empty()) return filomar::kExitFailure;
  return form.LastRun() == DBSelect::RunOutcome::Canceled ? filomar::kExitRunCancelled : filomar::kExitNormal;
}

void SelectChosen(DBSelect& form, std::ostream& out, const BatchChoice& choice) {
  const filomar::Selection selection = filomar::ChooseDatabases(form.DBList, choice.databases, choice.all);
  form.SelectListed(selection.chosen);
  for (const std::string& wanted : selection.notListed)
    out << "Database " << wanted << " is not in the list (not catalogued, or not at 4.0): left out.\n";
}

}  // namespace

void RunDBSelectInBatch(DBSelect& form, std::ostream& out, const BatchChoice& choice) {
  ProgressLines progress(out);
  const PainterScope painting(form, progress);
  ShowUnlisted(form, out);
  form.Form_Activate();
  SelectChosen(form, out, choice);
  if (!choice.logFile.empty()) form.txtLogFile_Change(Utf8ToCp1252(choice.logFile));
  ShowWindow(form, out);
  if (form.cmdStartEnabled) {
    out << "> start\n";
    CancelOnInterrupt cancel(form, out);
    Start(form, progress, out);
  }
  const int status = ExitStatusOfRun(form);
  out << "> cancel\n";
  try {
    form.cmdExit_Click();
  } catch (const filomar::ProgramEnd&) {
    throw filomar::ProgramEnd{status};
  }
  throw filomar::ProgramEnd{filomar::kExitFailure};  // cmdExit while idle always ends the program
}

void ShowUnlisted(const DBSelect& form, std::ostream& out) {
  for (const std::string& note : form.unlistedNotes) out << "Not listed because it cannot be read: " << Cp1252ToUtf8(note) << "\n";
}

}  // namespace ui
