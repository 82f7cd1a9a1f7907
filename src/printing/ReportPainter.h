// Plays a laid-out test report onto a painter over a printer or PDF page.
#pragma once

#include <ctime>
#include <vector>

#include "report/ReportLayout.h"

class QPainter;
class QPaintDevice;

namespace qf {

// The printable area of a paint device: its size in device pixels and its resolution.
ReportDevice ReportDeviceOf(const QPaintDevice& device);

// Draws `page` in page units onto the painter's device, whose printable area is `device`
// with (0, 0) at its top-left corner. Whatever falls outside that area is clipped.
void DrawReport(QPainter& painter, const std::vector<ReportPrimitive>& page,
                const ReportDevice& device);

// Lays out the report of `source` for the painter's device and draws it.
void PaintTestReport(QPainter& painter, const ReportSource& source, std::time_t now);

}  // namespace qf
