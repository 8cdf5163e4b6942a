// How the table editor is laid out: a tab of cells for each table, the buttons below, the
// keys a spreadsheet user expects.
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>

#include "dialog_button.h"
#include "table_editor.h"
#include "table_model.h"
#include "tables/pasted_text.h"
#include "tables/table_edit.h"

namespace threadgauge {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

void TableEditor::BuildTabs() {
  for (size_t i = 0; i < tables_.size(); ++i) {
    auto* page = new QWidget(tabs_);
    auto* page_layout = new QVBoxLayout(page);
    auto* view = new QTableView(page);
    view->setObjectName(Q("Table_" + tables_[i].name));
    auto* model = new ToleranceTableModel(*this, i, view);
    view->setModel(model);
    // The long half-angle headings are shown whole.
    view->horizontalHeader()->setTextElideMode(Qt::ElideNone);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->viewport()->installEventFilter(this);
    auto* missing = new QLabel(page);
    missing->setObjectName(Q("Missing_" + tables_[i].name));
    missing->setWordWrap(true);
    missing->setTextInteractionFlags(Qt::TextSelectableByMouse);
    page_layout->addWidget(view, 1);
    page_layout->addWidget(missing);
    tabs_->addTab(page, Q(tables_[i].name));
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& now) {
              if (now.isValid()) append_ = false;
            });
    views_.push_back(view);
    models_.push_back(model);
    missing_.push_back(missing);
  }
}

void TableEditor::BuildButtons(QVBoxLayout& layout) {
  auto* rows = new QHBoxLayout;
  const std::pair<const char*, const char*> row_buttons[] = {{"InsertAbove", "上方插入行"},
                                                             {"InsertBelow", "下方插入行"},
                                                             {"RemoveRows", "删除行"},
                                                             {"MoveUp", "上移"},
                                                             {"MoveDown", "下移"},
                                                             {"Copy", "复制"},
                                                             {"Paste", "粘贴"},
                                                             {"Undo", "撤销"},
                                                             {"Redo", "重做"}};
  for (const auto& [name, text] : row_buttons) {
    rows->addWidget(DialogButton(name, text, this));
  }
  rows->addStretch(1);
  layout.addLayout(rows);

  auto* bottom = new QHBoxLayout;
  status_ = new QLabel(this);
  status_->setObjectName("EditorStatus");
  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  bottom->addWidget(status_, 1);
  const std::pair<const char*, const char*> file_buttons[] = {
      {"Import", "导入…"}, {"Export", "导出为 CSV…"}, {"Save", "保存"}, {"Close", "关闭"}};
  for (const auto& [name, text] : file_buttons) {
    bottom->addWidget(DialogButton(name, text, this));
  }
  layout.addLayout(bottom);
}

void TableEditor::BindButtons() {
  const auto on = [this](const char* name, void (TableEditor::*slot)()) {
    connect(findChild<QPushButton*>(name), &QPushButton::clicked, this, slot);
  };
  on("InsertAbove", &TableEditor::InsertAbove);
  on("InsertBelow", &TableEditor::InsertBelow);
  on("RemoveRows", &TableEditor::RemoveSelectedRows);
  on("MoveUp", &TableEditor::MoveUp);
  on("MoveDown", &TableEditor::MoveDown);
  on("Copy", &TableEditor::CopySelection);
  on("Paste", &TableEditor::Paste);
  on("Import", &TableEditor::AskImport);
  on("Export", &TableEditor::AskExport);
  on("Close", &TableEditor::reject);
  connect(findChild<QPushButton*>("Undo"), &QPushButton::clicked, undo_, &QUndoStack::undo);
  connect(findChild<QPushButton*>("Redo"), &QPushButton::clicked, undo_, &QUndoStack::redo);
  connect(findChild<QPushButton*>("Save"), &QPushButton::clicked, this, [this] { Save(); });
}

void TableEditor::BindKeys() {
  // The keys a spreadsheet user expects.
  const auto shortcut = [this](QKeySequence::StandardKey key, const std::function<void()>& run) {
    auto* action = new QAction(this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(action, &QAction::triggered, this, run);
    addAction(action);
  };
  shortcut(QKeySequence::Copy, [this] { CopySelection(); });
  shortcut(QKeySequence::Paste, [this] { Paste(); });
  shortcut(QKeySequence::Undo, [this] { undo_->undo(); });
  shortcut(QKeySequence::Redo, [this] { undo_->redo(); });
  shortcut(QKeySequence::Save, [this] { Save(); });
}

}  // namespace threadgauge
