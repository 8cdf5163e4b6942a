#include "report/fonts.h"

#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace threadgauge {
namespace {

// The Song face that travels with the Windows programs (fonts/ beside them), for a system
// without SimSun: a Windows not set up for Chinese, or Wine.
void AddShippedSongFace(const QStringList& families) {
  if (families.contains(QStringLiteral("SimSun")) ||
      families.contains(QStringLiteral("AR PL UMing CN"))) {
    return;
  }
  const QString shipped =
      QCoreApplication::applicationDirPath() + QStringLiteral("/fonts/uming.ttc");
  if (QFile::exists(shipped)) QFontDatabase::addApplicationFont(shipped);
}

}  // namespace

void ResolveSongTypeface() {
  AddShippedSongFace(QFontDatabase::families());
  const QStringList families = QFontDatabase::families();
  const QString song = QStringLiteral("宋体");
  if (families.contains(song)) return;
  if (families.contains(QStringLiteral("SimSun"))) {
    QFont::insertSubstitution(song, QStringLiteral("SimSun"));
    return;
  }
  QFont::insertSubstitutions(
      song, {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC"),
             QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Sans CJK SC")});
}

QString PaperFontFamily() {
  const QStringList families = QFontDatabase::families();
  for (const QString& family :
       {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN")}) {
    if (families.contains(family)) return family;
  }
  return QStringLiteral("宋体");
}

QFont PaperFont(double points, bool bold) {
  QFont font(PaperFontFamily());
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

}  // namespace threadgauge
