#include "app/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "sheet/fonts.h"

namespace threadgauge {

void PrepareApplication(QApplication& app) {
  auto* translator = new QTranslator(&app);
  if (translator->load(QStringLiteral("qtbase_zh_CN"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(translator);
  }
  ResolveSongTypeface();
}

}  // namespace threadgauge
