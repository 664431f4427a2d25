#include "conversion/steps/VersionsAndComponents.h"

#include <string>
#include <vector>

#include "common/Text.h"
#include "conversion/steps/RecordScan.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"

namespace filomar::steps {
namespace {

// Every field is read before any is written back: the text comes without trailing blanks and
// NUL characters (GetField), goes to upper case in the records' code page (Windows-1252, so
// accented letters too), and is stored blank padded to its width. A field of NULs becomes blanks.
void UpperCaseFields(const std::vector<const FieldInfo*>& fields) {
  std::vector<std::string> texts;
  for (const FieldInfo* field : fields) texts.push_back(RTrim(UpperCp1252(GetText(*field))));
  for (std::size_t i = 0; i < fields.size(); ++i) PutField(*fields[i], texts[i]);
}

void UpperCaseEveryRecord(short file, const char* routine, std::vector<const FieldInfo*> fields, StepContext& ctx) {
  RewriteEveryRecord({file, routine, [file] { ClearRecord(file); }, [&fields] { UpperCaseFields(fields); }, &ctx.log,
                      ctx.step},
                     ctx.progress);
}

}  // namespace

void ConvertVers(StepContext& ctx) {
  UpperCaseEveryRecord(VERS_FILE, "ConvertVers", {&VERS_Text394, &VERS_Text139}, ctx);
}

void ConvertComp(StepContext& ctx) { UpperCaseEveryRecord(COMP_FILE, "ConvertComp", {&COMP_Text276}, ctx); }

}  // namespace filomar::steps
