#include "cli/paper_gui.h"

#include <QGuiApplication>

#include "report/fonts.h"

namespace threadgauge {

std::optional<std::string> DrawWithQt(const std::function<std::optional<std::string>()>& draw) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "threadgauge-cli";
  char* argv[] = {name, nullptr};
  QGuiApplication application(argc, argv);
  ResolveSongTypeface();
  return draw();
}

}  // namespace threadgauge
