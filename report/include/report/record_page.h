#pragma once

#include <QRectF>
#include <filesystem>
#include <optional>
#include <string>

#include "register/inspection.h"

class QPainter;

namespace threadgauge {

// What an inspection record's page shows: the record, the gauge as registered now (maker,
// keeper, interval) and the gauge's wear trend over its records.
struct RecordPage {
  InspectionRecord record;
  GaugeEntry gauge;
  std::optional<GaugeTrend> trend;
};

// The record (检定记录) on an A4 page: the gauge, the tolerance database, the limits, every
// reading with its pitch diameter, the verdict with its margin and rule, the next due date
// and the signature lines.
void PaintRecord(QPainter& painter, const QRectF& page, const RecordPage& content);

// The page as a PDF, A4 portrait, its Chinese font embedded. Needs a Qt GUI application.
// The error, with the path, when the file cannot be written.
std::optional<std::string> WriteRecordPdf(const RecordPage& content,
                                          const std::filesystem::path& file);

}  // namespace threadgauge
