#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QDialog;

namespace threadgauge::testing {

struct SeenBox {
  QString text;
  QStringList buttons;
};

// Runs `action` and answers the first message box it opens (now, or within `wait_ms`) with
// the button whose text is `answer`, or its first button; tells what the box said.
std::optional<SeenBox> AnswerMessageBox(const std::function<void()>& action,
                                        const QString& answer = {}, int wait_ms = 0);

// Runs `action`; the first modal dialog it opens is handed to `inspect` and then closed
// (unless `inspect` closed it).
// False when no dialog opened.
bool InspectModalDialog(const std::function<void()>& action,
                        const std::function<void(QDialog&)>& inspect);

}  // namespace threadgauge::testing
