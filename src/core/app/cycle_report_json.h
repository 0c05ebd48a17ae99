#pragma once

#include <string>
#include <string_view>

#include "core/app/cycle_report.h"

namespace pelmora {

// `text` as a JSON string with its quotes. Bytes from 0x80 up pass as they
// are: settings files are UTF-8 in practice.
std::string JsonString(std::string_view text);

// The cycle as one line of JSON, with its line end.
std::string CycleReportJson(const CycleReport& report);

} // namespace pelmora
