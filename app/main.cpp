// 圆柱螺纹量规: program start.
#include <QApplication>

#include "app/application.h"
#include "app/form1.h"
#include "tolerance/data_location.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  threadgauge::PrepareApplication(app);
  threadgauge::Form1 form(threadgauge::LocateDatabase(threadgauge::ExecutableDirectory()).path);
  form.showMaximized();
  return QApplication::exec();
}
