// The pictures of the Qt windows: each window is grabbed as it is painted (QWidget::grab) and
// drawn inside a plain frame with its title, since the offscreen platform draws no window
// decorations and the title is part of what a person sees.
#pragma once

#include <QImage>
#include <QString>
#include <map>

class QWidget;

namespace screenshots {

// The window's contents under a title bar carrying its window title.
QImage Framed(QWidget* window);

// The pictures taken so far, by file name; a later picture of a name replaces the earlier one
// only when it shows more (a higher `detail`).
class WindowShots {
 public:
  void Take(const QString& name, QWidget* window, int detail = 0);
  bool Has(const QString& name) const { return shots_.count(name) != 0; }
  // Writes every picture as NAME.png into `directory`; false, with the reason on standard
  // error, when a picture is missing or a file cannot be written.
  bool Save(const QString& directory, std::initializer_list<QString> expected) const;

 private:
  struct Shot {
    QImage image;
    int detail;
  };
  std::map<QString, Shot> shots_;
};

}  // namespace screenshots
