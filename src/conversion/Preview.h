// Preview: what a conversion of the databases checked in the main window would change, shown
// before anything is changed. Each checked database is dry run (DryRun.h) in list order: a
// temporary copy of it is converted with the conversion's steps, whose server statements go to
// a server that sends nothing, and the statements are checked against the server's catalogue
// (ServerCatalogueCheck) as they would be sent, across the databases. Nothing on the site or on
// the server changes: no log, no backup, no statement.
//
// A presenter: the result is plain data, a tree of lines per database, which a front end shows
// as it is (a tree in the windows, indented lines on the console):
//
//   FINANCE
//     file CONF: 5 records read, 7 would change (2 new, 0 removed)
//       first change, key "C00":
//         CONF_VersionText: "400A" -> "500A"
//     letter LetterA -> Letter01
//     statement: ALTER TABLE fin_file ADD file_ucode1 char(10);     (marked as failing)
//       <each further line of the statement>
//       would fail: the column fin_file.file_ucode1 already exists  (marked as failing)
//   verdict: "FINANCE would convert cleanly", "FINANCE would convert with 2 server statements
//   failing" or "FINANCE would not convert cleanly: <why>", as the dry run prints them.
//
// While it runs, the main window's progress window shows the database and the caption of each
// step, as a conversion does, and Start Conversion is disabled (so the window's Cancel
// requests Cancel instead of ending the program). Cancel is honoured between databases: the
// database under way is previewed to its end, the ones after it are left out and `canceled`
// is set. Texts are single-byte Windows-1252, as the records hold them.
#pragma once

#include <string>
#include <vector>

#include "conversion/DBSelect.h"
#include "conversion/DryRun.h"
#include "report/DryRunTree.h"
#include "conversion/StepTable.h"
#include "platform/ado/Provider.h"

namespace filomar {


class Preview {
 public:
  // What the windows show.
  static constexpr const char* kCaption = "Preview of the Conversion";
  static constexpr const char* kButtonCaption = "Preview\x85";  // "Preview…" in Windows-1252
  static constexpr const char* kProgressHeader = "Previewing Database";
  static constexpr const char* kCanceledText = "Cancel requested: the preview stopped after the database under way.";

  // With the product's steps; the server's catalogue is read through the provider installed
  // now (ado::InstalledProviderFactory). `window` must outlive the preview.
  explicit Preview(DBSelect& window);
  // With other steps and another server to read the catalogue of (tests); `catalogue` must
  // outlive the preview.
  Preview(DBSelect& window, StepTable steps, ado::ProviderFactory& catalogue);
  Preview(const Preview&) = delete;
  Preview& operator=(const Preview&) = delete;

  // Previews the checked databases of the window's list into `databases` (emptied first).
  // Needs what the main window's run needs: the record library connected, STANDARD selected.
  void Run();

  std::vector<PreviewOfDatabase> databases;
  bool canceled = false;

 private:
  void PreviewDatabase(const std::string& name, frmProgress& progress, ado::ListingProviderFactory& sendNothing,
                       ServerCatalogueCheck& catalogue);

  DBSelect& window_;
  StepTable steps_;
  ado::ProviderFactory& catalogue_;
};

}  // namespace filomar
