// A push button carrying the presenter's control name, so that tests and screenshots find it.
#pragma once

#include <QPushButton>
#include <string>

#include "frontends/qt/QtText.h"

namespace ui {

// In a dialog no button takes Enter by itself: the dialogs choose their default button.
inline QPushButton* Button(const std::string& caption, const char* name, QWidget* parent) {
  auto* button = new QPushButton(ToQt(caption), parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace ui
