// The page tests draw with Qt's fonts: a QGuiApplication is made first, offscreen, with the
// fonts the programs use.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "report/fonts.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  // As the programs do: the Song face, or the one shipped beside the program where the
  // system has none (Windows without SimSun).
  threadgauge::ResolveSongTypeface();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
