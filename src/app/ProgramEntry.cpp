#include "app/ProgramEntry.h"

#include <csignal>
#include <iostream>
#include <memory>

#include "app/Options.h"
#include "app/ProgramHandOvers.h"
#include "common/FrontEnd.h"
#include "common/Version.h"
#include "startup/modMain.h"
#include "frontends/console/BatchUi.h"
#include "frontends/console/ConsoleUi.h"
#include "frontends/Display.h"
#include "platform/ipc/ipc.h"
#include "platform/reclib/SqliteProcess.h"
#include "platform/winapi/AppPath.h"

namespace {

// A signal that ends the program first takes back what it published (the sign-on password
// among it), then ends it as the signal would have.
extern "C" void WithdrawAndDie(int signal) {
  ipc_withdraw();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void WithdrawOnEndingSignals() {
  struct sigaction action {};
  action.sa_handler = WithdrawAndDie;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction previous {};
    sigaction(signal, nullptr, &previous);
    if (previous.sa_handler != SIG_IGN) sigaction(signal, &action, nullptr);  // nohup stays nohup
  }
}

// Every return from main withdraws what the run published, whichever way it ended.
struct WithdrawAtExit {
  ~WithdrawAtExit() { ipc_withdraw(); }
};

}  // namespace

namespace filomar::app {

int RunProgram(int argc, char** argv, WindowsOpener openWindows) {
  reclib::SetUpSqliteForThisProcess();
  winapi::PinAppPath();
  std::string error;
  auto options = ParseOptions(argc, argv, error);
  if (!options) {
    std::cerr << "filomar-convert: " << error << "\n" << kUsage;
    return kExitFailure;
  }
  if (options->help) {
    std::cout << kUsage << kHelp;
    return kExitNormal;
  }
  if (options->version) {
    std::cout << "filomar-convert " << kVersion << "\n";
    return kExitNormal;
  }
  // A dry run prints its report: it has no window of its own.
  if (options->frontEnd == FrontEndKind::Windows && (options->dryRun || !ui::DisplayAvailable()))
    options->frontEnd = FrontEndKind::Console;
  std::unique_ptr<ui::WindowsFrontEnd> windows;
  if (options->frontEnd == FrontEndKind::Windows && !(windows = openWindows(argc, argv))) return kExitFailure;
  ui::ConsoleUi console(std::cin, std::cout);
  ui::BatchUi batch(std::cout, options->answers);
  ui::Ui& frontEnd = windows ? windows->FrontEnd()
                     : options->frontEnd == FrontEndKind::Batch ? static_cast<ui::Ui&>(batch)
                                                                : console;
  SetFrontEnd(frontEnd);
  WithdrawOnEndingSignals();
  WithdrawAtExit withdraw;
  ProgramHandOvers handOvers(*options, windows.get(), console, std::cout);
  try {
    StartProgram(options->commandLine, handOvers);
    handOvers.RunMainWindow();
  } catch (const ProgramEnd& end) {
    return handOvers.WriteReportAtEnd(end.status);
  }
}

}  // namespace filomar::app
