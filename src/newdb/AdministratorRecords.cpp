#include "newdb/AdministratorRecords.h"

#include <chrono>
#include <cstdint>
#include <ctime>
#include <string>

#include "common/General.h"
#include "newdb/ServerRows.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "shared/Catalogue.h"
#include "shared/Session.h"

namespace filomar {
namespace {

// The system colours a new user's screens start with, as signed 32-bit values.
constexpr std::int32_t kButtonFace = static_cast<std::int32_t>(0x8000000F);
constexpr std::int32_t kWindowBackground = static_cast<std::int32_t>(0x80000005);

Variant Text(const std::string& text) { return text; }

// Opens `file`, writes the cleared record that `fill` puts together, closes the file.
template <typename Fill>
bool WriteOne(short file, Fill fill) {
  vb_io_open(file, "");
  if (vb_io_erc != 0) return false;
  ClearRecord(file);
  fill();
  vb_io_write(file);
  const bool written = vb_io_erc == 0;
  vb_io_close(file);
  return written;
}

// The local calendar day, as the log and every other date of the program: the UTC day is
// another one for hours around midnight.
Date Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Date{std::chrono::year(local.tm_year + 1900), std::chrono::month(static_cast<unsigned>(local.tm_mon + 1)),
              std::chrono::day(static_cast<unsigned>(local.tm_mday))};
}

}  // namespace

bool WriteAdministratorRecords() {
  SelectStandardDatabase();
  return WriteOne(DB_FILE,
                  [] {
                    PutField(DB_DatabaseName, Text(kStandardName));
                    PutField(DB_DataDirectory, Text("data"));
                    PutField(DB_Description, Text("Standard initial database"));
                    PutField(DB_ImageDirectory, Text("images"));
                    PutField(DB_DatabasePrefix, Text("std"));
                    PutField(DB_Valid, Text("Y"));
                  }) &&
         WriteOne(UID_FILE,
                  [] {
                    PutField(UID_UserId, Text(kAdministratorId));
                    PutField(UID_UserName, Text(kAdministratorName));
                    PutField(UID_Password, Text(kAdministratorPassword));
                  }) &&
         WriteOne(UDB_FILE, [] {
           PutField(UDB_UserId, Text(kAdministratorId));
           PutField(UDB_DatabaseName, Text(kStandardName));
           PutField(UDB_Level, Text("9"));
         });
}

void UpdateAdministratorUser() {
  SelectStandardDatabase();
  vb_io_open(UID_FILE, "");
  if (vb_io_erc != 0) return;
  ClearRecord(UID_FILE);
  PutField(UID_UserId, Text(kAdministratorId));
  vb_io_find(UID_FILE, 0);
  if (vb_io_erc == 0) {
    vb_io_read(UID_FILE, 0, 1);
    PutField(UID_Text176, Text(""));
    PutField(UID_Flag175, Text("N"));
    PutField(UID_Date, Text(FormatDateForSystem(Today())));
    for (const FieldInfo* colour : {&UID_Colour1, &UID_Colour2, &UID_Colour3, &UID_Colour4})
      PutField(*colour, Text(std::to_string(kButtonFace)));
    PutField(UID_Colour5, Text(std::to_string(kWindowBackground)));
    vb_io_rewrite(UID_FILE);
  }
  vb_io_close(UID_FILE);
}

}  // namespace filomar
