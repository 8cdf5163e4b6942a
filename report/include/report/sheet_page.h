#pragma once

#include <QDate>
#include <QRectF>
#include <filesystem>
#include <optional>
#include <string>

#include "calculation/gauge_set.h"

class QPainter;

namespace threadgauge {

// The thread's pitch-diameter zone and each gauge's, to scale in µm from the basic pitch
// diameter, with the rings' wear limits; what could not be had is drawn as unknown.
void PaintZoneDiagram(QPainter& painter, const QRectF& area, const GaugeSet& set);

// One page of a gauge set: a header (designation, length range, date, database), the
// table, the notices and the zone diagram.
void PaintSheet(QPainter& painter, const QRectF& page, const GaugeSet& set, const QDate& date);

// The sheet as a PDF, A4 landscape, its Chinese font embedded. Needs a Qt GUI application.
// The error, with the path, when the file cannot be written.
std::optional<std::string> WriteSheetPdf(const GaugeSet& set, const std::filesystem::path& file,
                                         const QDate& date);

}  // namespace threadgauge
