#pragma once

#include <QMainWindow>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "calculation/form_fields.h"
#include "platform/data_location.h"
#include "register/calendar.h"
#include "tolerance/tolerance_session.h"

class QLabel;
class QScrollArea;

class QAction;

namespace threadgauge {

struct CalculationResult;
struct RegisterPlace;
struct TableEditorFiles;

// Where the window's files lie: the places where the tolerance database is looked for at
// every press of 确定 (or one database file given instead), and the two reference
// workbooks of the 查询 menu.
struct Form1Files {
  std::optional<std::filesystem::path> database;
  DataPlaces places;
  std::filesystem::path pitch_tolerance_workbook;  // 螺距公差.xls
  std::filesystem::path coarse_pitch_workbook;     // 粗牙螺纹螺距.xls
  // The gauge register; none: "量规台账.db" in the user's data folder.
  std::optional<std::filesystem::path> register_file = std::nullopt;
  // The clock of the register's due dates; none: the system's.
  std::function<Day()> today = nullptr;
};

// The only window. Its controls carry the design's names as objectName, so every part of
// the program and the tests address them as the form's description does ("Text2", ...).
class Form1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit Form1(Form1Files files, QWidget* parent = nullptr);

  // The six inputs as 确定 hands them to the calculation: the texts as typed or picked.
  CalculationInputs Inputs() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The pieces the window is built from.
  QWidget* BuildForm();
  void BuildMenus();
  void BuildStatusLine();
  void BindInputs();
  void LoadChoices();
  void InputsChanged();
  void ResultEdited(OutputField field);
  void ShowStatus();
  void CalculateGauge();
  void Quit();
  void OpenPitchToleranceWorkbook();
  void OpenCoarsePitchWorkbook();
  void OpenGaugeSet();
  void Reject(const std::string& message);
  void EditTables();
  void ImportTables();
  void ExportTables();
  void CheckTables();
  void OpenRegister();
  void ShowDueGauges();
  void ChooseRegisterLocation();
  // The register's notices in the status line, and in the 量规 menu when its server cannot
  // be reached (with 重试).
  void ShowRegisterNotices();
  RegisterPlace Register();
  std::optional<std::filesystem::path> SettingsFile() const;
  std::filesystem::path CurrentDatabase() const;
  TableEditorFiles EditorFiles();
  void ShowResult(const CalculationResult& result);

  template <typename T>
  T* Control(const char* name) const {
    return findChild<T*>(QString::fromUtf8(name));
  }

  Form1Files files_;
  ToleranceSession session_;  // the database kept open while its file is unchanged
  QLabel* status_line_ = nullptr;
  QScrollArea* status_scroll_ = nullptr;
  QLabel* fill_tables_link_ = nullptr;
  QStringList status_lines_;                    // the database and the notices of the last 确定
  std::optional<CalculationInputs> shown_for_;  // the inputs the results on screen belong to
  QString shown_thread_;                        // their thread, as read: "M10×1.5-6H"
  std::vector<OutputField> edited_;             // results changed by hand since then
  // The password of this session's sign-in to the register's server, never written down.
  std::shared_ptr<std::string> server_password_ = std::make_shared<std::string>();
  QAction* unreachable_ = nullptr;  // "量规台账服务器无法连接：…" in the 量规 menu
  QAction* retry_ = nullptr;        // 重试
};

}  // namespace threadgauge
