#pragma once

#include <string>
#include <string_view>

#include "core/app/cycle_report.h"

namespace pelmora {

// `text` as a label value of the Prometheus text format, without quotes.
std::string MetricsLabelValue(std::string_view text);

// The cycle in the Prometheus text exposition format, as node_exporter's
// textfile collector reads it.
std::string CycleReportMetrics(const CycleReport& report);

} // namespace pelmora
