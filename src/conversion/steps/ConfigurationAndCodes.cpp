#include "conversion/steps/ConfigurationAndCodes.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "common/General.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"

namespace filomar::steps {
namespace {

using Captions = std::vector<std::pair<int, const char*>>;  // element, caption

// The captions 5.0 adds to the field caption lists of file, document and box records.
const Captions kFileCaptions = {
    {26, "User code 1"},        {27, "User code 2"},   {28, "User code 3"},
    {29, "Security"},           {30, "Record Category ID"}, {31, "Related Files"},
    {32, "Permanent Record"},   {33, "Vital Record Type"},  {34, "Supplemental Markup"},
    {35, "Last Review Date"},   {36, "Next Review Date"},   {37, "User Box No."}};
const Captions kDocumentCaptions = {
    {32, "User code 1:"},       {33, "User code 2:"},       {34, "User code 3:"},
    {35, "Supplemental Markup"}, {36, "Media Type"},        {37, "Format"},
    {38, "Publication Date"},   {39, "Addressees"},         {40, "Other Addressees"},
    {41, "Originating Organisation"}, {42, "Vital Record Type"}, {43, "Permanent Record"},
    {44, "Record Category ID"}, {45, "Record Category"},    {46, "Related Documents"},
    {47, "Last Review Date"},   {48, "Next Review Date"},   {49, "User Box Number"},
    {50, "Security Code"}};
const Captions kBoxCaptions = {
    {20, "Security Code"},      {21, "Space Number"},       {22, "Permanent Record"},
    {23, "Record Category ID"}, {24, "Record Category"},    {25, "Last Review Date"},
    {26, "Next Review Date"},   {27, "Related Boxes"}};

// The run of "C00" that moves to "C12": it starts one character before the flags at 839.
constexpr std::size_t kMovedOffset = 838;
constexpr std::size_t kMovedLength = 20;

// Writes are not allowed to fail unseen: the step goes on, but the trace names the record.
void TraceFailure(const std::string& routine, const std::string& what) {
  if (vb_io_erc != 0) WriteTrace(routine + ": " + what + " failed (vb_io_erc = " + std::to_string(vb_io_erc) + ")");
}

// Reads `row` for update into the buffer of CONF; true when it is there.
bool ReadRowForUpdate(const char* row) {
  PutField(CONF_RowKey, std::string(row));
  vb_io_read(CONF_FILE, 0, 1);
  return vb_io_erc == 0;
}

void RewriteRow(const char* row) {
  vb_io_rewrite(CONF_FILE);
  TraceFailure("UpdateCONF", std::string("rewrite of CONF row ") + row);
  vb_io_unlock(CONF_FILE);
}

void AddCaptions(const char* row, const FieldInfo& list, const Captions& captions) {
  if (!ReadRowForUpdate(row)) return;
  std::vector<Variant> elements;
  GetFieldArray(list, elements);
  for (const auto& [element, caption] : captions) elements[static_cast<std::size_t>(element)] = std::string(caption);
  PutFieldArray(list, elements);
  RewriteRow(row);
}

// Sets the 5.0 settings of "C00" and returns what it held at 838..857 before; empty when the
// row cannot be read.
std::string ConvertMainRow() {
  if (!ReadRowForUpdate("C00")) return {};
  const std::string moved(Block(CONF_FILE).record + kMovedOffset, kMovedLength);
  PutField(CONF_VersionText, std::string("500A"));
  PutField(CONF_C00_Number1201, std::int32_t{0});
  PutField(CONF_C00_Flag1203, std::string("N"));
  for (const FieldInfo* flag : {&CONF_C00_Flag839, &CONF_C00_Flag840, &CONF_C00_Flag841, &CONF_C00_Flag842})
    PutField(*flag, std::string("N"));
  PutField(CONF_VersionNumber, std::int32_t{500});
  RewriteRow("C00");
  return moved;
}

}  // namespace

void UpdateCONF(StepContext&) {
  vb_io_open(CONF_FILE, "");
  AddCaptions("C04", CONF_C04_Captions, kFileCaptions);
  AddCaptions("C05", CONF_C05_Captions, kDocumentCaptions);
  AddCaptions("C06", CONF_C06_Captions, kBoxCaptions);
  const std::string moved = ConvertMainRow();

  ClearRecord(CONF_FILE);
  PutField(CONF_RowKey, std::string("C12"));
  PutField(CONF_C12_AuditDumpPath, moved);
  vb_io_add(CONF_FILE);
  TraceFailure("UpdateCONF", "adding CONF row C12");
  vb_io_close(CONF_FILE);
}

void ConvertCodes(StepContext&) {
  vb_io_open(CODE_FILE, "");
  ClearRecord(CODE_FILE);
  PutField(CODE_Key, std::string("D007"));
  PutField(CODE_Description, std::string("FROZEN"));
  vb_io_write(CODE_FILE);
  TraceFailure("ConvertCodes", "adding CODE record D007");
  vb_io_close(CODE_FILE);
}

}  // namespace filomar::steps
