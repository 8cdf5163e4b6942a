// The main window's menus and its status line.
#include <QLabel>
#include <QMenuBar>
#include <QScrollArea>
#include <QStatusBar>

#include "app/form1.h"
#include "form1_design.h"
#include "table_menu.h"

namespace threadgauge {

void Form1::BuildMenus() {
  auto* chx = menuBar()->addMenu(QStringLiteral("查询"));
  chx->setObjectName("chx");
  auto* ljgch = chx->addAction(QStringLiteral("螺距公差表"));
  ljgch->setObjectName("ljgch");
  ljgch->setEnabled(false);  // switched off in the design; nothing switches it on
  connect(ljgch, &QAction::triggered, this, &Form1::OpenPitchToleranceWorkbook);
  auto* bjgch = chx->addAction(QStringLiteral("粗牙螺纹螺距"));
  bjgch->setObjectName("bjgch");
  connect(bjgch, &QAction::triggered, this, &Form1::OpenCoarsePitchWorkbook);
  // The workshop's gauges, between 查询 and 公差表.
  auto* gauges = menuBar()->addMenu(QStringLiteral("量规"));
  gauges->setObjectName("GaugesMenu");
  auto* register_entry = gauges->addAction(QStringLiteral("量规台账…"));
  register_entry->setObjectName("RegisterEntry");
  connect(register_entry, &QAction::triggered, this, &Form1::OpenRegister);
  auto* due_entry = gauges->addAction(QStringLiteral("到期量规…"));
  due_entry->setObjectName("DueEntry");
  connect(due_entry, &QAction::triggered, this, &Form1::ShowDueGauges);
  auto* location = gauges->addAction(QStringLiteral("台账位置…"));
  location->setObjectName("RegisterLocation");
  connect(location, &QAction::triggered, this, &Form1::ChooseRegisterLocation);
  // Shown only while the register's server cannot be reached.
  gauges->addSeparator();
  unreachable_ = gauges->addAction(QString());
  unreachable_->setObjectName("ServerUnreachable");
  unreachable_->setEnabled(false);
  unreachable_->setVisible(false);
  retry_ = gauges->addAction(QStringLiteral("重试"));
  retry_->setObjectName("RetryServer");
  retry_->setVisible(false);
  connect(retry_, &QAction::triggered, this, &Form1::ShowRegisterNotices);
  // The user's own gauge tables, between 量规 and 退出.
  auto* gcb = menuBar()->addMenu(QStringLiteral("公差表"));
  gcb->setObjectName("gcb");
  const std::pair<const char*, void (Form1::*)()> table_entries[] = {
      {"编辑公差表…", &Form1::EditTables},
      {"导入…", &Form1::ImportTables},
      {"导出为 CSV…", &Form1::ExportTables},
      {"检查公差表", &Form1::CheckTables}};
  for (const auto& [caption, handler] : table_entries) {
    connect(gcb->addAction(QString::fromUtf8(caption)), &QAction::triggered, this, handler);
  }
  auto* set = chx->addAction(QStringLiteral("本螺纹全套量规…"));
  set->setObjectName("GaugeSet");
  connect(set, &QAction::triggered, this, &Form1::OpenGaugeSet);
  auto* tc = menuBar()->addAction(QStringLiteral("退出"));
  tc->setObjectName("TC");
  connect(tc, &QAction::triggered, this, &Form1::Quit);
}

void Form1::BuildStatusLine() {
  status_line_ = new QLabel(this);
  status_line_->setObjectName("StatusLine");
  status_line_->setWordWrap(true);
  status_line_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  status_line_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont status_font = FontOf(ControlFont::Song9);
  status_font.setPointSizeF(10.5);
  status_line_->setFont(status_font);
  // Many notices scroll within a few lines instead of growing the window off the screen.
  status_scroll_ = new QScrollArea(this);
  status_scroll_->setObjectName("StatusScroll");
  status_scroll_->setWidget(status_line_);
  status_scroll_->setWidgetResizable(true);
  status_scroll_->setFrameShape(QFrame::NoFrame);
  statusBar()->addWidget(status_scroll_, 1);
  // Offered when the notices say that a gauge table the user supplies lacks something.
  fill_tables_link_ = new QLabel(this);
  fill_tables_link_->setObjectName("FillTablesLink");
  fill_tables_link_->setFont(status_font);
  fill_tables_link_->setVisible(false);
  connect(fill_tables_link_, &QLabel::linkActivated, this, [this](const QString& table) {
    // "#backup": the editor opens on the damaged database and offers its backup.
    OpenTableEditor(this, EditorFiles(), table.startsWith('#') ? QString() : table, false);
  });
  statusBar()->addPermanentWidget(fill_tables_link_);
  statusBar()->setSizeGripEnabled(false);
}

}  // namespace threadgauge
