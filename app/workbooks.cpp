#include "workbooks.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QUrl>
#include <QWidget>

namespace threadgauge {
namespace {

void Tell(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, parent ? parent->windowTitle() : QString(), text,
                  QMessageBox::Ok, parent);
  box.setObjectName("WorkbookBox");
  box.exec();
}

QString NoApplication(const QString& file) {
  return QStringLiteral(
             "没有能打开此参考表的电子表格程序：\n%1\n\n"
             "请安装 LibreOffice Calc（Debian：sudo apt install libreoffice-calc）"
             "或 Microsoft Excel，并让它打开 .xls 文件，然后再试。")
      .arg(file);
}

// The desktop's opener for the file's type. On Linux that is xdg-open, watched only so that
// a failure can be told; the spreadsheet application it starts belongs to the user, and
// the watcher is not tied to the window, so closing the window leaves it running.
void AskDesktop(QWidget* parent, const QString& file) {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
  QPointer<QWidget> window(parent);
  auto* opener = new QProcess;
  QObject::connect(opener, &QProcess::errorOccurred,
                   [opener, window, file](QProcess::ProcessError e) {
                     if (e != QProcess::FailedToStart) return;
                     opener->deleteLater();
                     Tell(window, NoApplication(file));
                   });
  QObject::connect(opener, &QProcess::finished,
                   [opener, window, file](int code, QProcess::ExitStatus) {
                     opener->deleteLater();
                     if (code != 0) Tell(window, NoApplication(file));
                   });
  opener->start(QStringLiteral("xdg-open"), {file});
#else
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file))) Tell(parent, NoApplication(file));
#endif
}

}  // namespace

void OpenWorkbook(QWidget* parent, const std::filesystem::path& workbook) {
  const std::filesystem::path absolute = std::filesystem::absolute(workbook);
  const QString file = QString::fromStdU16String(absolute.u16string());
  std::error_code ec;
  if (!std::filesystem::is_regular_file(absolute, ec)) {
    Tell(parent, QStringLiteral("找不到参考表文件：\n%1\n\n"
                                "它应在程序文件夹的“公差表”文件夹中。请从安装包中恢复此文件"
                                "（或重新安装本程序）后再试。")
                     .arg(file));
    return;
  }
  AskDesktop(parent, file);
}

}  // namespace threadgauge
