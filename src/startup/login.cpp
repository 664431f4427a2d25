#include "startup/login.h"

#include "common/FrontEnd.h"
#include "common/General.h"
#include "common/Text.h"
#include "platform/ipc/ipc.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "shared/Session.h"

namespace filomar {


namespace {

void Message(const std::string& text) { ShowMessage(text, ui::mb::OKOnly, ""); }

void Publish(const char* key, const std::string& value) {
  ipc_write(key, value.data(), static_cast<int>(value.size()));
}

}  // namespace

void login::Form_Load() {
  WriteTrace("LOGIN Load Start");
  SelectStandardDatabase();
  open_uid();
  Session.SignOnAccepted = 0;
  const ui::ScreenSize screen = FrontEnd().Screen();
  left = (screen.width - width) / 2;
  top = (screen.height - height) / 2;
  attempts = 0;
  keys = {"    "};
  dbnames = {"     "};
  listedUserId.clear();
  FrontEnd().SetMousePointer(ui::MousePointer::Default);
  ResetMousePointer(*this);
}

void login::UID_Change(const std::string& typed) {
  UID = typed.substr(0, kUidMaxLength);
  listedUserId = " ";
}

void login::PWD_Change(const std::string& typed) { PWD = typed.substr(0, kPwdMaxLength); }

void login::Combo1_Click(int index) {
  if (index < 0 || index >= static_cast<int>(Combo1.size())) return;
  Combo1ListIndex = index;
  keysListIndex = index;
}

void login::FillDatabaseList() {
  const std::string typed = UpperCp1252(RTrim(UID));
  if (typed == listedUserId) return;
  listedUserId = typed;
  // Looked up as the user signs on: trimmed on both sides, in upper case.
  const std::string userId = UpperCp1252(Trim(UID));
  PutField(UID_UserId, userId);
  vb_io_read(U_FILE, 0, 0);
  const bool userFound = vb_io_erc == 0;
  if (!userFound) WriteTrace("Error on U_FILE Erc= " + std::to_string(vb_io_erc));
  Combo1.clear();
  keys.clear();
  dbnames.clear();
  if (userFound) ListDatabasesOf(userId);
  if (Combo1.empty()) {
    keys.push_back("     ");
    dbnames.push_back("     ");
    Combo1.push_back("    ");
  }
  Combo1_Click(0);
}

void login::ListDatabasesOf(const std::string& typedUserId) {
  ClearRecord(UDB_FILE);
  PutField(UDB_UserId, typedUserId);
  PutField(UDB_DatabaseName, std::string());
  vb_io_start(UDB_FILE, 0, 0, 1025);
  for (vb_io_next(UDB_FILE, 0); vb_io_erc == 0; vb_io_next(UDB_FILE, 0)) {
    if (!SameText(GetText(UDB_UserId), typedUserId)) break;
    const std::string name = GetText(UDB_DatabaseName);
    if (IsBlank(name)) continue;
    PutField(DB_DatabaseName, name);
    vb_io_read(DB_FILE, 0, 0);
    if (vb_io_erc != 0) {
      vb_io_erc = 0;
      continue;
    }
    keys.push_back(GetText(DB_DataDirectory));
    dbnames.push_back(name);
    Combo1.push_back(name + " - " + RTrim(GetText(DB_Description)));
  }
  vb_io_endstart(UDB_FILE);
}

bool login::PasswordMatches(bool& userFound) {
  PutField(UID_UserId, Session.SignedOnUserId);
  vb_io_read(U_FILE, 0, 0);
  userFound = vb_io_erc == 0;
  return userFound && Session.SignedOnPassword == UpperCp1252(RTrim(GetText(UID_Password)));
}

void login::RefuseAttempt(bool userFound) {
  ++attempts;
  vb_io_stopClock();
  if (attempts >= 3) {
    Message("Maximum Number of Attempts Exceeded");
    terminate();
    throw ProgramEnd{kExitFailure};
  }
  if (!userFound) {
    Message("Invalid user id. Try again.");
    focus = Control::UID;
    return;
  }
  Message("Invalid password. Try again.");
  PWD.clear();
  focus = Control::PWD;
}

bool login::HasLevel9() {
  ClearRecord(UDB_FILE);
  PutField(UDB_UserId, Session.SignedOnUserId);
  PutField(UDB_DatabaseName, std::string("STANDARD"));
  vb_io_read(UDB_FILE, 0, 0);
  return vb_io_erc == 0 && SameText(GetText(UDB_Level), "9");
}

// The sign-on names the STANDARD database: start-up already holds its MATR file, and the
// product's other programs find the installation's shared tables there.
void login::Publish() {
  std::string directory = "data", prefix = "std";
  vb_io_setDirectory(ConnHandle, directory, prefix);
  filomar::Publish("DATABASEDIR", directory);
  filomar::Publish("DB_PREFIX", prefix);
  filomar::Publish("DATABASENAME", "STANDARD");
  filomar::Publish("USER_ID", Session.SignedOnUserId);
  filomar::Publish("USER_PASSWORD", Session.SignedOnPassword);
}

void login::ok_Click() {
  vb_io_startClock();
  FillDatabaseList();
  Session.SignedOnUserId = UpperCp1252(Trim(UID));
  Session.SignedOnPassword = UpperCp1252(Trim(PWD));
  bool userFound = false;
  if (!PasswordMatches(userFound)) {
    RefuseAttempt(userFound);
    return;
  }
  if (!HasLevel9()) {
    Message("You must have level 9 to run the Conversion utility");
    emergency_exit();
  }
  Publish();
  vb_io_set_userid(Session.SignedOnUserId);
  if (!open_files1()) {
    terminate();
    throw ProgramEnd{kExitFailure};
  }
  close_uid();
  Close_Files1();
  Session.SignOnAccepted = 1;
  vb_io_stopClock();
  closed = true;
}

void login::cancel_Click() {
  Session.SignOnAccepted = 0;
  vb_io_stopClock();
  closed = true;
}

void login::Form_MouseDown(int button, int shift) {
  if (button == 2 && shift == 2) Message("Form name: LOGIN");
}

}  // namespace filomar
