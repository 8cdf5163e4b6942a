#pragma once

#include <xlsxwriter.h>

#include <memory>

namespace threadgauge {

// A workbook being written; closed (and so written out) when it goes, unless released to be
// closed by hand for its error code.
struct WorkbookCloser {
  void operator()(lxw_workbook* workbook) const { workbook_close(workbook); }
};
using Workbook = std::unique_ptr<lxw_workbook, WorkbookCloser>;

}  // namespace threadgauge
