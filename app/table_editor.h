#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "tolerance/table_data.h"

class QLabel;
class QTabWidget;
class QTableView;
class QUndoStack;

class QVBoxLayout;

namespace threadgauge {

class ToleranceTableModel;

// The files the editor works with: the database the calculation uses now, whose tables it
// shows; the user's database, where saving writes (never the shipped file or the .mdb);
// and a database to start from when the user's own cannot be read.
struct TableEditorFiles {
  std::filesystem::path shown;
  std::filesystem::path user_database;
  std::filesystem::path fallback;
  // Lets go of the database the calculation keeps open, before a save replaces the file
  // (Windows cannot replace an open file); the next calculation opens it again.
  std::function<void()> release_database = [] {};
};

// The eight tolerance tables in a window: edit cells, insert, delete and move rows, paste
// from a spreadsheet or a PDF, copy out, undo and redo, with the database check's findings
// marked on the cells and rows and what each table still lacks said under it.
class TableEditor : public QDialog {
  Q_OBJECT

 public:
  TableEditor(TableEditorFiles files, QWidget* parent = nullptr);

  // The line under the tables that says what the last action did.
  void Tell(const QString& text);
  ~TableEditor() override;

  const std::vector<TableData>& Tables() const { return tables_; }
  void ShowTable(const QString& name);

  void EditCell(size_t table, size_t row, size_t column, const QString& text);
  void InsertAbove();
  void InsertBelow();
  void RemoveSelectedRows();
  void MoveUp();
  void MoveDown();
  void CopySelection();
  void Paste();
  // Reads the tables of an Access file or a folder of CSV files into the editor, not saved
  // yet; a source that cannot be read, or holds none of the tables, changes nothing.
  bool ImportFrom(const std::filesystem::path& source);
  void AskImport();
  void AskExport();
  bool Save();

  // Puts the tables in place as one step of undo and redo (used by the undo steps).
  void Put(std::vector<TableData> tables);

 protected:
  void reject() override;

 private:
  void BuildTabs();
  void BuildButtons(QVBoxLayout& layout);
  void BindButtons();
  void BindKeys();
  void Load();
  void Change(const QString& what, const std::function<void(std::vector<TableData>&)>& change);
  void Refresh();
  bool eventFilter(QObject* watched, QEvent* event) override;
  // A warning with two answers; true for `go`.
  bool Ask(const char* name, const QString& text, const QString& go, const QString& back);
  size_t CurrentTable() const;
  QTableView* CurrentView() const;
  std::vector<size_t> SelectedRows() const;
  void SelectRows(size_t first, size_t count);

  TableEditorFiles files_;
  std::vector<TableData> tables_;
  QUndoStack* undo_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  std::vector<QTableView*> views_;
  std::vector<ToleranceTableModel*> models_;
  std::vector<QLabel*> missing_;
  QLabel* status_ = nullptr;
  size_t red_cells_ = 0;
  bool append_ = false;  // the user clicked below the last row: the next rows go there  // cells
                         // the check marks: not a number, or empty where one belongs
};

}  // namespace threadgauge
