#pragma once

#include <QString>
#include <filesystem>

#include "table_editor.h"

class QWidget;

namespace threadgauge {

// The "公差表" menu's commands, on the database the calculation uses now.

// Opens the table editor on `table` (or the first table); with `import`, asks at once for
// a source to import from.
void OpenTableEditor(QWidget* parent, const TableEditorFiles& files, const QString& table,
                     bool import);

// Writes the tables of `database` as CSV files into a folder the user picks.
void ExportTablesAsCsv(QWidget* parent, const std::filesystem::path& database);

// Shows the database check's report of `database` in a window.
void ShowCheckReport(QWidget* parent, const std::filesystem::path& database);

}  // namespace threadgauge
