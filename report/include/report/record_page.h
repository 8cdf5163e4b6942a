#pragma once

#include <QRectF>
#include <filesystem>
#include <optional>
#include <string>

#include "register/due.h"
#include "register/inspection.h"

class QPainter;
class QPagedPaintDevice;

namespace threadgauge {

// What an inspection record's pages show: the record, the gauge as registered now (maker,
// keeper, interval), the register's organisation, the gauge's wear trend and when it is due
// after this record.
struct RecordPage {
  InspectionRecord record;
  GaugeEntry gauge;
  std::optional<GaugeTrend> trend;
  std::string organisation;
  GaugeDue due;
  bool chain_broken = false;  // the record no longer matches its hash
};

// The page of the register's record `id`, with the gauge's state right after it was made;
// nothing when the register has no such record.
std::optional<RecordPage> RecordPageFor(const GaugeRegister& gauges, long long id);

// The record (检定记录) on A4 pages: the gauge, the instrument, the tolerance database, the
// limits applied, every reading with its place and pitch diameter, the verdict with its
// margin and rule, the next due date and the signature lines. It runs onto further pages as
// it needs: each with the heading, "第 x 页 共 y 页" and the record's hash; the conclusion and
// the signatures together on the last. The number of pages.
int PaintRecord(QPainter& painter, QPagedPaintDevice& device, const QRectF& page,
                const RecordPage& content);

// The pages as a PDF, A4 portrait, its Chinese font embedded. Needs a Qt GUI application.
// The error, with the path, when the file cannot be written.
std::optional<std::string> WriteRecordPdf(const RecordPage& content,
                                          const std::filesystem::path& file);

}  // namespace threadgauge
