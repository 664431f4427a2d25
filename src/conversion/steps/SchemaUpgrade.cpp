#include "conversion/steps/SchemaUpgrade.h"

#include <string>
#include <vector>

#include "common/FrontEnd.h"
#include "common/General.h"
#include "conversion/steps/UpgradeScript.h"
#include "recio/UserLevels.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "shared/Connection.h"
#include "shared/DbEngine.h"
#include "shared/ScriptBatches.h"

namespace filomar::steps {
namespace {

constexpr const char* kStandardPrefix = "std";

// A script runs long; without this the progress window would look hung.
void LetWindowRepaint(StepContext& ctx) {
  ctx.progress.Refresh();
  FrontEnd().DoEvents();
}

// Sends one statement (or batch) of `script` that ends at the script's current line. Text
// with a NUL byte is not sent: the driver would take the text before the NUL for the whole
// statement and run a part of it.
void Send(StepContext& ctx, ServerConversation& server, const UpgradeScript& script, const std::string& text) {
  if (text.find('\0') != std::string::npos) {
    ctx.log.WriteLine("Not sent: the statement of " + script.path() + " that ends at line " +
                      std::to_string(script.LineNumber()) + " holds a NUL character");
  } else {
    server.Execute(text);
  }
  LetWindowRepaint(ctx);
}

// Writes why the script could not be opened or read to the log and fails the step: without
// its whole upgrade the database's tables do not match its converted records. False when
// nothing failed.
bool LoggedScriptFailure(StepContext& ctx, const UpgradeScript& script) {
  if (script.Failure().empty()) return false;
  ctx.failure = "the upgrade script " + script.path() + " could not be " + (script.IsOpen() ? "read" : "opened") +
                " (" + script.Failure() + ")";
  if (!script.IsOpen()) {
    ctx.log.WriteLine("The upgrade script " + script.path() + " could not be opened (" + script.Failure() +
                      "); nothing of it was sent");
  } else {
    ctx.log.WriteLine("The upgrade script " + script.path() + " could not be read after line " +
                      std::to_string(script.LineNumber()) + " (" + script.Failure() + "); the rest of it was not sent");
  }
  return true;
}

}  // namespace

void UpdateTablesSQL5(StepContext& ctx) {
  ServerConversation server(LogAndNoteServerErrors(ctx), ctx.server);
  server.GroupStatements();
  UpgradeScript script("flm50.sql");
  const bool standard = SameText(ctx.prefix, kStandardPrefix);
  // The script's lines with the prefix put in; remarks go to the log where they stand.
  const auto nextLine = [&](std::string& line) {
    while (script.ReadLine(line)) {
      line = PutPrefix(line, ctx.prefix);
      if (!IsRemark(line)) return true;
      ctx.log.WriteIndented(kStepIndent, line);
    }
    return false;
  };
  std::string remainder;
  SplitAtGoLines(nextLine, kUpgradeScriptBatches, [&](const std::string& batch, bool endedByGo) {
    if (!endedByGo) {
      remainder = batch;
    } else if (standard || !NamesSharedTable(batch)) {
      if (!batch.empty()) Send(ctx, server, script, batch);
      ctx.log.WriteLine("");
    }
  });
  if (LoggedScriptFailure(ctx, script)) return;  // a cut-off remainder would be half a batch
  // What follows the last "go" goes to the server whatever it names.
  if (!remainder.empty()) Send(ctx, server, script, remainder);
}

void UpdateTablesORACLE5(StepContext& ctx) {
  ServerConversation server(
      [&ctx](const std::string& serverError, const std::string& statement, const ado::Error&) {
        ctx.log.WriteLine(statement + " " + serverError);
        ctx.NoteServerError(statement, serverError);
      },
      ctx.server);
  server.GroupStatements();
  UpgradeScript script("flm50ora.sql");
  const bool standard = SameText(ctx.prefix, kStandardPrefix);
  std::string line;
  while (script.ReadLine(line)) {
    if (IsBlank(line)) continue;
    line = PutPrefix(line, ctx.prefix);
    if (!standard && NamesSharedTable(line)) continue;
    if (IsRemark(line)) {
      ctx.log.WriteIndented(kStepIndent, line);
    } else {
      Send(ctx, server, script, line);
    }
  }
  LoggedScriptFailure(ctx, script);
}

namespace {


// One flag per element, flag i to occurrence i.
std::vector<Variant> Flags(const std::string& flags) {
  std::vector<Variant> values;
  for (char flag : flags) values.emplace_back(std::string(1, flag));
  return values;
}

// Puts the level's description and flags into CODE's record buffer; the rest of the buffer
// keeps what it holds.
void FillLevel(const UserLevel& level) {
  PutField(CODE_Description, std::string(level.description));
  PutFieldArray(CODE_LevelMask1, Flags(level.mask1));
  PutFieldArray(CODE_LevelMask2, Flags(level.mask2));
}

// Rewrites the level's record when it exists, else writes it. True when it is stored.
bool StoreLevel(const UserLevel& level) {
  PutField(CODE_Key, std::string("L") + level.code);
  vb_io_read(CODE_FILE, 0, 1);
  if (vb_io_erc == 0) {
    FillLevel(level);
    vb_io_rewrite(CODE_FILE);
    return vb_io_erc == 0;
  }
  if (vb_io_erc != reclib::kNotFound) return false;
  PutField(CODE_Key, std::string("L") + level.code);
  FillLevel(level);
  vb_io_write(CODE_FILE);
  return vb_io_erc == 0;
}

}  // namespace

void UpdateOraclePrivs(StepContext& ctx) {
  vb_io_open(CODE_FILE, "");
  if (DbEngine == Engine::Oracle) {
    for (const UserLevel& level : kUserLevels) {
      if (StoreLevel(level)) continue;
      const short status = vb_io_erc;
      ctx.log.WriteLine(std::string("The user level L") + level.code + " could not be stored in the CODE file (status " +
                        std::to_string(status) + "); the levels after it were not written");
      vb_io_close(CODE_FILE);
      vb_io_erc = status;  // left for the caller, as a failed write leaves it
      return;
    }
  }
  vb_io_close(CODE_FILE);
}

}  // namespace filomar::steps
