#include "support/modal_windows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

namespace threadgauge::testing {

std::optional<SeenBox> AnswerMessageBox(const std::function<void()>& action, const QString& answer,
                                        int wait_ms) {
  std::optional<SeenBox> seen;
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&seen, &answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || seen) return;
    seen = SeenBox{box->text(), {}};
    QAbstractButton* chosen = box->buttons().front();
    for (QAbstractButton* button : box->buttons()) {
      seen->buttons << button->text();
      if (button->text() == answer) chosen = button;
    }
    chosen->click();
  });
  watcher.start(10);
  action();
  for (int waited = 0; waited < wait_ms && !seen; waited += 20) {
    QApplication::processEvents();
    QThread::msleep(20);
  }
  watcher.stop();
  return seen;
}

bool InspectModalDialog(const std::function<void()>& action,
                        const std::function<void(QDialog&)>& inspect) {
  bool seen = false;
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || seen || qobject_cast<QMessageBox*>(dialog) != nullptr) return;
    seen = true;
    inspect(*dialog);
    // A dialog the inspection accepted is closed already, with its answer.
    if (dialog->isVisible()) dialog->done(QDialog::Rejected);
  });
  watcher.start(10);
  action();
  watcher.stop();
  return seen;
}

}  // namespace threadgauge::testing
