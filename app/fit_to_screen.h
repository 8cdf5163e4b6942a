#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace threadgauge {

// Gives a window the size it is designed for, but never more than the screen it opens on
// has room for, and places it on that screen: a window larger than a 1024 × 768 screen (or
// one with larger fonts) would hide its buttons, with or without a window manager.
inline void FitToScreen(QWidget* window, QSize wanted) {
  const QScreen* screen =
      window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    window->resize(wanted);
    return;
  }
  const QRect room = screen->availableGeometry();
  // The frame a window manager adds is not known before the window is shown: keep a margin.
  const QSize most = room.size() - QSize(16, 40);
  window->resize(wanted.boundedTo(most).expandedTo(window->minimumSizeHint().boundedTo(most)));
  window->move(room.topLeft() + QPoint(std::max(0, (room.width() - window->width()) / 2),
                                       std::max(0, (room.height() - window->height()) / 2 - 20)));
}

}  // namespace threadgauge
