#include "table_editor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "calculation/thread_series.h"
#include "dialog_button.h"
#include "fit_to_screen.h"
#include "platform/utf8.h"
#include "table_model.h"
#include "tables/database_check.h"
#include "tables/database_files.h"
#include "tables/table_edit.h"
#include "tables/user_database.h"
#include "tolerance/schema.h"
#include "words/file_words.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
QString Q(const std::filesystem::path& path) { return QString::fromStdString(Utf8(path)); }

// One step of undo: the tables before and after it.
class EditStep : public QUndoCommand {
 public:
  EditStep(TableEditor& editor, const QString& text, std::vector<TableData> before,
           std::vector<TableData> after)
      : QUndoCommand(text), editor_(editor), before_(std::move(before)), after_(std::move(after)) {}
  void undo() override {
    editor_.Put(before_);
    editor_.Tell(QStringLiteral("已撤销：") + text());
  }
  void redo() override {
    editor_.Put(after_);
    if (done_once_) editor_.Tell(QStringLiteral("已重做：") + text());
    done_once_ = true;
  }

 private:
  TableEditor& editor_;
  std::vector<TableData> before_;
  std::vector<TableData> after_;
  bool done_once_ = false;  // the first redo is the step itself being done
};

// The tables as the schema has them, empty: where editing starts when nothing can be read.
std::vector<TableData> EmptyTables() {
  std::vector<TableData> tables;
  for (const SchemaTable& schema : ProductSchema()) {
    tables.push_back({schema.name, schema.columns, schema.numeric, {}});
  }
  return tables;
}

CheckKeys OfferedThreads() { return CheckKeys{PitchesToCover(), LengthRangesToCover()}; }

}  // namespace

TableEditor::TableEditor(TableEditorFiles files, QWidget* parent)
    : QDialog(parent), files_(std::move(files)), tables_(EmptyTables()) {
  setObjectName("TableEditor");
  setWindowTitle(QStringLiteral("公差表 — 显示：%1；保存到：%2[*]")
                     .arg(Q(files_.shown), Q(files_.user_database)));
  undo_ = new QUndoStack(this);
  connect(undo_, &QUndoStack::cleanChanged, this,
          [this](bool clean) { setWindowModified(!clean); });

  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("TableTabs");
  layout->addWidget(tabs_, 1);
  BuildTabs();
  BuildButtons(*layout);
  BindButtons();
  BindKeys();

  FitToScreen(this, QSize(1100, 650));
  Load();
}

// The grids read the tables while they are taken down; they go before the tables do.
TableEditor::~TableEditor() {
  for (QTableView* view : views_) view->viewport()->removeEventFilter(this);
  views_.clear();
  delete tabs_;
}

void TableEditor::Load() {
  auto read = ReadProductTables(files_.shown);
  if (std::holds_alternative<ReadFailure>(read) && files_.shown == files_.user_database) {
    const QString problem = Q(Say(std::get<ReadFailure>(read).message));
    std::error_code ec;
    if (std::filesystem::is_regular_file(BackupPath(files_.user_database), ec)) {
      QMessageBox ask(QMessageBox::Warning, windowTitle(),
                      QStringLiteral("您的公差数据库无法读取：\n%1\n\n要用备份 %2 恢复它吗？")
                          .arg(problem, Q(BackupPath(files_.user_database))),
                      QMessageBox::NoButton, this);
      ask.setObjectName("RestoreBackupBox");
      QPushButton* restore = ask.addButton(QStringLiteral("恢复备份"), QMessageBox::AcceptRole);
      ask.addButton(QStringLiteral("不恢复"), QMessageBox::RejectRole);
      ask.exec();
      if (ask.clickedButton() == restore) {
        if (const auto error = RestoreBackup(files_.user_database)) {
          Tell(QStringLiteral("无法恢复备份：") + Q(Say(*error)));
        } else {
          read = ReadProductTables(files_.shown);
        }
      }
    }
    if (std::holds_alternative<ReadFailure>(read)) {
      Tell(QStringLiteral("无法读取 %1（%2），显示的是 %3 中的表；保存时写入 %1，"
                          "损坏的文件另存为 %4，不会删除。")
               .arg(Q(files_.shown), problem, Q(files_.fallback),
                    Q(DamagedPath(files_.user_database, TodayText()))));
      read = ReadProductTables(files_.fallback);
    }
  }
  if (auto* product = std::get_if<ProductTables>(&read)) {
    tables_ = std::move(product->tables);
  } else {
    Tell(QStringLiteral("无法读取 %1：%2")
             .arg(Q(files_.shown), Q(Say(std::get<ReadFailure>(read).message))));
  }
  Refresh();
}

void TableEditor::ShowTable(const QString& name) {
  for (int i = 0; i < tabs_->count(); ++i) {
    if (tabs_->tabText(i) == name) tabs_->setCurrentIndex(i);
  }
}

size_t TableEditor::CurrentTable() const { return static_cast<size_t>(tabs_->currentIndex()); }

QTableView* TableEditor::CurrentView() const { return views_[CurrentTable()]; }

bool TableEditor::ImportFrom(const std::filesystem::path& source) {
  auto read = ReadProductTables(source);
  if (const auto* failure = std::get_if<ReadFailure>(&read)) {
    QMessageBox box(QMessageBox::Warning, windowTitle(),
                    QStringLiteral("无法导入 %1：\n%2\n\n表格没有改变。")
                        .arg(Q(source), Q(Say(failure->message))),
                    QMessageBox::Ok, this);
    box.setObjectName("ImportFailedBox");
    box.exec();
    return false;
  }
  ProductTables& product = std::get<ProductTables>(read);
  Change(QStringLiteral("导入"), [&](auto& tables) { tables = product.tables; });
  QStringList told{QStringLiteral("已导入 %1（尚未保存）").arg(Q(source))};
  if (product.code_page && !DescribeCodePage(*product.code_page).empty()) {
    told << Q(DescribeCodePage(*product.code_page));
  }
  for (const Message& warning : product.warnings) told << Q(Say(warning));
  Tell(told.join(QStringLiteral("；")));
  return true;
}

void TableEditor::AskImport() {
  QMessageBox which(QMessageBox::Question, windowTitle(), QStringLiteral("从哪里导入公差表？"),
                    QMessageBox::Cancel, this);
  QPushButton* access =
      which.addButton(QStringLiteral("Access 数据库文件…"), QMessageBox::AcceptRole);
  QPushButton* csv = which.addButton(QStringLiteral("CSV 文件夹…"), QMessageBox::AcceptRole);
  which.exec();
  QString chosen;
  if (which.clickedButton() == access) {
    chosen = QFileDialog::getOpenFileName(this, QStringLiteral("选择 Access 数据库文件"), {},
                                          QStringLiteral("Access 数据库 (*.mdb *.accdb)"));
  } else if (which.clickedButton() == csv) {
    chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("选择 CSV 文件夹"));
  }
  if (!chosen.isEmpty()) ImportFrom(std::filesystem::path(chosen.toStdU16String()));
}

void TableEditor::AskExport() {
  const QString chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("导出到文件夹"));
  if (chosen.isEmpty()) return;
  const std::filesystem::path folder(chosen.toStdU16String());
  auto error = ExportTables(tables_, folder, false);
  if (error && QMessageBox::question(this, windowTitle(),
                                     Q(Say(*error)) + QStringLiteral("\n\n要替换这些文件吗？")) ==
                   QMessageBox::Yes) {
    error = ExportTables(tables_, folder, true);
  }
  Tell(error ? QStringLiteral("导出失败：") + Q(Say(*error))
             : QStringLiteral("已导出到 %1").arg(Q(folder)));
}

bool TableEditor::Ask(const char* name, const QString& text, const QString& go,
                      const QString& back) {
  QMessageBox ask(QMessageBox::Warning, windowTitle(), text, QMessageBox::NoButton, this);
  ask.setObjectName(name);
  QPushButton* yes = ask.addButton(go, QMessageBox::AcceptRole);
  // Enter keeps the user's tables: going on takes a deliberate click.
  ask.setDefaultButton(ask.addButton(back, QMessageBox::RejectRole));
  ask.exec();
  return ask.clickedButton() == yes;
}

bool TableEditor::Save() {
  if (red_cells_ > 0 &&
      !Ask("SaveWithFaultsBox",
           QStringLiteral("有 %1 个单元格标红（不是数值或须填数值而为空），这些值在计算中查不到。"
                          "\n\n仍然保存吗？")
               .arg(red_cells_),
           QStringLiteral("仍然保存"), QStringLiteral("返回修改"))) {
    return false;
  }
  // The user's last good tables (the database, or when it is damaged its newest good
  // backup) are not replaced by fewer gauge rows without a question.
  if (const auto good = LastGoodTables(files_.user_database)) {
    QStringList lost;
    for (const RowLoss& loss : RowsLost(good->tables, tables_)) {
      lost << QStringLiteral("“%1” %2 行 → %3 行")
                  .arg(Q(loss.table))
                  .arg(loss.before)
                  .arg(loss.after);
    }
    if (!lost.isEmpty() && !Ask("FewerRowsBox",
                                QStringLiteral("保存后以下量规公差表的行数将比 %1 中的少：\n%2\n\n"
                                               "原来的表会保留在备份中。仍然保存吗？")
                                    .arg(Q(good->file), lost.join(QLatin1Char('\n'))),
                                QStringLiteral("仍然保存"), QStringLiteral("返回修改"))) {
      return false;
    }
  }
  files_.release_database();
  if (const auto error = SaveUserDatabase(tables_, files_.user_database)) {
    QMessageBox box(QMessageBox::Warning, windowTitle(),
                    QStringLiteral("无法保存：\n%1\n\n原来的公差数据库和备份都没有改变；"
                                   "表格中的修改仍在本窗口中，没有丢失。")
                        .arg(Q(Say(*error))),
                    QMessageBox::Ok, this);
    box.setObjectName("SaveFailedBox");
    box.exec();
    return false;
  }
  undo_->setClean();
  std::error_code ec;
  Tell(std::filesystem::exists(BackupPath(files_.user_database), ec)
           ? QStringLiteral("已保存到 %1，下次按“确定”时使用；上一版保留在 %2。")
                 .arg(Q(files_.user_database), Q(BackupPath(files_.user_database)))
           : QStringLiteral("已保存到 %1，下次按“确定”时使用。").arg(Q(files_.user_database)));
  return true;
}

void TableEditor::reject() {
  if (!undo_->isClean()) {
    QMessageBox ask(QMessageBox::Question, windowTitle(),
                    QStringLiteral("公差表已修改，要保存吗？"), QMessageBox::NoButton, this);
    ask.setObjectName("UnsavedBox");
    QPushButton* save = ask.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
    QPushButton* discard = ask.addButton(QStringLiteral("不保存"), QMessageBox::DestructiveRole);
    ask.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    ask.exec();
    if (ask.clickedButton() == save) {
      if (!Save()) return;
    } else if (ask.clickedButton() != discard) {
      return;
    }
  }
  QDialog::reject();
}

void TableEditor::Change(const QString& what,
                         const std::function<void(std::vector<TableData>&)>& change) {
  std::vector<TableData> after = tables_;
  change(after);
  if (after == tables_) return;
  undo_->push(new EditStep(*this, what, tables_, std::move(after)));
}

void TableEditor::Put(std::vector<TableData> tables) {
  const QModelIndex current = CurrentView()->currentIndex();
  tables_ = std::move(tables);
  Refresh();
  if (current.isValid()) {
    const QModelIndex again = CurrentView()->model()->index(current.row(), current.column());
    if (again.isValid()) CurrentView()->setCurrentIndex(again);
  }
}

// The live check: the same rules as "检查公差表", placed on the cells and rows.
void TableEditor::Refresh() {
  const CheckReport report = CheckDatabase(tables_, OfferedThreads());
  red_cells_ = static_cast<size_t>(std::count_if(report.marks.begin(), report.marks.end(),
                                                 [](const CheckMark& m) { return m.column; }));
  for (size_t i = 0; i < tables_.size(); ++i) {
    const TableData& table = tables_[i];
    std::map<std::pair<size_t, int>, QString> cells;
    std::map<size_t, QString> rows;
    for (const CheckMark& mark : report.marks) {
      if (mark.table != table.name) continue;
      if (mark.column) {
        const auto at = std::find(table.columns.begin(), table.columns.end(), *mark.column);
        cells[{mark.row, static_cast<int>(at - table.columns.begin())}] = Q(mark.reason);
      } else {
        rows[mark.row] = Q(mark.reason);
      }
    }
    models_[i]->Reload(std::move(cells), std::move(rows));
    QStringList lacking;
    for (const CheckMissing& missing : report.missing) {
      if (missing.table == table.name) lacking << Q(missing.text);
    }
    missing_[i]->setText(lacking.isEmpty() ? QStringLiteral("本表已包含所提供螺纹所需的全部行。")
                                           : lacking.join(QLatin1Char('\n')));
  }
}

void TableEditor::Tell(const QString& text) { status_->setText(text); }

// A click below the last row aims at the row after it: what is pasted next is appended.
bool TableEditor::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseButtonPress) return QDialog::eventFilter(watched, event);
  const auto at_view = std::find_if(views_.begin(), views_.end(),
                                    [&](QTableView* v) { return v->viewport() == watched; });
  if (at_view != views_.end()) {
    QTableView* view = *at_view;
    const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
    const int rows = view->model()->rowCount();
    const int last_bottom =
        rows == 0 ? 0 : view->visualRect(view->model()->index(rows - 1, 0)).bottom();
    if (!view->indexAt(at).isValid() && at.y() > last_bottom) {
      view->selectionModel()->clearSelection();
      view->setCurrentIndex(QModelIndex());
      append_ = true;
      Tell(QStringLiteral("接下来粘贴的行接在第 %1 行之后").arg(rows));
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TableEditor::EditCell(size_t table, size_t row, size_t column, const QString& text) {
  Change(QStringLiteral("编辑单元格"), [&](std::vector<TableData>& tables) {
    SetCell(tables[table], row, column, text.trimmed().toStdString());
  });
}

}  // namespace threadgauge
