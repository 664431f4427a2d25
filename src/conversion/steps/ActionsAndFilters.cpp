#include "conversion/steps/ActionsAndFilters.h"

#include <cstring>

#include "conversion/steps/RecordScan.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "shared/Connection.h"
#include "shared/Session.h"

namespace filomar::steps {
namespace {

constexpr std::size_t kKeptHead = 64;  // characters before the new ones
constexpr std::size_t kInserted = 20;  // blanks of the 5.0 layout

void WidenActionRecord() {
  char* record = Block(SACT_FILE).record;
  std::memmove(record + kKeptHead + kInserted, record + kKeptHead, reclib::kRecordSize - kKeptHead - kInserted);
  std::memset(record + kKeptHead, ' ', kInserted);
}

std::string DoubledQuotes(const std::string& text) {
  std::string quoted;
  for (const char c : text) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted;
}

}  // namespace

void ConvertSact(StepContext& ctx) {
  RewriteEveryRecord({SACT_FILE, "ConvertSact",
                      [] {
                        PutField(SACT_KeyText, std::int32_t{0});
                        PutField(SACT_KeyNumber, std::int32_t{0});
                      },
                      WidenActionRecord, &ctx.log, ctx.step},
                     ctx.progress);
}

std::string FilterOwnerStatement(Engine engine, const std::string& userId) {
  const std::string id = DoubledQuotes(userId);
  if (engine == Engine::Oracle) return "update std_filter set filter_userID =HEXTORAW(RAWTOHEX('" + id + "'))";
  return "update std_filter set filter_userID = '" + id + "'";
}

void ConvertFilters(StepContext& ctx) {
  ServerConversation server(LogAndNoteServerErrors(ctx), ctx.server);
  server.Execute(FilterOwnerStatement(DbEngine, Session.SignedOnUserId));
}

}  // namespace filomar::steps
