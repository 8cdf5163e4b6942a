#pragma once

#include <QPushButton>

namespace threadgauge {

// A button of the program's dialogs: named for the tests, and never the default button, so
// that Enter in a field or a table does what the field means and presses nothing.
inline QPushButton* DialogButton(const char* name, const char* text, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace threadgauge
