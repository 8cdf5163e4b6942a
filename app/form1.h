#pragma once

#include <QMainWindow>
#include <filesystem>

class QLabel;

namespace threadgauge {

struct CalculationResult;

// The only window. Its controls carry the design's names as objectName, so every part of
// the program and the tests address them as the form's description does ("Text2", ...).
class Form1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit Form1(std::filesystem::path database, QWidget* parent = nullptr);

 private:
  void Form_Load();
  void Command1_Click();
  void TC_Click();
  void ShowResult(const CalculationResult& result);

  template <typename T>
  T* Control(const char* name) const;

  std::filesystem::path database_;
  QLabel* status_line_ = nullptr;
};

}  // namespace threadgauge
