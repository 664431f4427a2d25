// login: the sign-on window. Lets through only a level-9 user of the STANDARD database, within
// three attempts, and publishes the signed-on user for the product's other programs.
//
// A presenter: it holds every field, list, caption and focus of the window, and has one method
// per event; a front end shows that state, forwards typing and clicks, and ends its modal loop
// when `closed` is set. Routines that end the run throw ProgramEnd.
#pragma once

#include <string>

#include "common/Titles.h"
#include <vector>

#include "common/Ui.h"
#include "shared/Session.h"

namespace filomar {

class login : public ui::Form {
 public:
  static constexpr std::size_t kUidMaxLength = 30;
  static constexpr std::size_t kPwdMaxLength = 10;

  enum class Control { UID, PWD, Combo1, ok, cancel };

  // What the window shows.
  const std::string caption = kProgramTitle;
  const std::string Label1 = "User Id";
  const std::string Label2 = "Password";
  const std::string okCaption = "&OK";
  const std::string cancelCaption = "E&xit";
  std::string UID;
  std::string PWD;                   // shown as one "*" per character
  std::vector<std::string> Combo1;   // "<name> - <description>" per database of the user
  int Combo1ListIndex = -1;
  std::vector<std::string> keys;     // data directory per Combo1 entry
  std::vector<std::string> dbnames;  // database name per Combo1 entry
  int keysListIndex = -1;
  Control focus = Control::UID;
  int left = 0, top = 0;
  const int width = 400, height = 220;  // pixels
  bool closed = false;

  // Window state.
  short attempts = 0;
  std::string listedUserId;  // the user id the list was last filled for

  // Events.
  void Form_Load();
  void Form_Activate() {}
  void UID_Change(const std::string& typed);  // the text box's new content (cut to 30)
  void PWD_Change(const std::string& typed);  // the text box's new content (cut to 10)
  void UID_LostFocus() { FillDatabaseList(); }
  void Combo1_GotFocus() { FillDatabaseList(); }
  void Combo1_Click(int index);
  void Combo1_Change(int index) { Combo1_Click(index); }
  void ok_Click();
  void cancel_Click();
  void Form_FrameClose() { closed = true; }
  // A right click (button 2) with Ctrl (shift state 2) on the background names the window.
  void Form_MouseDown(int button, int shift);

  // The text the PWD box shows.
  std::string MaskedPassword() const { return std::string(PWD.size(), '*'); }

 private:
  void FillDatabaseList();
  void ListDatabasesOf(const std::string& typedUserId);
  bool PasswordMatches(bool& userFound);
  bool HasLevel9();
  void Publish();
  void RefuseAttempt(bool userFound);
};

}  // namespace filomar
