#include "table_menu.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFont>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "calculation/thread_series.h"
#include "fit_to_screen.h"
#include "platform/utf8.h"
#include "tables/database_check.h"
#include "tables/database_files.h"
#include "words/file_words.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

void OpenTableEditor(QWidget* parent, const TableEditorFiles& files, const QString& table,
                     bool import) {
  TableEditor editor(files, parent);
  if (!table.isEmpty()) editor.ShowTable(table);
  if (import) QTimer::singleShot(0, &editor, &TableEditor::AskImport);
  editor.exec();
}

void ExportTablesAsCsv(QWidget* parent, const std::filesystem::path& database) {
  const QString chosen = QFileDialog::getExistingDirectory(parent, QStringLiteral("导出到文件夹"));
  if (chosen.isEmpty()) return;
  const std::filesystem::path folder(chosen.toStdU16String());
  auto error = ExportDatabase(database, folder, false);
  if (error && QMessageBox::question(parent, QStringLiteral("导出为 CSV"),
                                     Q(Say(*error)) + QStringLiteral("\n\n要替换这些文件吗？")) ==
                   QMessageBox::Yes) {
    error = ExportDatabase(database, folder, true);
  }
  QMessageBox::information(
      parent, QStringLiteral("导出为 CSV"),
      error ? QStringLiteral("导出失败：") + Q(Say(*error))
            : QStringLiteral("已把 %1 的各表导出到 %2").arg(Q(Utf8(database)), Q(Utf8(folder))));
}

void ShowCheckReport(QWidget* parent, const std::filesystem::path& database) {
  QStringList lines{QStringLiteral("公差数据库 ") + Q(Utf8(database))};
  auto read = ReadTablesFrom(database);
  if (const auto* failure = std::get_if<ReadFailure>(&read)) {
    lines << QStringLiteral("无法检查：") + Q(Say(failure->message));
  } else {
    const TableSource& source = std::get<TableSource>(read);
    if (source.code_page && !DescribeCodePage(*source.code_page).empty()) {
      lines << Q(DescribeCodePage(*source.code_page));
    }
    const CheckReport report =
        CheckDatabase(source.tables, CheckKeys{PitchesToCover(), LengthRangesToCover()});
    for (const std::string& line : report.lines) lines << Q(line);
    lines << (report.complete
                  ? QStringLiteral("结论：数据库完整。")
                  : QStringLiteral("结论：数据库不完整，标 ✗ 的项目会使相应的量规尺寸查不到。"));
  }
  QDialog dialog(parent);
  dialog.setObjectName("CheckReport");
  dialog.setWindowTitle(QStringLiteral("检查公差表"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* text = new QPlainTextEdit(lines.join(QLatin1Char('\n')), &dialog);
  text->setObjectName("CheckReportText");
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  FitToScreen(&dialog, QSize(900, 600));
  dialog.exec();
}

}  // namespace threadgauge
