#pragma once

#include <QDialog>
#include <filesystem>
#include <memory>
#include <string>

#include "register_location.h"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace threadgauge {

// 量规 → 台账位置…: 本机文件 or 服务器 (host, port, database, user), with 测试连接; 确定
// keeps the choice in the window's settings.
class RegisterLocationDialog : public QDialog {
  Q_OBJECT

 public:
  RegisterLocationDialog(std::filesystem::path settings, std::shared_ptr<std::string> password,
                         QWidget* parent = nullptr);
  RegisterLocation Location() const;

 private:
  void TestConnection();
  void Save();

  std::filesystem::path settings_;
  std::shared_ptr<std::string> password_;
  QRadioButton* file_ = nullptr;
  QRadioButton* server_ = nullptr;
  QLineEdit* host_ = nullptr;
  QLineEdit* port_ = nullptr;
  QLineEdit* database_ = nullptr;
  QLineEdit* user_ = nullptr;
  QLabel* result_ = nullptr;
};

}  // namespace threadgauge
