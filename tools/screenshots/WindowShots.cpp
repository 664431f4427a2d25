#include "WindowShots.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <iostream>

namespace screenshots {
namespace {

constexpr int kBorder = 1;
const QColor kFrameColour(0x3b, 0x4a, 0x5e);

}  // namespace

QImage Framed(QWidget* window) {
  const QPixmap contents = window->grab();
  QFont titleFont = window->font();
  titleFont.setBold(true);
  const int titleHeight = QFontMetrics(titleFont).height() + 12;
  const qreal scale = contents.devicePixelRatio();
  const QSize size(contents.width() / scale + 2 * kBorder, contents.height() / scale + titleHeight + kBorder);
  QImage framed(size * scale, QImage::Format_ARGB32_Premultiplied);
  framed.setDevicePixelRatio(scale);
  framed.fill(kFrameColour);
  QPainter painter(&framed);
  painter.setFont(titleFont);
  painter.setPen(Qt::white);
  painter.drawText(QRect(10, 0, size.width() - 20, titleHeight), Qt::AlignVCenter | Qt::AlignLeft,
                   window->windowTitle());
  painter.drawPixmap(kBorder, titleHeight, contents);
  return framed;
}

void WindowShots::Take(const QString& name, QWidget* window, int detail) {
  const auto taken = shots_.find(name);
  if (taken != shots_.end() && taken->second.detail >= detail) return;
  shots_[name] = {Framed(window), detail};
}

bool WindowShots::Save(const QString& directory, std::initializer_list<QString> expected) const {
  bool saved = true;
  for (const QString& name : expected) {
    const auto shot = shots_.find(name);
    const QString path = directory + "/" + name + ".png";
    if (shot == shots_.end()) {
      std::cerr << "filomar-screenshots: the window for " << path.toStdString() << " was never shown\n";
      saved = false;
    } else if (!shot->second.image.save(path, "PNG")) {
      std::cerr << "filomar-screenshots: cannot write " << path.toStdString() << "\n";
      saved = false;
    } else {
      std::cout << "wrote " << path.toStdString() << "\n";
    }
  }
  return saved;
}

}  // namespace screenshots
