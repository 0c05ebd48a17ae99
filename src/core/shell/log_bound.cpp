#include "core/shell/log_bound.h"

#include <algorithm>

#include "core/i18n/languages.h"

namespace pelmora {

LogBound::LogBound(int lineLimit) : lineLimit_(std::max(lineLimit, 1)) {}

int LogBound::Excess(int lines) const
{
    return std::max(lines - lineLimit_, 0);
}

void LogBound::Dropped(int count)
{
    dropped_ += count;
}

std::string LogBound::Notice() const
{
    return MessageText("LogDropped") + ' ' + std::to_string(dropped_);
}

} // namespace pelmora
