// The preview window on Qt: the Preview presenter's result as a tree (tvPreview), one top-level
// item per database, its lines below it and its verdict as its last child. A statement that
// would fail, its "would fail:" reasons and the verdict of a database that would not convert
// cleanly are shown in red. A window of its own beside the main window, not modal: the
// administrator may keep it open while choosing the databases to convert.
#pragma once

#include <QWidget>

#include "conversion/Preview.h"

class QTreeWidget;

namespace ui {

class PreviewWindow : public QWidget {
 public:
  explicit PreviewWindow(QWidget* owner);

  // Shows the result of `preview` in place of what was shown, and raises the window.
  void Show(const filomar::Preview& preview);

 private:
  QTreeWidget* tree_;
};

}  // namespace ui
