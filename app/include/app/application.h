#pragma once

class QApplication;

namespace threadgauge {

// What the program sets up before the window is made: Qt's own Chinese texts for standard
// buttons ("确定"), and the "宋体" typeface.
void PrepareApplication(QApplication& app);

}  // namespace threadgauge
