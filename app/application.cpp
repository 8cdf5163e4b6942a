#include "app/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "report/fonts.h"

namespace threadgauge {

void PrepareApplication(QApplication& app) {
  // Qt names the user's data folder after the program: ~/.local/share/threadgauge, and
  // %APPDATA%\threadgauge on Windows, where the table editor keeps the user's tables.
  QCoreApplication::setApplicationName(QStringLiteral("threadgauge"));
  QCoreApplication::setOrganizationName(QString());
  auto* translator = new QTranslator(&app);
  if (translator->load(QStringLiteral("qtbase_zh_CN"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(translator);
  }
  ResolveSongTypeface();
}

}  // namespace threadgauge
