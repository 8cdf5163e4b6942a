#pragma once

#include <filesystem>

class QWidget;

namespace threadgauge {

// Asks the desktop to open a reference workbook with the user's spreadsheet application
// (the default handler for .xls files), as a new request each time; no reference to the
// application is kept. A missing file, or no application for it, gets a message box that
// names the file and says what to do.
void OpenWorkbook(QWidget* parent, const std::filesystem::path& workbook);

}  // namespace threadgauge
