// 圆柱螺纹量规: program start.
#include <QApplication>

#include "app/application.h"
#include "app/form1.h"
#include "platform/data_location.h"

int main(int argc, char** argv) {
  using namespace threadgauge;
  QApplication app(argc, argv);
  PrepareApplication(app);
  const std::filesystem::path program = ExecutableDirectory();
  Form1 form({std::nullopt, DataPlaces::OfThisProgram(),
              LocateWorkbook(program, std::filesystem::path(u8"螺距公差.xls")),
              LocateWorkbook(program, std::filesystem::path(u8"粗牙螺纹螺距.xls"))});
  form.showMaximized();
  return QApplication::exec();
}
