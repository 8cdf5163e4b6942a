#pragma once

#include <QDialog>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "calculation/gauge_set.h"
#include "register/gauge_register.h"
#include "register_place.h"

class QComboBox;
class QLabel;
class QPushButton;
class QLineEdit;
class QTableWidget;
class QVBoxLayout;

namespace threadgauge {

class ToleranceDatabase;

// The zone diagram on screen, drawn by the same code as on paper.
class ZoneDiagramWidget : public QWidget {
 public:
  explicit ZoneDiagramWidget(QWidget* parent) : QWidget(parent) {}
  void Show(const GaugeSet* set);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const GaugeSet* set_ = nullptr;
};

// "本螺纹全套量规…": every gauge of one thread on one sheet, with the zone diagram, to
// print, save as PDF or CSV, or copy into a spreadsheet. Another thread can be typed as a
// designation and computed in place.
class GaugeSetDialog : public QDialog {
  Q_OBJECT

 public:
  using DatabaseNow = std::function<const ToleranceDatabase&()>;
  GaugeSetDialog(DatabaseNow database, GaugeSet set, std::string length_range,
                 QWidget* parent = nullptr);

  const GaugeSet& Set() const { return set_; }
  // Computes the set of a typed designation; false, with the reason shown, when it is not
  // understood.
  bool ShowDesignation(const QString& text);
  std::optional<std::string> SaveCsv(const std::filesystem::path& file) const;
  std::optional<std::string> SavePdf(const std::filesystem::path& file) const;
  void CopyTable() const;
  void Print();
  // "登记这些量规…" registers the set's gauges in the register, in one step.
  void SetRegister(RegisterPlace place) { register_ = std::move(place); }
  // Every gauge of the sheet under the prefix and the next free sequence numbers, all or
  // none; the reason when none was registered.
  std::optional<std::string> RegisterGauges(GaugeRegister& gauges, const std::string& prefix);

 private:
  void BuildDesignationRow(QVBoxLayout& layout);
  void BuildSheet(QVBoxLayout& layout);
  void BuildButtons(QVBoxLayout& layout);
  void Show(GaugeSet set);
  // Clears the sheet and puts the reason where the table was.
  void Refuse(const QString& message);
  void AskSave(bool pdf);
  void AskRegister();

  DatabaseNow database_;
  std::optional<RegisterPlace> register_;
  GaugeSet set_;
  std::string length_range_;
  QLineEdit* designation_ = nullptr;
  QComboBox* length_ = nullptr;
  std::vector<QPushButton*> sheet_buttons_;  // print, PDF, CSV, copy: only with a sheet
  QLabel* heading_ = nullptr;
  QTableWidget* table_ = nullptr;
  QLabel* notices_ = nullptr;
  QLabel* status_ = nullptr;
  ZoneDiagramWidget* diagram_ = nullptr;
};

}  // namespace threadgauge
