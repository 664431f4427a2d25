#include "conversion/Preview.h"

#include "common/FrontEnd.h"
#include "common/General.h"
#include "platform/ado/ListingProvider.h"
#include "shared/DbEngine.h"

namespace filomar {


Preview::Preview(DBSelect& window) : Preview(window, ProductStepTable(), ado::InstalledProviderFactory()) {}

Preview::Preview(DBSelect& window, StepTable steps, ado::ProviderFactory& catalogue)
    : window_(window), steps_(std::move(steps)), catalogue_(catalogue) {}

void Preview::Run() {
  databases.clear();
  canceled = false;
  // The catalogue is read through the real server; everything else that reaches for the
  // installed server meanwhile (the steps' own connections) gets one that sends nothing.
  ServerCatalogueCheck catalogue(catalogue_, DbEngine == Engine::Oracle);
  ado::ListingProviderFactory sendNothing;
  const ado::ScopedProviderFactory sendNothingInstalled(sendNothing);
  DBSelect::OtherRun busy(window_, kProgressHeader);
  for (const DBSelect::ListEntry& entry : window_.DBList) {
    if (!entry.selected) continue;
    FrontEnd().DoEvents();
    if (busy.CancelRequested()) {
      canceled = true;
      return;
    }
    PreviewDatabase(entry.text, busy.Progress(), sendNothing, catalogue);
  }
}

void Preview::PreviewDatabase(const std::string& name, frmProgress& progress, ado::ListingProviderFactory& sendNothing,
                              ServerCatalogueCheck& catalogue) {
  progress.lbldbname = name;
  progress.lblstatus.clear();
  if (!progress.visible) progress.Form_Load({window_.left, window_.top, window_.width, window_.height});
  progress.Show();
  DryRunReport report = DryRunDatabase(name, steps_, sendNothing, &progress);
  CheckStatementsOnServer(report, catalogue);
  databases.push_back(PreviewOf(report));
}

}  // namespace filomar
